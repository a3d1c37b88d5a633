// Test-only: builds the public keys of KEYS_FILE (the resource text: one key per line) into a copy
// of an executable, as a release built with MARLOWEN_UPDATE_PUBLIC_KEYS carries them, so that the
// scenarios test the very Setup.exe that ships with a key of their own.
//   usage: e2e_trust.exe EXE KEYS_FILE

#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int count, wchar_t** words) {
    if (count != 3) {
        std::fputs("usage: e2e_trust.exe EXE KEYS_FILE\n", stderr);
        return 2;
    }
    HANDLE file = CreateFileW(words[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::vector<char> keys(GetFileSize(file, nullptr));
    DWORD read = 0;
    const BOOL ok = ReadFile(file, keys.data(), static_cast<DWORD>(keys.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != keys.size()) return 1;
    HANDLE update = BeginUpdateResourceW(words[1], FALSE);
    if (update == nullptr) return 1;
    if (!UpdateResourceW(update, MAKEINTRESOURCEW(10), L"UPDATEKEYS", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                         keys.data(), static_cast<DWORD>(keys.size()))) {
        EndUpdateResourceW(update, TRUE);
        return 1;
    }
    return EndUpdateResourceW(update, FALSE) ? 0 : 1;
}
