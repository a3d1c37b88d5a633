#include <gtest/gtest.h>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "setup/SetupModule.h"
#include "setup/SystemIntegration.h"

namespace marlowen::testing {
namespace {

constexpr const char* kBatchFolder = "C:\\Users\\user\\AppData\\Roaming\\Tovan soft\\Marlowen";
constexpr const char* kBatch = "C:\\Users\\user\\AppData\\Roaming\\Tovan soft\\Marlowen\\ui.bat";

// An installed product, run from its installed Setup.exe (in use, as a running program is).
class Uninstall : public TSetupFixture {
protected:
    void SetUp() override {
        TSetupFixture::SetUp();
        Write("C:\\Setup\\Setup.exe", "setup");
        Write("C:\\Setup\\MarlowenApp.exe", "app");
        Write("C:\\Setup\\Packs\\Default.fs", "pack");
        TSetupModule installer(Platform());
        installer.RunInstall({});
        Machine().Application.SetExecutablePath(std::string(kInstalled) + "\\Setup.exe");
        Machine().Files.Lock(std::string(kInstalled) + "\\Setup.exe");
        Module_ = std::make_unique<TSetupModule>(Platform());
    }

    TSetupModule& Module() { return *Module_; }
    // A host symbolic link at `link` to `target`, which the headless backend shows as a Windows
    // link; false where the host makes none.
    bool Link(const std::string& target, const std::string& link) {
        std::error_code error;
        std::filesystem::create_symlink(Host(target), Host(link), error);
        return !error && std::filesystem::is_symlink(Host(link), error);
    }
    // Not even a link is left at the path.
    bool Gone(const std::string& path) { return !std::filesystem::exists(std::filesystem::symlink_status(Host(path))); }
    std::unique_ptr<TSetupModule> Module_;
};

TEST_F(Uninstall, AnsweringNoChangesNothing) {
    Module().Uninstall(true);
    ASSERT_EQ(Machine().Application.Boxes().size(), 1u);
    const auto& box = Machine().Application.Boxes()[0];
    EXPECT_EQ(box.Text, "Are you sure to remove Marlowen from your computer?");
    EXPECT_EQ(box.Caption, "Remove Marlowen");
    EXPECT_EQ(box.Flags, 0x24u);
    EXPECT_EQ(Machine().Application.Title(), "Remove Marlowen");
    EXPECT_TRUE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_TRUE(Machine().Registry.KeyExists(HKLM, kAppPathsKey));
    EXPECT_TRUE(Exists(std::string(kGroup) + "\\Marlowen.lnk"));
    EXPECT_TRUE(Exists(kDesktopLink));
    EXPECT_TRUE(Exists(std::string(kInstalled) + "\\MarlowenApp.exe"));
    EXPECT_FALSE(Exists(kBatch));
    EXPECT_TRUE(Machine().Shell.Started().empty());
}

TEST_F(Uninstall, AnsweringYesRemovesWhatItCanAndSchedulesTheRest) {
    Machine().Application.QueueAnswer(MessageBoxAnswer::Yes);
    Module().Uninstall(true);
    EXPECT_EQ(Module().InstallFolder, kInstalled);
    EXPECT_EQ(Module().ProgramGroup, kGroup);
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kAppPathsKey));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_FALSE(Exists(kDesktopLink));
    EXPECT_FALSE(Exists(std::string(kInstalled) + "\\MarlowenApp.exe"));
    EXPECT_FALSE(Exists(std::string(kInstalled) + "\\Packs"));
    EXPECT_TRUE(Exists(std::string(kInstalled) + "\\Setup.exe"));  // in use: the batch file's job
    EXPECT_EQ(Integer(HKLM, kSettingsKey, "EnableAutoUpdate"), 1u);  // the settings stay

