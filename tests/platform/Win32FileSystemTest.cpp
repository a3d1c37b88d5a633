#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/Exception.h"
#include "platform/win32/Win32FileSystem.h"

namespace marlowen {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

const TFileEntry* Find(const std::vector<TFileEntry>& entries, const std::string& name) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const TFileEntry& entry) { return entry.Name == name; });
    return found == entries.end() ? nullptr : &*found;
}

// Each test works in its own folder under the temporary folder and removes it afterwards.
class Win32FileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Files.TempFolder() + "MarlowenFsTest-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(Root);
        Files.CreateFolder(Root);
    }
    void TearDown() override { RemoveTree(Root); }

    void RemoveTree(const std::string& folder) {
        for (const TFileEntry& entry : Files.FindFiles(folder, "*")) {
            const std::string path = folder + "\\" + entry.Name;
            Files.SetAttributes(path, entry.Attributes & ~(FileAttribute::ReadOnly | FileAttribute::Hidden));
            if (entry.Attributes & FileAttribute::Directory) {
                RemoveTree(path);
            } else {
                Files.DeleteFile(path);
            }
        }
        Files.RemoveFolder(folder);
    }

    TWin32FileSystem Files;
    std::string Root;
};

TEST_F(Win32FileSystem, TempFolderEndsWithABackslashAndExists) {
    const std::string temp = Files.TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(Files.FolderExists(temp));
}

TEST_F(Win32FileSystem, ListingHasEveryEntryWithAttributesAndSizes) {
    Files.WriteFile(Root + "\\a.txt", Bytes("12345"));
    Files.WriteFile(Root + "\\hidden.dat", Bytes("x"));
    ASSERT_TRUE(Files.SetAttributes(Root + "\\hidden.dat", FileAttribute::Hidden));
    Files.CreateFolder(Root + "\\Sub");

    const auto entries = Files.FindFiles(Root, "*");
    ASSERT_EQ(entries.size(), 3u);  // no "." and ".."
    const TFileEntry* file = Find(entries, "a.txt");
    const TFileEntry* hidden = Find(entries, "hidden.dat");
    const TFileEntry* folder = Find(entries, "Sub");
    ASSERT_TRUE(file && hidden && folder);
    EXPECT_EQ(file->Size, 5);
    EXPECT_FALSE(PassesFindFilter(hidden->Attributes, 0x30));
    EXPECT_TRUE(PassesFindFilter(file->Attributes, 0x30));
    EXPECT_NE(folder->Attributes & FileAttribute::Directory, 0u);
    EXPECT_EQ(folder->Size, 0);

    const auto masked = Files.FindFiles(Root + "\\", "*.TXT");
    ASSERT_EQ(masked.size(), 1u);
    EXPECT_EQ(masked[0].Name, "a.txt");
    EXPECT_TRUE(Files.FindFiles(Root + "\\Missing", "*").empty());
}

TEST_F(Win32FileSystem, WriteReplacesWholeAndLeavesNoTemporaryFile) {
    const std::string path = Root + "\\data.bin";
    Files.WriteFile(path, Bytes("a long first content"));
    Files.WriteFile(path, Bytes("short"));
    EXPECT_EQ(Files.ReadFile(path), Bytes("short"));
    Files.WriteFile(path, {});
    EXPECT_TRUE(Files.ReadFile(path).empty());
    EXPECT_EQ(Files.FindFiles(Root, "*").size(), 1u);
}

TEST_F(Win32FileSystem, FailedWriteKeepsTheOldFile) {
    const std::string path = Root + "\\locked.txt";
    Files.WriteFile(path, Bytes("old"));
    ASSERT_TRUE(Files.SetAttributes(path, FileAttribute::ReadOnly));
    EXPECT_THROW(Files.WriteFile(path, Bytes("new")), Exception);
    EXPECT_EQ(Files.ReadFile(path), Bytes("old"));
    EXPECT_EQ(Files.FindFiles(Root, "*").size(), 1u);
    EXPECT_FALSE(Files.DeleteFile(path));  // read-only files stay
    ASSERT_TRUE(Files.SetAttributes(path, FileAttribute::Normal));
    EXPECT_TRUE(Files.DeleteFile(path));
    EXPECT_FALSE(Files.DeleteFile(path));
}

TEST_F(Win32FileSystem, MissingFilesRaiseWithTheirPath) {
    try {
        Files.ReadFile(Root + "\\none.txt");
        FAIL() << "a missing file was read";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find("none.txt"), std::string::npos) << error.Message();
    }
    EXPECT_FALSE(Files.GetAttributes(Root + "\\none.txt").has_value());
    EXPECT_FALSE(Files.FileExists(Root + "\\none.txt"));
    EXPECT_FALSE(Files.FileExists(Root));
    EXPECT_TRUE(Files.FolderExists(Root));
    EXPECT_FALSE(Files.FileExists(""));
}

