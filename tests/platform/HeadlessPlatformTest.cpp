#include <gtest/gtest.h>

#include <filesystem>

#include "core/Exception.h"
#include "platform/Registry.h"
#include "platform/headless/HeadlessForms.h"
#include "platform/headless/HeadlessPlatform.h"

namespace marlowen {
namespace {

namespace fs = std::filesystem;

class HeadlessPlatform : public ::testing::Test {
protected:
    void SetUp() override {
        Root_ = fs::temp_directory_path() /
                ("marlowen-platform-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Root_);
        fs::create_directories(Root_);
    }
    void TearDown() override { fs::remove_all(Root_); }

    static std::string Read(TRegistry& registry, TRegistryRoot root, const std::string& key, const std::string& name) {
        const auto opened = registry.OpenKey(root, key, RegistryAccess::Read, false);
        return opened ? opened->ReadString(name).value_or("<none>") : "<no key>";
    }

    fs::path Root_;
};

TEST_F(HeadlessPlatform, StartsAsAFreshWindows) {
    THeadlessPlatform platform(Root_);
    TPlatform& services = platform.Platform();
    EXPECT_EQ(&services.Files, &platform.Files);
    EXPECT_EQ(services.Application.Title(), "Setup");

    const std::string shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell folders";
    const auto lm = TRegistryRoot::LocalMachine;
    const auto cu = TRegistryRoot::CurrentUser;
    EXPECT_EQ(Read(services.Registry, lm, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
              "C:\\Program Files");
    EXPECT_EQ(Read(services.Registry, lm, shellFolders, "Common Desktop"), "C:\\Users\\Public\\Desktop");
    EXPECT_EQ(Read(services.Registry, lm, shellFolders, "Common Programs"),
              "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(Read(services.Registry, lm, shellFolders, "Common Startup"),
              "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
    EXPECT_EQ(Read(services.Registry, lm, shellFolders, "Common AppData"), "C:\\ProgramData");
    EXPECT_EQ(Read(services.Registry, cu, shellFolders, "AppData"), "C:\\Users\\user\\AppData\\Roaming");
    EXPECT_EQ(Read(services.Registry, cu, shellFolders, "Programs"),
              "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(Read(services.Registry, cu, shellFolders, "Personal"), "C:\\Users\\user\\Documents");

    EXPECT_TRUE(services.Files.FolderExists("C:\\Users\\Public\\Desktop"));
    EXPECT_TRUE(services.Files.FolderExists("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"));
    EXPECT_TRUE(services.Files.FolderExists("C:\\Program Files"));
}

TEST_F(HeadlessPlatform, ShellRecordsStartsOfExistingFiles) {
    THeadlessPlatform platform(Root_);
    platform.Files.CreateFolder("C:\\Program Files\\Marlowen");
    platform.Files.WriteFile("C:\\Program Files\\Marlowen\\MarlowenApp.exe", {'M', 'Z'});
    TShell& shell = platform.Platform().Shell;

    EXPECT_TRUE(shell.Execute("open", "C:\\Program Files\\Marlowen\\MarlowenApp.exe", "/first", "C:\\Program Files",
                              ShowCommand::ShowNormal));
    EXPECT_TRUE(shell.Execute("", "MarlowenApp.exe", "", "C:\\Program Files\\Marlowen", ShowCommand::ShowNormal));
    EXPECT_FALSE(shell.Execute("open", "C:\\Program Files\\Marlowen\\None.exe", "", "", ShowCommand::ShowNormal));
    shell.ExecuteHidden("C:\\Program Files\\Marlowen\\MarlowenApp.exe", "", "C:\\Program Files\\Marlowen");
    try {
        shell.ExecuteHidden("C:\\Users\\user\\ui.bat", "", "C:\\Users\\user");
        ADD_FAILURE() << "a missing file was started";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "The system cannot find the file specified.");
    }
    platform.Shell.RefuseStarts(true);
    EXPECT_FALSE(shell.Execute("open", "C:\\Program Files\\Marlowen\\MarlowenApp.exe", "", "", 1));
    EXPECT_THROW(shell.ExecuteHidden("C:\\Program Files\\Marlowen\\MarlowenApp.exe", "", ""), Exception);

    const auto& started = platform.Shell.Started();
    ASSERT_EQ(started.size(), 3u);
    EXPECT_EQ(started[0].Verb, "open");
    EXPECT_EQ(started[0].Parameters, "/first");
    EXPECT_FALSE(started[0].Hidden);
    EXPECT_TRUE(started[2].Hidden);
    EXPECT_EQ(started[2].ShowCommand, ShowCommand::Hide);
    EXPECT_EQ(started[2].Folder, "C:\\Program Files\\Marlowen");
}

// As on Windows, the windows a form may snap to are the visible ones that are not minimised,
// the topmost first, then other programs' windows.
TEST(HeadlessForms, OtherWindowsLeaveOutHiddenAndMinimisedForms) {
    THeadlessScreen screen;
    screen.ForeignWindows.push_back({500, 500, 600, 600});
    THeadlessFormHost self(screen, {0, 0, 10, 10});
    THeadlessFormHost below(screen, {100, 100, 200, 200});
    THeadlessFormHost above(screen, {300, 300, 400, 400});
    THeadlessFormHost hidden(screen, {50, 50, 60, 60});
    hidden.SetVisible(false);
    const std::vector<TScreenRect> all{above.Bounds(), below.Bounds(), screen.ForeignWindows[0]};
    EXPECT_EQ(self.OtherWindows(), all);
    above.Minimize();
    const std::vector<TScreenRect> shown{below.Bounds(), screen.ForeignWindows[0]};
    EXPECT_EQ(self.OtherWindows(), shown);
    above.BringToFront();
    EXPECT_EQ(self.OtherWindows(), all);
}

}  // namespace
}  // namespace marlowen
