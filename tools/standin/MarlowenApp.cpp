// A stand-in for the product executable until the real one ships in the distribution: when
// started, it records its command line, its folder, the working folder and whether it runs with
// administrator rights (its token elevated) in "MarlowenApp.started.txt" beside itself (UTF-8,
// one line each), so that tests can see that and how the setup started it.

#include <windows.h>

#include <memory>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}

struct THandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using TFileHandle = std::unique_ptr<void, THandleCloser>;

// "yes", "no", or "unknown" where the system cannot tell.
std::string Elevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return "unknown";
    const TFileHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return "unknown";
    return elevation.TokenIsElevated != 0 ? "yes" : "no";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring folder = ModuleFolder();
    std::wstring current(GetCurrentDirectoryW(0, nullptr), L'\0');
    current.resize(GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
    const std::string record = "command line: " + Utf8(GetCommandLineW()) + "\r\n" + "folder: " + Utf8(folder.c_str()) +
                               "\r\n" + "working folder: " + Utf8(current.c_str()) + "\r\n" +
                               "elevated: " + Elevated() + "\r\n";
    const std::wstring file = folder + L"\\MarlowenApp.started.txt";
    HANDLE raw = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return 1;
    const TFileHandle handle(raw);
    DWORD written = 0;
    return WriteFile(handle.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr) ? 0 : 1;
}
