// What only the Win32 file system does; what every backend does is in PlatformContractTest.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32FileSystem.h"

namespace marlowen {
namespace {

TEST(Win32LongPath, AbsoluteUncAndRelativeForms) {
    EXPECT_EQ(LongPath("C:\\a\\\\b/c"), L"\\\\?\\C:\\a\\b\\c");
    EXPECT_EQ(LongPath("C:\\a\\..\\b\\.\\c"), L"\\\\?\\C:\\b\\c");
    EXPECT_EQ(LongPath("\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(LongPath("\\\\?\\C:\\kept"), L"\\\\?\\C:\\kept");
    EXPECT_EQ(LongPath(""), L"");
    const std::wstring relative = LongPath("relative.txt");
    EXPECT_EQ(relative.rfind(L"\\\\?\\", 0), 0u);
    EXPECT_EQ(relative.substr(relative.size() - 13), L"\\relative.txt");
}

}  // namespace
}  // namespace marlowen
