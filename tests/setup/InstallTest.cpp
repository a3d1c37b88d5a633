#include <gtest/gtest.h>

#include <utility>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "platform/shared/ShellLinkFile.h"
#include "setup/SetupModule.h"

namespace marlowen::testing {
namespace {


// A distribution beside C:\Setup\Setup.exe and a driver with the default choices.
class Install : public TSetupFixture {
protected:
    void SetUp() override {
        TSetupFixture::SetUp();
        WriteDistribution();
        Write("C:\\Setup\\Sub\\zero.dat", "");
        Write("C:\\Setup\\.hidden.txt", std::string(7777, 'h'));
        Write("C:\\Setup\\.HiddenDir\\inside.txt", "i");
        std::filesystem::create_directories(Host("C:\\Setup\\Empty"));
        Module_ = std::make_unique<TSetupModule>(Platform());
    }

    TSetupModule& Module() { return *Module_; }
    void Run() {
        Module().RunInstall([this](const std::string& text, int32_t percent) { Reports_.emplace_back(text, percent); });
    }
    TShellLinkData Link(const std::string& path) { return ReadShellLinkFile(Machine().Files.ReadFile(path)); }

    std::vector<std::pair<std::string, int32_t>> Reports_;
    std::unique_ptr<TSetupModule> Module_;
};

TEST_F(Install, DefaultsComeFromTheSpecialFolders) {
    EXPECT_EQ(Module().InstallFolder, kInstalled);
    EXPECT_EQ(Module().ProgramGroup, kGroup);
    EXPECT_EQ(Module().SetupFolder, "C:\\Setup");
    EXPECT_TRUE(Module().CreateDesktopIcons);
    EXPECT_TRUE(Module().EnableAutoUpdate);
}

TEST_F(Install, CopiesTheVisibleTreeWithArchiveAttributesOnly) {
    Run();
    const std::string root = kInstalled;
    EXPECT_EQ(Read(root + "\\MarlowenApp.exe"), std::string(150000, 'm'));
    EXPECT_EQ(Read(root + "\\Setup.exe"), std::string(500, 's'));
    EXPECT_EQ(Read(root + "\\Sub\\data.bin"), std::string(50000, 'd'));
    EXPECT_TRUE(Machine().Files.FileExists(root + "\\Sub\\zero.dat"));
    EXPECT_TRUE(Machine().Files.FolderExists(root + "\\Empty"));
    EXPECT_TRUE(Machine().Files.FindFiles(root + "\\Empty", "*").empty());
    EXPECT_FALSE(Exists(root + "\\.hidden.txt"));
    EXPECT_FALSE(Exists(root + "\\.HiddenDir"));
    EXPECT_EQ(Read(root + "\\Locked.txt"), "read only");
    EXPECT_EQ(Machine().Files.GetAttributes(root + "\\Locked.txt"), FileAttribute::Archive);
    EXPECT_EQ(Machine().Files.GetAttributes(root + "\\MarlowenApp.exe"), FileAttribute::Archive);

    const int64_t visible = 500 + 150000 + 50000 + 9;
    EXPECT_EQ(Module().TotalBytes, visible);
    EXPECT_EQ(Module().CopiedBytes, visible);
}

TEST_F(Install, ReportsEachStepAndTheCopyInPercent) {
    Run();
    ASSERT_GE(Reports_.size(), 5u);
    EXPECT_EQ(Reports_.front(), std::make_pair(std::string("Initialization..."), 0));
    EXPECT_EQ(Reports_[Reports_.size() - 2], std::make_pair(std::string("Registration..."), 100));
    EXPECT_EQ(Reports_.back(), std::make_pair(std::string("Finishing..."), 100));

    int32_t last = 0;
    bool sawApp = false;
    for (size_t i = 1; i + 2 < Reports_.size(); ++i) {
        const auto& [text, percent] = Reports_[i];
        EXPECT_EQ(text.rfind("Copy ", 0), 0u) << text;
        EXPECT_NE(text, "Copy zero.dat...");  // an empty file reports nothing
        EXPECT_GE(percent, last);
        EXPECT_LE(percent, 100);
        last = percent;
        sawApp = sawApp || text == "Copy MarlowenApp.exe...";
    }
    EXPECT_TRUE(sawApp);
    EXPECT_EQ(last, 100);
    // The bytes of the files before count: Locked.txt (9) and all of MarlowenApp.exe, of 200509.
    int32_t appDone = -1;
    for (const auto& [text, percent] : Reports_) {
        if (text == "Copy MarlowenApp.exe...") appDone = percent;
    }
    EXPECT_EQ(appDone, 74);
}

TEST_F(Install, RegistersShortcutsSettingsAndTheUninstallEntry) {
    SetInteger(HKCU, kSettingsKey, "EnableAutoUpdate", 0);
    SetInteger(HKLM, kSettingsKey, "UpdateLevel", 7);
    Run();

    for (const std::string& link : {std::string(kGroup) + "\\Marlowen.lnk", std::string(kDesktopLink)}) {
        const TShellLinkData data = Link(link);
        EXPECT_EQ(data.Target, "C:\\Program Files\\Marlowen\\MarlowenApp.exe") << link;
        EXPECT_EQ(data.WorkingFolder, kInstalled);
        EXPECT_EQ(data.Arguments, "");
        EXPECT_EQ(data.Description, "Marlowen");
        EXPECT_LT(data.IconIndex, 0);
    }
    EXPECT_EQ(Integer(HKLM, kSettingsKey, "EnableAutoUpdate"), 1u);
    EXPECT_EQ(Integer(HKCU, kSettingsKey, "EnableAutoUpdate"), std::nullopt);
    EXPECT_EQ(Integer(HKLM, kSettingsKey, "UpdateLevel"), 1u);

    EXPECT_EQ(String(HKLM, kUninstallKey, ""), "C:\\Program Files\\Marlowen\\MarlowenApp.exe");
    EXPECT_EQ(String(HKLM, kUninstallKey, "DisplayName"), "Marlowen");
    EXPECT_EQ(String(HKLM, kUninstallKey, "UninstallString"), "C:\\Program Files\\Marlowen\\Setup.exe /uninstall");
    EXPECT_EQ(String(HKLM, kUninstallKey, "Program group"), kGroup);
    EXPECT_EQ(String(HKLM, kUninstallKey, "Install folder"), kInstalled);
    EXPECT_EQ(String(HKLM, kAppPathsKey, ""), "C:\\Program Files\\Marlowen\\MarlowenApp.exe");
    EXPECT_EQ(String(HKLM, kAppPathsKey, "Path"), "C:\\Program Files\\Marlowen\\");
}

TEST_F(Install, ChoicesOffMeanNoDesktopLinkAndUpdatesDisabled) {
    Module().CreateDesktopIcons = false;
    Module().EnableAutoUpdate = false;
    Module().InstallFolder = "D:\\Games\\M";
    Module().ProgramGroup = "C:\\Menu\\New\\Group";
    std::filesystem::create_directories(Host("D:\\"));
    Run();
    EXPECT_FALSE(Exists(kDesktopLink));
    EXPECT_EQ(Link("C:\\Menu\\New\\Group\\Marlowen.lnk").Target, "D:\\Games\\M\\MarlowenApp.exe");
    EXPECT_EQ(Integer(HKLM, kSettingsKey, "EnableAutoUpdate"), 0u);
    EXPECT_EQ(String(HKLM, kUninstallKey, "UninstallString"), "D:\\Games\\M\\Setup.exe /uninstall");
}

TEST_F(Install, AFileThatCannotBeCopiedIsAnErrorNamingIt) {
    Write(std::string(kInstalled) + "\\MarlowenApp.exe", "old");
    Machine().Files.Lock(std::string(kInstalled) + "\\MarlowenApp.exe");
    try {
        Run();
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(),
                  "Copy file error: C:\\Program Files\\Marlowen\\MarlowenApp.exe\nThe process cannot access the "
                  "file because it is being used by another process.");
    }
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    // The folder was there before: it stays, and so does the file the install could not replace.
    EXPECT_EQ(Read(std::string(kInstalled) + "\\MarlowenApp.exe"), "old");
    EXPECT_FALSE(Exists(std::string(kInstalled) + "\\Setup.exe"));
    EXPECT_FALSE(Exists(std::string(kInstalled) + "\\Sub"));
}

TEST_F(Install, AMissingSetupFolderIsACopyError) {
    Module().SetupFolder = "C:\\Gone";
    try {
        Run();
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Copy file error");
    }
}

TEST_F(Install, TerminatingStopsQuietly) {
    // Before the copy: nothing happens at all.
    Machine().Application.OnProcessMessages = [this] { Machine().Application.Terminate(); };
    Run();
    EXPECT_FALSE(Exists(kInstalled));
    EXPECT_EQ(Reports_.size(), 1u);
    EXPECT_EQ(Machine().Application.BeepCount(), 0);
}

TEST_F(Install, TerminatingDuringACopyAbortsItWithABeep) {
    Module().OnProgress = nullptr;
    Module().RunInstall([this](const std::string& text, int32_t) {
        if (text.rfind("Copy ", 0) == 0) Machine().Application.Terminate();
    });
    EXPECT_EQ(Machine().Application.BeepCount(), 1);
    // Whatever was copied before the stop is gone again, the install folder with it.
    EXPECT_FALSE(Exists(kInstalled));
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_FALSE(Exists(std::string(kGroup) + "\\Marlowen.lnk"));
}

TEST_F(Install, EmptyFilesAloneReportNoCopyProgress) {
    Module().SetupFolder = "C:\\Zeros";
    Write("C:\\Zeros\\a", "");
    Write("C:\\Zeros\\b\\c", "");
    Run();
    EXPECT_EQ(Module().TotalBytes, 0);
    EXPECT_TRUE(Machine().Files.FileExists(std::string(kInstalled) + "\\b\\c"));
    ASSERT_EQ(Reports_.size(), 3u);
    EXPECT_EQ(Reports_[1].first, "Registration...");
}

TEST_F(Install, AnInstallFolderInsideTheSetupFolderIsNotCopiedIntoItself) {
    // However it is spelt: a trailing separator, "/", doubled separators (letter case: see the path
    // tests; "." and ".." are refused, below).
    for (const char* folder : {"C:\\Setup\\Sub\\Target", "C:\\Setup\\Sub\\Target\\", "c:/Setup/Sub//Target//"}) {
        SCOPED_TRACE(folder);
        std::filesystem::remove_all(Host("C:\\Setup\\Sub\\Target"));
        Module().InstallFolder = folder;
        Run();
        EXPECT_TRUE(Read("C:\\Setup\\Sub\\Target\\Sub\\data.bin") == std::string(50000, 'd'));
        EXPECT_TRUE(Read("C:\\Setup\\Sub\\Target\\MarlowenApp.exe") == std::string(150000, 'm'));
        EXPECT_FALSE(Exists("C:\\Setup\\Sub\\Target\\Sub\\Target"));
        EXPECT_EQ(Module().TotalBytes, 500 + 150000 + 50000 + 9);
    }
}

TEST_F(Install, ASourceFolderThatCannotBeListedIsACopyErrorNamingIt) {
    std::filesystem::permissions(Host("C:\\Setup\\Sub"), std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::remove);
    const auto permissions = std::filesystem::status(Host("C:\\Setup\\Sub")).permissions();
    if ((permissions & std::filesystem::perms::owner_read) != std::filesystem::perms::none) {
        GTEST_SKIP() << "this host keeps a folder's read permission";
    }
    try {
        Run();
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Copy file error: C:\\Setup\\Sub");
    }
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_FALSE(Exists(std::string(kGroup) + "\\Marlowen.lnk"));
}

TEST_F(Install, AnInstallFolderWindowsWouldSpellOtherwiseIsRefusedBeforeAnythingIsMade) {
    // Windows drops a trailing dot or space of the last part only and resolves "..": the copy
    // would land beside the folder the person saw. Refused whole, nothing created anywhere.
    for (const char* folder : {"C:\\Apps\\Marlowen.", "C:\\Apps\\Marlowen \\x", "C:\\Apps\\x\\..\\Marlowen",
                               "C:\\Apps\\NUL\\Marlowen", "C:\\Apps\\data:stream"}) {
        SCOPED_TRACE(folder);
        Module().InstallFolder = folder;
        try {
            Run();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), std::string("Copy file error: ") + folder);
        }
        EXPECT_FALSE(std::filesystem::exists(Host("C:\\Apps")));
    }
}

