#include <gtest/gtest.h>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "platform/shared/ShellLinkFile.h"
#include "setup/SystemIntegration.h"

namespace marlowen::testing {
namespace {

using SystemIntegration = TSetupFixture;

TEST_F(SystemIntegration, SpecialFoldersReadTheirRegistryValuesUnchanged) {
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::CommonDesktop), "C:\\Users\\Public\\Desktop");
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::CommonPrograms),
              "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::ProgramFiles), "C:\\Program Files");
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::AppData), "C:\\Users\\user\\AppData\\Roaming");
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::Personal), "C:\\Users\\user\\Documents");
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::Startup),
              "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");

    const std::string temp = GetSpecialFolder(Platform(), SpecialFolder::Temporary);
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');

    // A value that is missing reads empty; a key that is missing raises.
    Machine().Registry.OpenKey(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion", RegistryAccess::ReadWrite, false)
        ->DeleteValue("ProgramFilesDir");
    EXPECT_EQ(GetSpecialFolder(Platform(), SpecialFolder::ProgramFiles), "");
    Machine().Registry.DeleteKey(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    try {
        GetSpecialFolder(Platform(), SpecialFolder::AppData);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Невозможно получить запись из реестра Windows");
    }
}

TEST_F(SystemIntegration, AdministratorIsWhoMayWriteTheLocalMachine) {
    EXPECT_TRUE(IsAdministrator(Machine().Registry));
    Machine().Registry.SetLocalMachineWritable(false);
    EXPECT_FALSE(IsAdministrator(Machine().Registry));
}

TEST_F(SystemIntegration, UninstallInfoIsWrittenReadAndDeleted) {
    WriteUninstallInfo(Machine().Registry, "Marlowen", "D:\\Apps\\M", "D:\\Apps\\M\\MarlowenApp.exe", "C:\\Group\\M",
                       "D:\\Apps\\M\\Setup.exe /uninstall", "Marlowen");
    EXPECT_EQ(String(HKLM, kUninstallKey, ""), "D:\\Apps\\M\\MarlowenApp.exe");
    EXPECT_EQ(String(HKLM, kUninstallKey, "DisplayName"), "Marlowen");
    EXPECT_EQ(String(HKLM, kUninstallKey, "UninstallString"), "D:\\Apps\\M\\Setup.exe /uninstall");
    EXPECT_EQ(String(HKLM, kUninstallKey, "Program group"), "C:\\Group\\M");
    EXPECT_EQ(String(HKLM, kUninstallKey, "Install folder"), "D:\\Apps\\M");
    EXPECT_EQ(Machine().Registry.Find(HKLM, kUninstallKey)->Values.size(), 5u);
    EXPECT_EQ(String(HKLM, kAppPathsKey, ""), "D:\\Apps\\M\\MarlowenApp.exe");
    EXPECT_EQ(String(HKLM, kAppPathsKey, "Path"), "D:\\Apps\\M\\");
    EXPECT_EQ(Machine().Registry.Find(HKLM, kAppPathsKey)->Values.size(), 2u);

    TUninstallInfo info;
    ASSERT_TRUE(ReadUninstallInfo(Machine().Registry, "Marlowen", info));
    EXPECT_EQ(info.DisplayName, "Marlowen");
    EXPECT_EQ(info.UninstallString, "D:\\Apps\\M\\Setup.exe /uninstall");
    EXPECT_EQ(info.ProgramGroup, "C:\\Group\\M");
    EXPECT_EQ(info.InstallFolder, "D:\\Apps\\M");
    EXPECT_EQ(info.DefaultValue, "D:\\Apps\\M\\MarlowenApp.exe");

    DeleteUninstallInfo(Machine().Registry, "Marlowen");
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kAppPathsKey));

    // Without an entry: not found, the caller's folder kept, the rest emptied; deleting is harmless.
    info.InstallFolder = "E:\\Kept";
    EXPECT_FALSE(ReadUninstallInfo(Machine().Registry, "Marlowen", info));
    EXPECT_EQ(info.InstallFolder, "E:\\Kept");
    EXPECT_EQ(info.DisplayName, "");
    EXPECT_EQ(info.DefaultValue, "");
    EXPECT_NO_THROW(DeleteUninstallInfo(Machine().Registry, "Marlowen"));
}

TEST_F(SystemIntegration, WritingUninstallInfoWithoutRightsRaises) {
    Machine().Registry.SetLocalMachineWritable(false);
    try {
        WriteUninstallInfo(Machine().Registry, "Marlowen", "D:\\M", "D:\\M\\MarlowenApp.exe", "C:\\G", "x", "Marlowen");
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Нет доступа к реестру Windows");
    }
}

