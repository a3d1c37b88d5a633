// What only the headless file system does; what every backend does is in PlatformContractTest.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/Exception.h"
#include "platform/headless/HeadlessFileSystem.h"

namespace marlowen {
namespace {

namespace fs = std::filesystem;

class HeadlessFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        Root_ = fs::temp_directory_path() /
                ("marlowen-fs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Root_);
        fs::create_directories(Root_ / "C" / "Setup" / "skins");
        Write("C/Setup/b.fs", "bb");
        Write("C/Setup/a.FS", "a");
        Write("C/Setup/.hidden.fs", "");
        Write("C/Setup/Setup.exe", "MZ");
    }
    void TearDown() override { fs::remove_all(Root_); }
    void Write(const std::string& relative, const std::string& bytes) {
        std::ofstream(Root_ / fs::u8path(relative), std::ios::binary) << bytes;
    }

    fs::path Root_;
};

TEST_F(HeadlessFileSystem, MapsWindowsPathsUnderTheRoot) {
    THeadlessFileSystem files(Root_);
    EXPECT_EQ(files.HostPath("C:\\Setup\\b.fs"), Root_ / "C" / "Setup" / "b.fs");
    EXPECT_EQ(files.HostPath("c:/Setup\\skins\\"), Root_ / "C" / "Setup" / "skins");
    EXPECT_EQ(files.HostPath("C:\\..\\..\\etc\\passwd"), Root_ / "etc" / "passwd");  // never above the root
    EXPECT_EQ(files.HostPath("C:\\Setup\\.\\skins\\..\\a.FS"), Root_ / "C" / "Setup" / "a.FS");
    const auto bytes = files.ReadFile("c:\\setup\\..\\Setup\\b.fs");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "bb");
}

TEST_F(HeadlessFileSystem, DotNamesAreHiddenForGood) {
    THeadlessFileSystem files(Root_);
    const auto entries = files.FindFiles("C:\\Setup", "*.fs");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Name, ".hidden.fs");
    EXPECT_EQ(entries[0].Attributes, FileAttribute::Hidden | FileAttribute::Archive);
    EXPECT_FALSE(files.SetAttributes("C:\\Setup\\.hidden.fs", FileAttribute::Archive));
    EXPECT_TRUE(files.SetAttributes("C:\\Setup\\.hidden.fs", FileAttribute::Hidden));
    // Set explicitly, the attributes are exactly the bits given.
    ASSERT_TRUE(files.SetAttributes("C:\\Setup\\b.fs", FileAttribute::Normal));
    EXPECT_EQ(files.GetAttributes("C:\\Setup\\b.fs"), FileAttribute::Normal);
}

TEST_F(HeadlessFileSystem, ReadOnlyAndHiddenFoldersKeepTakingFiles) {
    THeadlessFileSystem files(Root_);
    ASSERT_TRUE(files.SetAttributes("C:\\Setup\\skins", FileAttribute::ReadOnly | FileAttribute::Hidden));
    EXPECT_EQ(files.GetAttributes("C:\\Setup\\skins"),
              FileAttribute::Directory | FileAttribute::ReadOnly | FileAttribute::Hidden);
    files.WriteFile("C:\\Setup\\skins\\x.fs", {'x'});
    EXPECT_TRUE(files.DeleteFile("C:\\Setup\\skins\\x.fs"));
    EXPECT_FALSE(files.RemoveFolder("C:\\Setup\\skins"));  // Windows keeps a read-only folder
    std::vector<std::string> listed;
    for (const auto& entry : files.FindFiles("C:\\Setup", "*")) {
        if (PassesFindFilter(entry.Attributes, FileAttribute::Directory | FileAttribute::Archive)) {
            listed.push_back(entry.Name);
        }
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"a.FS", "b.fs", "Setup.exe"}));
}

TEST_F(HeadlessFileSystem, LocksUntilUnlocked) {
    THeadlessFileSystem files(Root_);
    files.Lock("C:\\Setup\\Setup.exe");
    EXPECT_TRUE(files.IsLocked("c:\\setup\\..\\Setup\\Setup.exe"));
    EXPECT_FALSE(files.DeleteFile("C:\\Setup\\Setup.exe"));
    files.Unlock("C:\\Setup\\Setup.exe");
    EXPECT_FALSE(files.IsLocked("C:\\Setup\\Setup.exe"));
    EXPECT_TRUE(files.DeleteFile("C:\\Setup\\Setup.exe"));
}

TEST_F(HeadlessFileSystem, CopiesInChunksWithProgress) {
    THeadlessFileSystem files(Root_);
    const int64_t size = 2 * THeadlessFileSystem::kCopyChunk + 5;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    files.WriteFile("C:\\Setup\\big.bin", bytes);

    std::vector<std::pair<int64_t, int64_t>> calls;
    const auto record = [&calls](int64_t total, int64_t done) {
        calls.emplace_back(total, done);
        return false;
    };
    ASSERT_TRUE(files.CopyFile("C:\\Setup\\big.bin", "C:\\Setup\\skins\\big.bin", record));
    EXPECT_EQ(files.ReadFile("C:\\Setup\\skins\\big.bin"), bytes);
    const int64_t chunk = THeadlessFileSystem::kCopyChunk;
    EXPECT_EQ(calls, (std::vector<std::pair<int64_t, int64_t>>{{size, 0}, {size, chunk}, {size, 2 * chunk}, {size, size}}));

    calls.clear();
    ASSERT_TRUE(files.CopyFile("C:\\Setup\\.hidden.fs", "C:\\Setup\\skins\\e.fs", record));
    EXPECT_EQ(calls, (std::vector<std::pair<int64_t, int64_t>>{{0, 0}}));

    // Cancelled after the first piece: the partial destination goes, even one that existed.
    int progressCalls = 0;
    EXPECT_FALSE(files.CopyFile("C:\\Setup\\big.bin", "C:\\Setup\\skins\\e.fs",
                                [&progressCalls](int64_t, int64_t) { return ++progressCalls == 2; }));
    EXPECT_FALSE(files.FileExists("C:\\Setup\\skins\\e.fs"));
}

