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
        Root_ = fs::temp_directory_path() / ("marlowen-fs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
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

TEST_F(HeadlessFileSystem, ListsMatchingEntriesSortedWithAttributes) {
    THeadlessFileSystem files(Root_);
    const auto entries = files.FindFiles("C:\\Setup", "*.fs");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Name, ".hidden.fs");
    EXPECT_TRUE(entries[0].Attributes & FileAttribute::Hidden);
    EXPECT_EQ(entries[1].Name, "a.FS");  // the mask ignores letter case
    EXPECT_EQ(entries[2].Size, 2);
    EXPECT_EQ(files.FindFiles("C:\\Setup", "*")[4].Attributes & FileAttribute::Directory, FileAttribute::Directory);
    EXPECT_TRUE(files.FindFiles("C:\\Nowhere", "*").empty());
}

TEST_F(HeadlessFileSystem, ReadsWholeFilesByWindowsPath) {
    THeadlessFileSystem files(Root_);
    EXPECT_EQ(files.HostPath("C:\\Setup\\b.fs"), Root_ / "C" / "Setup" / "b.fs");
    const auto bytes = files.ReadFile("C:\\Setup\\b.fs");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "bb");
    EXPECT_TRUE(files.FileExists("C:\\Setup\\Setup.exe"));
    EXPECT_FALSE(files.FileExists("C:\\Setup\\skins"));
    EXPECT_THROW(files.ReadFile("C:\\Setup\\none.fs"), Exception);
}

TEST(MaskMatching, WildcardsAndCase) {
    EXPECT_TRUE(MatchesMask("Styles.XML", "*.xml"));
    EXPECT_TRUE(MatchesMask("a.fs", "?.fs"));
    EXPECT_FALSE(MatchesMask("ab.fs", "?.fs"));
    EXPECT_TRUE(MatchesMask("anything", "*"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.*"));
    EXPECT_FALSE(MatchesMask("a.fsx", "*.fs"));
    EXPECT_TRUE(MatchesMask("aaab", "*a*b"));
}

}  // namespace
}  // namespace marlowen