TEST_F(SystemIntegration, DeleteFolderTreeLeavesHiddenFilesAndTheirFolders) {
    Write("C:\\Tree\\a.txt", "a");
    Write("C:\\Tree\\Sub\\b.txt", "b");
    Write("C:\\Tree\\Sub\\Deeper\\c.txt", "c");
    Write("C:\\Tree\\Keep\\.hidden", "h");
    Write("C:\\Tree\\Keep\\gone.txt", "g");
    DeleteFolderTree(Machine().Files, "C:\\Tree");
    EXPECT_FALSE(Exists("C:\\Tree\\a.txt"));
    EXPECT_FALSE(Exists("C:\\Tree\\Sub"));
    EXPECT_FALSE(Exists("C:\\Tree\\Keep\\gone.txt"));
    EXPECT_TRUE(Exists("C:\\Tree\\Keep\\.hidden"));

    // A locked file stays too, quietly; a missing folder is no error.
    Write("C:\\Busy\\in-use.exe", "x");
    Machine().Files.Lock("C:\\Busy\\in-use.exe");
    EXPECT_NO_THROW(DeleteFolderTree(Machine().Files, "C:\\Busy"));
    EXPECT_TRUE(Exists("C:\\Busy\\in-use.exe"));
    EXPECT_NO_THROW(DeleteFolderTree(Machine().Files, "C:\\Nowhere"));
}

// Between the listing and the use of each entry, someone turns a folder into a link to a folder
// outside the tree (or moves a held folder away and puts a link in its place): what the link leads
// to stays whole, and so does everything the link is swapped for.
TEST_F(SystemIntegration, DeleteFolderTreeNeverFollowsAFolderSwappedForALink) {
    namespace fs = std::filesystem;
    Write("C:\\Probe\\x", "");
    if (!HostLink("C:\\Probe", "C:\\ProbeLink")) GTEST_SKIP() << "this host makes no symbolic links";
    for (const char* moment : {"before its own use", "while it is being emptied"}) {
        SCOPED_TRACE(moment);
        const bool early = moment[0] == 'b';
        Write("C:\\Victim\\keep.txt", "keep");
        Write("C:\\Victim\\Deep\\keep.txt", "keep");
        Write("C:\\Tree\\a.txt", "a");
        Write("C:\\Tree\\Sub\\b.txt", "b");
        Write("C:\\Tree\\Sub\\c.txt", "c");
        bool swapped = false;
        Machine().Files.BeforeHeldEntryUse = [&](const fs::path& host) {
            const bool trigger = early ? host == Host("C:\\Tree\\Sub") : host == Host("C:\\Tree\\Sub\\c.txt");
            if (swapped || !trigger) return;
            swapped = true;
            fs::rename(Host("C:\\Tree\\Sub"), Host("C:\\Moved"));
            HostLink("C:\\Victim", "C:\\Tree\\Sub");
        };
        DeleteFolderTree(Machine().Files, "C:\\Tree");
        Machine().Files.BeforeHeldEntryUse = nullptr;
        EXPECT_TRUE(swapped);
        EXPECT_EQ(Read("C:\\Victim\\keep.txt"), "keep");
        EXPECT_EQ(Read("C:\\Victim\\Deep\\keep.txt"), "keep");
        EXPECT_FALSE(Exists("C:\\Tree\\a.txt"));
        fs::remove_all(Host("C:\\Tree"));
        fs::remove_all(Host("C:\\Moved"));
    }
}

TEST_F(SystemIntegration, CopyWithProgressReportsAndCanBeCancelled) {
    const std::string big(3 * THeadlessFileSystem::kCopyChunk + 10, 'x');
    Write("C:\\From\\big.bin", big);
    std::vector<int64_t> done;
    EXPECT_TRUE(CopyFileWithProgress(Machine().Files, "C:\\From\\big.bin", "C:\\From\\copy.bin",
                                     [&](bool&, int64_t size, int64_t bytes) {
                                         EXPECT_EQ(size, static_cast<int64_t>(big.size()));
                                         done.push_back(bytes);
                                     }));
    EXPECT_EQ(Read("C:\\From\\copy.bin"), big);
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(done.back(), static_cast<int64_t>(big.size()));

    int calls = 0;
    EXPECT_FALSE(CopyFileWithProgress(Machine().Files, "C:\\From\\big.bin", "C:\\From\\cancelled.bin",
                                      [&](bool& cancel, int64_t, int64_t) {
                                          ++calls;
                                          cancel = true;
                                      }));
    EXPECT_EQ(calls, 1);
    EXPECT_NE(Read("C:\\From\\cancelled.bin"), big);
}

TEST_F(SystemIntegration, ShellLinkCreatesTheTargetFolderAndSetsNoIconBelowZero) {
    CreateShellLink(Platform(), "C:\\Users\\Public\\Desktop\\M.lnk", "D:\\New\\Folder\\App.exe", "D:\\New\\Folder", -1,
                    "", "Marlowen");
    EXPECT_TRUE(Machine().Files.FolderExists("D:\\New\\Folder"));
    const auto bytes = Machine().Files.ReadFile("C:\\Users\\Public\\Desktop\\M.lnk");
    const TShellLinkData link = ReadShellLinkFile(bytes);
    EXPECT_EQ(link.Target, "D:\\New\\Folder\\App.exe");
    EXPECT_EQ(link.WorkingFolder, "D:\\New\\Folder");
    EXPECT_EQ(link.Description, "Marlowen");
    EXPECT_EQ(link.Arguments, "");
    EXPECT_LT(link.IconIndex, 0);

    // The link's own folder is not made.
    EXPECT_THROW(CreateShellLink(Platform(), "C:\\No\\Such\\M.lnk", "D:\\App.exe", "D:\\", -1, "", "M"), Exception);
}

}  // namespace
}  // namespace marlowen::testing