TEST_F(HeadlessFileSystem, TempFolderExistsOnceAskedFor) {
    THeadlessFileSystem files(Root_);
    EXPECT_FALSE(files.FolderExists("C:\\Temp"));
    const std::string temp = files.TempFolder();
    EXPECT_EQ(temp, "C:\\Temp\\");
    EXPECT_TRUE(files.FolderExists(temp));
}

TEST_F(HeadlessFileSystem, HostLinksAreLinksThatGoAsLinks) {
    fs::create_directories(Root_ / "C" / "Victim");
    Write("C/Victim/keep.txt", "keep");
    std::error_code error;
    fs::create_directory_symlink(Root_ / "C" / "Victim", Root_ / "C" / "Setup" / "junction", error);
    fs::create_symlink(Root_ / "C" / "Victim" / "keep.txt", Root_ / "C" / "Setup" / "file.lnk", error);
    fs::create_symlink(Root_ / "C" / "Gone", Root_ / "C" / "Setup" / "dangling", error);
    if (!fs::is_symlink(Root_ / "C" / "Setup" / "junction")) GTEST_SKIP() << "this host makes no symbolic links";
    THeadlessFileSystem files(Root_);

    const auto entries = files.FindFiles("C:\\Setup", "*");
    const auto attributesOf = [&entries](const std::string& name) {
        for (const TFileEntry& entry : entries) {
            if (entry.Name == name) return entry.Attributes;
        }
        return 0u;
    };
    EXPECT_EQ(attributesOf("junction"), FileAttribute::Directory | FileAttribute::ReparsePoint);
    EXPECT_TRUE(attributesOf("file.lnk") & FileAttribute::ReparsePoint);
    EXPECT_FALSE(attributesOf("file.lnk") & FileAttribute::Directory);
    EXPECT_TRUE(attributesOf("dangling") & FileAttribute::ReparsePoint);
    EXPECT_EQ(files.GetAttributes("C:\\Setup\\junction"), FileAttribute::Directory | FileAttribute::ReparsePoint);
    EXPECT_EQ(files.GetAttributes("C:\\Victim\\keep.txt"), FileAttribute::Archive) << "the target is no link";
    EXPECT_TRUE(files.GetAttributes("C:\\Setup\\dangling").has_value());
    EXPECT_TRUE(files.FileExists("C:\\Setup\\junction\\keep.txt")) << "reads go through a link";

    EXPECT_FALSE(files.DeleteFile("C:\\Setup\\junction")) << "a folder's link is no file";
    EXPECT_TRUE(files.RemoveFolder("C:\\Setup\\junction")) << "however full the folder it leads to";
    EXPECT_TRUE(files.DeleteFile("C:\\Setup\\file.lnk"));
    EXPECT_TRUE(files.DeleteFile("C:\\Setup\\dangling"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Root_ / "C" / "Setup" / "junction")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Root_ / "C" / "Setup" / "file.lnk")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Root_ / "C" / "Setup" / "dangling")));
    EXPECT_EQ(files.ReadFile("C:\\Victim\\keep.txt").size(), 4u);
}

TEST_F(HeadlessFileSystem, AFolderThatCannotBeListedRaisesInsteadOfLookingEmpty) {
    THeadlessFileSystem files(Root_);
    fs::permissions(Root_ / "C" / "Setup" / "skins", fs::perms::owner_read | fs::perms::owner_exec,
                    fs::perm_options::remove);
    if ((fs::status(Root_ / "C" / "Setup" / "skins").permissions() & fs::perms::owner_read) != fs::perms::none) {
        GTEST_SKIP() << "this host keeps a folder's read permission";
    }
    try {
        files.FindFiles("C:\\Setup\\skins", "*");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find("\"C:\\Setup\\skins\""), std::string::npos) << error.Message();
    }
    EXPECT_TRUE(files.FolderExists("C:\\Setup\\skins"));
    EXPECT_TRUE(files.FindFiles("C:\\Setup\\Setup.exe", "*").empty()) << "a file lists nothing";
    fs::permissions(Root_ / "C" / "Setup" / "skins", fs::perms::owner_all, fs::perm_options::add);
    EXPECT_TRUE(files.FindFiles("C:\\Setup\\skins", "*").empty());
}

TEST(MaskMatching, WildcardsAndCase) {
    EXPECT_TRUE(MatchesMask("Styles.XML", "*.xml"));
    EXPECT_TRUE(MatchesMask("a.fs", "?.fs"));
    EXPECT_FALSE(MatchesMask("ab.fs", "?.fs"));
    EXPECT_TRUE(MatchesMask("anything", "*"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.*"));
    // As on Windows, "X.*" also takes names without an extension.
    EXPECT_TRUE(MatchesMask("Sub", "*.*"));
    EXPECT_TRUE(MatchesMask("readme", "read*.*"));
    EXPECT_FALSE(MatchesMask("readme", "x*.*"));
    EXPECT_FALSE(MatchesMask("a.fsx", "*.fs"));
    EXPECT_TRUE(MatchesMask("aaab", "*a*b"));
}

}  // namespace
}  // namespace marlowen
