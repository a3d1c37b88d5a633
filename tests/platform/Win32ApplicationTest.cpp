#include <gtest/gtest.h>

#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32SystemColors.h"

namespace marlowen {
namespace {

TEST(Win32Application, KnowsItsExecutableAndTitle) {
    TWin32Application application;
    const std::string path = application.ExecutablePath();
    EXPECT_NE(path.find("platform_tests.exe"), std::string::npos) << path;
    EXPECT_EQ(application.Title(), "platform_tests");
    EXPECT_FALSE(application.Terminated());
    application.ProcessMessages();
    application.Terminate();
    EXPECT_TRUE(application.Terminated());
}

TEST(Win32SystemColors, KnownIndicesHaveColoursAndUnknownOnesAreBlack) {
    TWin32SystemColors colors;
    EXPECT_NE(colors.SystemColor(5), colors.SystemColor(8));  // window background and window text
    EXPECT_EQ(colors.SystemColor(-1), 0u);
    EXPECT_EQ(colors.SystemColor(1000), 0u);
}

}  // namespace
}  // namespace marlowen
