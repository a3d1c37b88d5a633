#pragma once

#include "platform/win32/Win32Api.h"

#include <utility>

namespace marlowen {

// A move-only owner of one OS handle: `Traits` names the empty value and how to close it.
template <class Traits>
class TUniqueHandle {
public:
    using THandle = typename Traits::THandle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(THandle handle) : Handle_(handle) {}
    TUniqueHandle(TUniqueHandle&& other) noexcept : Handle_(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;
    ~TUniqueHandle() { Reset(); }

    THandle Get() const { return Handle_; }
    bool Valid() const { return Handle_ != Traits::Empty(); }
    explicit operator bool() const { return Valid(); }

    THandle Release() { return std::exchange(Handle_, Traits::Empty()); }
    void Reset(THandle handle = Traits::Empty()) {
        if (Valid()) Traits::Close(Handle_);
        Handle_ = handle;
    }

private:
    THandle Handle_ = Traits::Empty();
};

struct TRegistryKeyTraits {
    using THandle = HKEY;
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};

struct TFindTraits {
    using THandle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindClose(handle); }
};

// CreateFileW reports failure with INVALID_HANDLE_VALUE.
struct TFileTraits {
    using THandle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

// Process and thread handles are null when absent.
struct TKernelObjectTraits {
    using THandle = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

using THKey = TUniqueHandle<TRegistryKeyTraits>;
using TFindHandle = TUniqueHandle<TFindTraits>;
using TFileHandle = TUniqueHandle<TFileTraits>;
using TProcessHandle = TUniqueHandle<TKernelObjectTraits>;

// Holds one reference to a COM interface and releases it.
template <class T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    ~TComPtr() {
        if (Pointer_ != nullptr) Pointer_->Release();
    }

    T* operator->() const { return Pointer_; }
    T* Get() const { return Pointer_; }
    // The slot a creating call fills; any interface held before is released first.
    void** Put() {
        if (Pointer_ != nullptr) Pointer_->Release();
        Pointer_ = nullptr;
        return reinterpret_cast<void**>(&Pointer_);
    }

private:
    T* Pointer_ = nullptr;
};

}  // namespace marlowen