// Records the folders listed.
class TListingRecorder : public TFilesOver {
public:
    using TFilesOver::TFilesOver;
    std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const override {
        Listed.push_back(folder);
        return TFilesOver::FindFiles(folder, mask);
    }
    mutable std::vector<std::string> Listed;
};

TEST_F(Install, ASetupStartedFromADriveRootListsTheRoot) {
    Write("D:\\Setup.exe", "s");
    Write("D:\\MarlowenApp.exe", "m");
    Write("D:\\Sub\\data.bin", "d");
    Machine().Application.SetExecutablePath("D:\\Setup.exe");
    TListingRecorder files(Machine().Files);
    TPlatform platform = PlatformWith(files);
    TSetupModule module(platform);
    EXPECT_EQ(module.SetupFolder, "D:\\") << "\"D:\" alone is the drive's current folder";
    module.RunInstall({});
    EXPECT_EQ(Read(std::string(kInstalled) + "\\MarlowenApp.exe"), "m");
    EXPECT_EQ(Read(std::string(kInstalled) + "\\Sub\\data.bin"), "d");
    EXPECT_EQ(module.TotalBytes, 3);
    for (const std::string& folder : files.Listed) {
        EXPECT_TRUE(folder == "\\\\?\\D:\\" || folder == "\\\\?\\D:\\Sub") << folder;
    }
    EXPECT_FALSE(files.Listed.empty());
}

}  // namespace
}  // namespace marlowen::testing
