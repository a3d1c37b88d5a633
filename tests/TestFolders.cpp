#include "TestFolders.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace marlowen::testing {

namespace {

std::filesystem::path ProgramFolder() {
#ifdef _WIN32
    std::vector<wchar_t> name(32768);
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
#else
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
}

}  // namespace

std::filesystem::path DistributionFolder() { return (ProgramFolder() / MARLOWEN_DIST_FROM_TESTS).lexically_normal(); }

}  // namespace marlowen::testing
