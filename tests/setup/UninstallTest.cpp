#include <gtest/gtest.h>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "core/FilePaths.h"
#include "setup/SetupModule.h"
#include "setup/SystemIntegration.h"

namespace marlowen::testing {
namespace {

constexpr const char* kWindowsTemp = "C:\\Windows\\Temp";
constexpr const char* kSystem = "C:\\Windows\\System32";

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
    // The batch folders in the Windows temporary folder.
    std::vector<std::string> BatchFolders() {
        std::vector<std::string> folders;
        for (const TFileEntry& entry : Machine().Files.FindFiles(kWindowsTemp, "*")) {
            folders.push_back(std::string(kWindowsTemp) + "\\" + entry.Name);
        }
        return folders;
    }
    // The one batch file written, or "" when there is none.
    std::string Batch() {
        const std::vector<std::string> folders = BatchFolders();
        return folders.size() == 1 ? folders[0] + "\\ui.bat" : "";
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
    EXPECT_TRUE(BatchFolders().empty());
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

    // In a fresh folder of its own that only administrators and the system may enter, under a
    // name nobody can guess; started in the system folder.
    const std::string batch = Batch();
    ASSERT_FALSE(batch.empty());
    const std::string folder = ExtractFileDir(batch);
    EXPECT_EQ(Machine().Files.RightsOf(folder), TFolderRights::AdminsOnly);
    const std::string name = ExtractFileName(folder);
    ASSERT_EQ(name.size(), 9u + 32u) << name;
    EXPECT_EQ(name.rfind("Marlowen-", 0), 0u);
    EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 9), std::string::npos) << name;
    EXPECT_EQ(Read(batch),
              "set T=0\r\n"
              ":try\r\n"
              "del \"C:\\Program Files\\Marlowen\\Setup.exe\"\r\n"
              "if exist \"C:\\Program Files\\Marlowen\\Setup.exe\" if %T% lss 60 "
              "(set /a T+=1 >nul & \"C:\\Windows\\System32\\ping.exe\" -n 2 127.0.0.1 >nul & goto try)\r\n"
              "RD \"C:\\Program Files\\Marlowen\"\r\n"
              "del \"%~f0\" & (RD \"" + folder + "\" 2>nul || start \"\" /b \"C:\\Windows\\System32\\cmd.exe\" /c "
              "\"\"C:\\Windows\\System32\\ping.exe\" -n 3 127.0.0.1 >nul & RD \"" + folder + "\"\")\r\n");
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    const auto& started = Machine().Shell.Started()[0];
    EXPECT_TRUE(started.Hidden);
    EXPECT_EQ(started.File, batch);
    EXPECT_EQ(started.Parameters, "");
    EXPECT_EQ(started.Folder, kSystem);
    EXPECT_EQ(Machine().Application.Boxes().size(), 1u);
}

TEST_F(Uninstall, EachRemovalGetsAFolderOfItsOwnAndNeverReusesOne) {
    // A folder planted under every name the random source could give is never taken over.
    Machine().Application.QueueAnswer(MessageBoxAnswer::Yes);
    Module().Uninstall(true);
    const std::string first = Batch();
    ASSERT_FALSE(first.empty());
    WriteUninstallInfo(Machine().Registry, "Marlowen", kInstalled, std::string(kInstalled) + "\\MarlowenApp.exe",
                       kGroup, "", "Marlowen");
    Module().Uninstall(false);
    const std::vector<std::string> folders = BatchFolders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_NE(folders[0], folders[1]);
    EXPECT_EQ(Machine().Shell.Started()[1].File.rfind(std::string(kWindowsTemp) + "\\Marlowen-", 0), 0u);
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
    EXPECT_FALSE(Batch().empty());
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
    const auto batch = SelfDeleteBatch("D:\\100%\\%PATH%", "Set%up.exe", "C:\\W%\\System32", "C:\\W%\\Temp\\M");
    const auto& lines = batch.Lines;
    EXPECT_EQ(batch.Parameters, "");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "del \"D:\\100%%\\%%PATH%%\\Set%%up.exe\"");
    EXPECT_EQ(lines[3].rfind("if exist \"D:\\100%%\\%%PATH%%\\Set%%up.exe\" if %T% lss 60 (", 0), 0u);
    EXPECT_NE(lines[3].find("& \"C:\\W%%\\System32\\ping.exe\" -n 2"), std::string::npos) << lines[3];
    EXPECT_EQ(lines[4], "RD \"D:\\100%%\\%%PATH%%\"");
    EXPECT_EQ(lines[5].rfind("del \"%~f0\" & (RD \"C:\\W%%\\Temp\\M\" 2>nul || start \"\" /b \"C:\\W%%\\System32\\cmd.exe\"", 0),
              0u) << lines[5];
}

// cmd reads the batch in the OEM code page: a name beyond ASCII reaches it as a parameter of the
// Unicode start call instead, and the text stays plain ASCII.
TEST(SelfDeleteBatch, NamesBeyondAsciiArePassedAsParameters) {
    const std::string folder = "C:\\Программы\\Marlowen";
    const std::string exe = "Уст.exe";
    auto batch = SelfDeleteBatch(folder, exe, kSystem, "C:\\Windows\\Temp\\M");
    EXPECT_EQ(batch.Parameters, "\"" + folder + "\" \"" + exe + "\"");
    EXPECT_EQ(batch.Lines[2], "del \"%~1\\%~2\"");
    EXPECT_EQ(batch.Lines[4], "RD \"%~1\"");
    for (const std::string& line : batch.Lines) {
        for (char c : line) EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << line;
    }

    batch = SelfDeleteBatch(folder, "Setup.exe", "C:\\Окна\\System32", "C:\\Окна\\Temp\\M");
    EXPECT_EQ(batch.Parameters, "\"" + folder + "\" \"C:\\Окна\\System32\" \"C:\\Окна\\Temp\\M\"");
    EXPECT_EQ(batch.Lines[2], "del \"%~1\\Setup.exe\"");
    EXPECT_NE(batch.Lines[3].find("& \"%~2\\ping.exe\" -n 2"), std::string::npos) << batch.Lines[3];
    EXPECT_EQ(batch.Lines[5], "del \"%~f0\" & (RD \"%~3\" 2>nul || start \"\" /b \"%~2\\cmd.exe\" /c \"\"%~2\\ping.exe\" -n 3 "
                              "127.0.0.1 >nul & RD \"%~3\"\")");
}

TEST_F(Uninstall, AFolderBeyondAsciiIsHandedToTheBatchAsAParameter) {
    const std::string folder = "C:\\Программы\\Marlowen";
    Write(folder + "\\MarlowenApp.exe", "app");
    WriteUninstallInfo(Machine().Registry, "Marlowen", folder, folder + "\\MarlowenApp.exe", kGroup, "", "Marlowen");
    Module().Uninstall(false);
    EXPECT_FALSE(Exists(folder + "\\MarlowenApp.exe"));
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    EXPECT_EQ(Machine().Shell.Started()[0].Parameters, "\"" + folder + "\"");
    const std::string text = Read(Batch());
    EXPECT_NE(text.find("RD \"%~1\"\r\n"), std::string::npos);
    EXPECT_EQ(text.find(folder), std::string::npos);
}

}  // namespace
}  // namespace marlowen::testing
