// What only the Win32 shell does; what every backend does is in PlatformContractTest.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Shell.h"

namespace marlowen {
namespace {

const char* StartName(TUserStart start) {
    switch (start) {
        case TUserStart::AsUser: return "by the desktop's shell, as the user";
        case TUserStart::Directly: return "directly, with this process's rights";
        case TUserStart::Failed: break;
    }
    return "not at all";
}

// The program really runs, whichever way the system offers: it leaves a file behind.
TEST(Win32Shell, AUserStartRunsTheProgramOneWayOrTheOther) {
    TWin32FileSystem files;
    TWin32Shell shell;
    TWin32Application application;
    const std::string marker = files.TempFolder() + "MarlowenUserStart.txt";
    files.DeleteFile(marker);
    const std::string cmd = files.SystemFolder() + "\\cmd.exe";
    const TUserStart start = shell.ExecuteAsUser(cmd, "/c echo started>\"" + marker + "\"", files.SystemFolder());
    RecordProperty("started", StartName(start));
    std::printf("the user start went %s\n", StartName(start));
    ASSERT_NE(start, TUserStart::Failed);
    for (int i = 0; i < 100 && !files.FileExists(marker); ++i) application.Sleep(100);
    EXPECT_TRUE(files.FileExists(marker));
    files.DeleteFile(marker);

    EXPECT_EQ(shell.ExecuteAsUser(files.SystemFolder() + "\\no-such-program.exe", "", ""), TUserStart::Failed);
}

}  // namespace
}  // namespace marlowen