    EXPECT_EQ(Read(kBatch),
              "set T=0\r\n"
              ":try\r\n"
              "del \"C:\\Program Files\\Marlowen\\Setup.exe\"\r\n"
              "if exist \"C:\\Program Files\\Marlowen\\Setup.exe\" if %T% lss 60 "
              "(set /a T+=1 >nul & ping -n 2 127.0.0.1 >nul & goto try)\r\n"
              "RD \"C:\\Program Files\\Marlowen\"\r\n"
              "del ui.bat\r\n");
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    const auto& started = Machine().Shell.Started()[0];
    EXPECT_TRUE(started.Hidden);
    EXPECT_EQ(started.File, kBatch);
    EXPECT_EQ(started.Parameters, "");
    EXPECT_EQ(started.Folder, kBatchFolder);
    EXPECT_EQ(Machine().Application.Boxes().size(), 1u);
}

TEST_F(Uninstall, WithoutAskingAndWithoutADesktopLink) {
    Machine().Files.DeleteFile(kDesktopLink);
    EXPECT_NO_THROW(Module().Uninstall(false));
    EXPECT_TRUE(Machine().Application.Boxes().empty());
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_EQ(Machine().Shell.Started().size(), 1u);
}

TEST_F(Uninstall, ABatchThatCannotStartIsRaisedAfterEverythingElseWent) {
    Machine().Shell.RefuseStarts(true);
    EXPECT_THROW(Module().Uninstall(false), Exception);
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_TRUE(Exists(kBatch));
}

TEST_F(Uninstall, WithoutAnEntryNothingIsRemoved) {
    Machine().Registry.DeleteKey(HKLM, kUninstallKey);
    try {
        Module().Uninstall(true);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Marlowen install information not found.");
    }
    EXPECT_TRUE(Machine().Application.Boxes().empty());
    EXPECT_TRUE(Exists(std::string(kGroup) + "\\Marlowen.lnk"));
}

TEST_F(Uninstall, AnEntryNamingNoProperFolderNeverDeletesADrive) {
    // Every spelling of a drive's root: normalised, "C:\\." and "C:\\Windows\\.." are "C:\\".
    const std::pair<const char*, const char*> entries[] = {
        {"", "C:\\"}, {"C:\\.", "C:\\Windows\\.."}, {"C:\\Windows\\..", "C:\\..."}, {"C:\\\\", "C:/"}};
    for (const auto& [folder, group] : entries) {
        SCOPED_TRACE(folder);
        WriteUninstallInfo(Machine().Registry, "Marlowen", folder, "\\MarlowenApp.exe", group, "", "Marlowen");
        TSetupModule module(Platform());
        module.Uninstall(false);
        EXPECT_TRUE(Exists("C:\\Setup\\Setup.exe"));
        EXPECT_TRUE(Exists(std::string(kInstalled) + "\\MarlowenApp.exe"));
        EXPECT_TRUE(Exists(std::string(kGroup) + "\\Marlowen.lnk"));
    }

    EXPECT_FALSE(IsRemovableFolder(""));
    EXPECT_FALSE(IsRemovableFolder("C:"));
    EXPECT_FALSE(IsRemovableFolder("C:\\"));
    EXPECT_FALSE(IsRemovableFolder("Relative\\Folder"));
    EXPECT_FALSE(IsRemovableFolder("\\\\server\\share"));
    EXPECT_TRUE(IsRemovableFolder("\\\\server\\share\\Marlowen"));
    EXPECT_TRUE(IsRemovableFolder("D:\\M"));
}

