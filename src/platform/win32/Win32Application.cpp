#include "platform/win32/Win32Application.h"

#include "platform/win32/Win32Api.h"

#include <bcrypt.h>

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

std::wstring ModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        // A full buffer may mean a cut-off name: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

TWin32Application::TWin32Application() {
    Title_ = ExtractFileTitle(Utf8Text(ModuleFileName()));
}

void TWin32Application::ProcessMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            Terminated_ = true;
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int32_t TWin32Application::MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    const std::wstring wideCaption = WideText(caption.empty() ? Title_ : caption);
    return MessageBoxW(nullptr, WideText(text).c_str(), wideCaption.c_str(), flags | MB_TASKMODAL | MB_SETFOREGROUND);
}

void TWin32Application::Beep() { MessageBeep(MB_OK); }

void TWin32Application::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint32_t TWin32Application::TickCount() const { return GetTickCount(); }

std::string TWin32Application::ExecutablePath() const { return Utf8Text(ModuleFileName()); }

std::vector<uint8_t> TWin32Application::OwnResource(const std::string& name) const {
    const std::wstring wide = WideText(name);
    HRSRC found = FindResourceW(nullptr, wide.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* data = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) return {};
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

std::vector<uint8_t> TWin32Application::RandomBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    if (count > 0 && !BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(count),
                                                     BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        throw Exception("The system's random source failed.");
    }
    return bytes;
}

}  // namespace marlowen
