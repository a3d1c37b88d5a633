#include <gtest/gtest.h>

#include "core/Exception.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemColors.h"

namespace marlowen {
namespace {

TEST(Win32Shell, SavesARealShellLink) {
    TWin32FileSystem files;
    TWin32Shell shell;
    TWin32Application application;
    const std::string link = files.TempFolder() + "Marlowen test link.lnk";
    files.DeleteFile(link);
    TShellLinkData data;
    data.Target = application.ExecutablePath();
    data.WorkingFolder = files.TempFolder();
    data.Arguments = "/uninstall";
    data.Description = "Удалить Marlowen";
    data.IconIndex = 0;
    shell.SaveShellLink(link, data);
    data.IconIndex = -1;
    shell.SaveShellLink(link, data);  // an existing link is replaced
    const std::vector<uint8_t> bytes = files.ReadFile(link);
    ASSERT_GE(bytes.size(), 76u);
    EXPECT_EQ(bytes[0], 0x4C);  // the header's own size
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_TRUE(files.DeleteFile(link));
}

TEST(Win32Shell, SavingIntoAMissingFolderRaises) {
    TWin32FileSystem files;
    TWin32Shell shell;
    TShellLinkData data;
    data.Target = "C:\\windows\\notepad.exe";
    EXPECT_THROW(shell.SaveShellLink(files.TempFolder() + "NoSuchFolder\\x\\link.lnk", data), Exception);
}

TEST(Win32Shell, StartingAMissingFileFails) {
    TWin32FileSystem files;
    TWin32Shell shell;
    const std::string missing = files.TempFolder() + "no-such-file-here.bat";
    try {
        shell.ExecuteHidden(missing, "", files.TempFolder());
        FAIL() << "a missing file was started";
    } catch (const Exception& error) {
        EXPECT_FALSE(error.Message().empty());
    }
    EXPECT_FALSE(shell.Execute("open", missing, "", "", 1));
}

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
