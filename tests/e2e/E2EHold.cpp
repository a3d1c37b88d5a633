// Test-only: holds a file open the way a running program holds its own files (others may read
// it, nobody may write, replace or delete it) until a release file appears, then exits.
//   usage: e2e_hold.exe FILE RELEASE_FILE

#include <windows.h>

#include <cstdio>

int wmain(int count, wchar_t** words) {
    if (count != 3) {
        std::fputs("usage: e2e_hold.exe FILE RELEASE_FILE\n", stderr);
        return 2;
    }
    HANDLE file = CreateFileW(words[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "e2e_hold: cannot open the file (error %lu)\n", GetLastError());
        return 1;
    }
    std::puts("holding");
    std::fflush(stdout);
    while (GetFileAttributesW(words[2]) == INVALID_FILE_ATTRIBUTES) Sleep(100);
    CloseHandle(file);
    return 0;
}
