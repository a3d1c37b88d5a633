#pragma once

// Links and other things of the Unix host that a Windows test under Wine needs made for it.

#include <functional>
#include <string>

#include <windows.h>

#include "platform/win32/Win32Text.h"

namespace marlowen::testing {

// The host's Unix name of a Windows path under Wine; "" elsewhere.
inline std::string UnixName(const std::string& path) {
    using TUnixFileName = char*(CDECL*)(const WCHAR*);
    const auto unixFileName = reinterpret_cast<TUnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixFileName == nullptr) return std::string();
    char* name = unixFileName(WideText(path).c_str());
    if (name == nullptr) return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a program of the Unix host under Wine (the Windows side cannot make a Unix link or take
// away a folder's permissions) and waits until `done` holds, which it must tell from the Windows
// side: Wine gives no exit code for a Unix process. False when it cannot start or never gets done.
inline bool RunOnHost(const std::string& commandLine, const std::function<bool()>& done) {
    std::wstring line = WideText(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 200 && !done(); ++i) Sleep(50);
    return done();
}

inline DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(WideText(path).c_str()); }

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A link to a folder: a symbolic link where Windows grants one, a Unix link under Wine (which
// shows it as a reparse point). False when neither can be made.
inline bool MakeFolderLink(const std::string& link, const std::string& target) {
    const bool made = CreateSymbolicLinkW(WideText(link).c_str(), WideText(target).c_str(),
                                          SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */);
    const DWORD attributes = GetFileAttributesW(WideText(link).c_str());
    if (made && attributes != INVALID_FILE_ATTRIBUTES) return true;
    const std::string unixTarget = UnixName(target);
    const std::string unixLink = UnixName(link);
    return !unixTarget.empty() && !unixLink.empty() &&
           RunOnHost("/bin/ln -s " + Quoted(unixTarget) + " " + Quoted(unixLink),
                     [&link] { return AttributesOf(link) != INVALID_FILE_ATTRIBUTES; });
}

}  // namespace marlowen::testing