TEST_F(Uninstall, LinksAreRemovedButNotWhatTheyLeadTo) {
    Write("C:\\Victim\\keep.txt", "keep");
    Write("C:\\Victim\\Deep\\keep.txt", "keep");
    if (!Link("C:\\Victim", std::string(kInstalled) + "\\Data")) GTEST_SKIP() << "this host makes no symbolic links";
    ASSERT_TRUE(Link("C:\\Victim\\keep.txt", std::string(kInstalled) + "\\notes.txt"));
    ASSERT_TRUE(Link("C:\\Victim", std::string(kGroup) + "\\Docs"));
    Machine().Application.QueueAnswer(MessageBoxAnswer::Yes);
    Module().Uninstall(true);
    EXPECT_EQ(Read("C:\\Victim\\keep.txt"), "keep");
    EXPECT_EQ(Read("C:\\Victim\\Deep\\keep.txt"), "keep");
    EXPECT_TRUE(Gone(std::string(kInstalled) + "\\Data"));
    EXPECT_TRUE(Gone(std::string(kInstalled) + "\\notes.txt"));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_FALSE(Exists(std::string(kInstalled) + "\\MarlowenApp.exe"));
}

TEST_F(Uninstall, AnInstallFolderThatIsALinkGoesAsALink) {
    Write("C:\\Victim\\keep.txt", "keep");
    if (!Link("C:\\Victim", "C:\\Linked")) GTEST_SKIP() << "this host makes no symbolic links";
    WriteUninstallInfo(Machine().Registry, "Marlowen", "C:\\Linked", "C:\\Linked\\MarlowenApp.exe", kGroup, "",
                       "Marlowen");
    Module().Uninstall(false);
    EXPECT_EQ(Read("C:\\Victim\\keep.txt"), "keep");
    EXPECT_TRUE(Gone("C:\\Linked"));
}

TEST(SelfDeleteBatch, PercentSignsAreDoubledSoCmdNamesTheRightFile) {
    const auto batch = SelfDeleteBatch("D:\\100%\\%PATH%", "Set%up.exe");
    const auto& lines = batch.Lines;
    EXPECT_EQ(batch.Parameters, "");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "del \"D:\\100%%\\%%PATH%%\\Set%%up.exe\"");
    EXPECT_EQ(lines[3].rfind("if exist \"D:\\100%%\\%%PATH%%\\Set%%up.exe\" if %T% lss 60 (", 0), 0u);
    EXPECT_EQ(lines[4], "RD \"D:\\100%%\\%%PATH%%\"");
    EXPECT_EQ(lines[5], "del ui.bat");
}

// cmd reads the batch in the OEM code page: a name beyond ASCII reaches it as a parameter of the
// Unicode start call instead, and the text stays plain ASCII.
TEST(SelfDeleteBatch, NamesBeyondAsciiArePassedAsParameters) {
    const std::string folder = "C:\\Программы\\Marlowen";
    const std::string exe = "Уст.exe";
    auto batch = SelfDeleteBatch(folder, exe);
    EXPECT_EQ(batch.Parameters, "\"" + folder + "\" \"" + exe + "\"");
    EXPECT_EQ(batch.Lines[2], "del \"%~1\\%~2\"");
    EXPECT_EQ(batch.Lines[4], "RD \"%~1\"");
    for (const std::string& line : batch.Lines) {
        for (char c : line) EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << line;
    }

    batch = SelfDeleteBatch(folder, "Setup.exe");
    EXPECT_EQ(batch.Parameters, "\"" + folder + "\"");
    EXPECT_EQ(batch.Lines[2], "del \"%~1\\Setup.exe\"");
}

TEST_F(Uninstall, AFolderBeyondAsciiIsHandedToTheBatchAsAParameter) {
    const std::string folder = "C:\\Программы\\Marlowen";
    Write(folder + "\\MarlowenApp.exe", "app");
    WriteUninstallInfo(Machine().Registry, "Marlowen", folder, folder + "\\MarlowenApp.exe", kGroup, "", "Marlowen");
    Module().Uninstall(false);
    EXPECT_FALSE(Exists(folder + "\\MarlowenApp.exe"));
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    EXPECT_EQ(Machine().Shell.Started()[0].Parameters, "\"" + folder + "\"");
    const std::string text = Read(kBatch);
    EXPECT_NE(text.find("RD \"%~1\"\r\n"), std::string::npos);
    EXPECT_EQ(text.find(folder), std::string::npos);
}

}  // namespace
}  // namespace marlowen::testing
