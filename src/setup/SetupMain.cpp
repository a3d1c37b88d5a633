// The entry of Setup.exe: the Windows command line as UTF-8 words, the real platform, the core
// library, the setup.

#include <exception>
#include <string>
#include <vector>

#include "core/CoreLibrary.h"
#include "core/Utf.h"
#include "platform/Application.h"
#include "platform/win32/Win32Platform.h"
#include "setup/SetupEntry.h"

// After the project's headers: <windows.h> turns names such as MessageBox into macros.
#include <windows.h>
#include <shellapi.h>

namespace {

// The arguments after the program name, split as the C runtime splits them (quotes group).
std::vector<std::string> CommandLineWords() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (words == nullptr) return args;
    for (int i = 1; i < count; ++i) {
        args.push_back(marlowen::Utf16ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
    }
    LocalFree(words);
    return args;
}

// The last word on an error nothing else caught: a box instead of a silent crash.
int ReportFatal(const char* message) {
    const std::u16string text = marlowen::Utf8ToUtf16(message);
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"Setup", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        marlowen::TWin32Platform platform;
        marlowen::TCoreLibrary core(platform.Platform().Locale.SupportsCyrillic());
        return marlowen::RunSetup(platform.Platform(), CommandLineWords());
    } catch (const std::exception& error) {
        return ReportFatal(error.what());
    }
}