TEST_F(Win32FileSystem, PathsLongerThanMaxPathAndDoubledSeparatorsWork) {
    std::string folder = Root;
    while (folder.size() < 300) folder += "\\Длинная папка 0123456789";
    Files.CreateFolder(folder);
    EXPECT_TRUE(Files.FolderExists(folder));
    Files.CreateFolder(folder + "\\");  // an existing folder is fine

    const std::string file = folder + "\\\\файл.txt";  // "folder\" + "\" + name
    Files.WriteFile(file, Bytes("deep"));
    EXPECT_TRUE(Files.FileExists(folder + "/файл.txt"));
    EXPECT_EQ(Files.ReadFile(file), Bytes("deep"));
    const auto entries = Files.FindFiles(folder, "*");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Name, "файл.txt");
    EXPECT_TRUE(Files.CopyFile(file, folder + "\\copy.txt", {}));
    EXPECT_TRUE(Files.DeleteFile(file));
    EXPECT_TRUE(Files.DeleteFile(folder + "\\copy.txt"));
    EXPECT_TRUE(Files.RemoveFolder(folder));
    EXPECT_FALSE(Files.FolderExists(folder));
}

TEST_F(Win32FileSystem, CreateFolderRefusesAFileInTheWay) {
    Files.WriteFile(Root + "\\file", Bytes("x"));
    EXPECT_THROW(Files.CreateFolder(Root + "\\file"), Exception);
    EXPECT_THROW(Files.CreateFolder(Root + "\\file\\sub"), Exception);
    EXPECT_FALSE(Files.RemoveFolder(Root + "\\file"));
    Files.CreateFolder(Root + "\\a\\b");
    EXPECT_FALSE(Files.RemoveFolder(Root + "\\a"));  // not empty
}

TEST_F(Win32FileSystem, CopyReportsProgressAndReplaces) {
    std::vector<uint8_t> content(300000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7);
    Files.WriteFile(Root + "\\source.bin", content);
    Files.WriteFile(Root + "\\target.bin", Bytes("old"));
    int64_t lastDone = -1, reportedSize = 0;
    bool ordered = true;
    EXPECT_TRUE(Files.CopyFile(Root + "\\source.bin", Root + "\\target.bin", [&](int64_t size, int64_t done) {
        ordered = ordered && done >= lastDone;
        lastDone = done;
        reportedSize = size;
        return false;
    }));
    EXPECT_TRUE(ordered);
    EXPECT_EQ(reportedSize, 300000);
    EXPECT_EQ(lastDone, 300000);
    EXPECT_EQ(Files.ReadFile(Root + "\\target.bin"), content);
    EXPECT_FALSE(Files.CopyFile(Root + "\\missing.bin", Root + "\\other.bin", {}));
    EXPECT_FALSE(Files.FileExists(Root + "\\other.bin"));
}

TEST_F(Win32FileSystem, CancelledCopyLeavesNoDestination) {
    Files.WriteFile(Root + "\\source.bin", std::vector<uint8_t>(300000, 1));
    int calls = 0;
    EXPECT_FALSE(Files.CopyFile(Root + "\\source.bin", Root + "\\target.bin", [&](int64_t, int64_t) {
        ++calls;
        return true;
    }));
    EXPECT_GE(calls, 1);
    EXPECT_FALSE(Files.FileExists(Root + "\\target.bin"));
    EXPECT_TRUE(Files.FileExists(Root + "\\source.bin"));
}

TEST_F(Win32FileSystem, AnErrorInTheProgressRoutineCancelsAndReachesTheCaller) {
    Files.WriteFile(Root + "\\source.bin", std::vector<uint8_t>(1000, 1));
    EXPECT_THROW(Files.CopyFile(Root + "\\source.bin", Root + "\\target.bin",
                                [](int64_t, int64_t) -> bool { throw Exception("stop"); }),
                 Exception);
    EXPECT_FALSE(Files.FileExists(Root + "\\target.bin"));
}

TEST(Win32LongPath, AbsoluteUncAndRelativeForms) {
    EXPECT_EQ(LongPath("C:\\a\\\\b/c"), L"\\\\?\\C:\\a\\b\\c");
    EXPECT_EQ(LongPath("C:\\a\\..\\b\\.\\c"), L"\\\\?\\C:\\b\\c");
    EXPECT_EQ(LongPath("\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(LongPath("\\\\?\\C:\\kept"), L"\\\\?\\C:\\kept");
    EXPECT_EQ(LongPath(""), L"");
    const std::wstring relative = LongPath("relative.txt");
    EXPECT_EQ(relative.rfind(L"\\\\?\\", 0), 0u);
    EXPECT_EQ(relative.substr(relative.size() - 13), L"\\relative.txt");
}

}  // namespace
}  // namespace marlowen
