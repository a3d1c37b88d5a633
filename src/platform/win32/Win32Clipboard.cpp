#include "platform/win32/Win32Clipboard.h"

#include <cstring>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 10;

struct TWindowTraits {
    using THandle = HWND;
    static HWND Empty() { return nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};

// Global memory that is ours until the clipboard takes it over.
struct TGlobalMemoryTraits {
    using THandle = HGLOBAL;
    static HGLOBAL Empty() { return nullptr; }
    static void Close(HGLOBAL memory) { GlobalFree(memory); }
};

using TGlobalMemory = TUniqueHandle<TGlobalMemoryTraits>;

// The clipboard held open for one operation.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND owner) {
        for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
            if (attempt > 0) Sleep(kOpenRetryMs);
            Open_ = OpenClipboard(owner) != FALSE;
            if (Open_) return;
        }
    }
    ~TOpenClipboard() {
        if (Open_) CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;

    bool Open() const { return Open_; }

private:
    bool Open_ = false;
};

// A global memory block locked for one scope.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL memory) : Memory_(memory), Data_(GlobalLock(memory)) {}
    ~TGlobalLock() {
        if (Data_ != nullptr) GlobalUnlock(Memory_);
    }
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;

    void* Data() const { return Data_; }

private:
    HGLOBAL Memory_;
    void* Data_;
};

}  // namespace

class TWin32Clipboard::TOwnerWindow {
public:
    // A message-only window of the predefined static class: nothing to register, never shown.
    TOwnerWindow()
        : Window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr)) {}

    HWND Get() const { return Window_.Get(); }

private:
    TUniqueHandle<TWindowTraits> Window_;
};

TWin32Clipboard::TWin32Clipboard() = default;
TWin32Clipboard::~TWin32Clipboard() = default;

TWin32Clipboard::TOwnerWindow& TWin32Clipboard::Owner() {
    if (!Owner_) Owner_ = std::make_unique<TOwnerWindow>();
    return *Owner_;
}

std::string TWin32Clipboard::GetText() {
    const TOpenClipboard clipboard(Owner().Get());
    if (!clipboard.Open()) return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return {};
    const TGlobalLock lock(data);
    if (lock.Data() == nullptr) return {};
    // The text ends at its terminator, or at the block's end when a program left none.
    const auto* text = static_cast<const wchar_t*>(lock.Data());
    const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && text[length] != L'\0') ++length;
    return Utf8Text(std::wstring_view(text, length));
}

bool TWin32Clipboard::SetText(std::string_view text) {
    const std::wstring wide = WideText(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    {
        const TGlobalLock lock(memory.Get());
        if (lock.Data() == nullptr) return false;
        std::memcpy(lock.Data(), wide.c_str(), bytes);
    }
    const TOpenClipboard clipboard(Owner().Get());
    if (!clipboard.Open() || !EmptyClipboard()) return false;
    if (SetClipboardData(CF_UNICODETEXT, memory.Get()) == nullptr) return false;
    memory.Release();  // the clipboard owns the block now
    return true;
}

}  // namespace marlowen
