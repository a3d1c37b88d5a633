#include <gtest/gtest.h>

#include "core/FilePaths.h"

namespace marlowen {
namespace {

TEST(FilePaths, SplitAtTheLastBackslashOrDriveColon) {
    EXPECT_EQ(ExtractFileName("C:\\Program Files\\Marlowen\\Setup.exe"), "Setup.exe");
    EXPECT_EQ(ExtractFilePath("C:\\Program Files\\Marlowen\\Setup.exe"), "C:\\Program Files\\Marlowen\\");
    EXPECT_EQ(ExtractFileDir("C:\\Program Files\\Marlowen\\Setup.exe"), "C:\\Program Files\\Marlowen");
    EXPECT_EQ(ExtractFileName("C:x.txt"), "x.txt");
    EXPECT_EQ(ExtractFilePath("C:x.txt"), "C:");
    // A drive's root keeps its "\": "D:" alone is the drive's current folder.
    EXPECT_EQ(ExtractFileDir("D:\\Setup.exe"), "D:\\");
    EXPECT_EQ(ExtractFileDir("D:Setup.exe"), "D:");
    // A doubled separator (an empty part) keeps the one before it in the folder.
    EXPECT_EQ(ExtractFilePath("C:\\Marlowen\\\\readme.txt"), "C:\\Marlowen\\\\");
}

TEST(FilePaths, TitleIsTheNameWithoutItsExtension) {
    EXPECT_EQ(ExtractFileTitle("D:\\My.Tools\\fstool.exe"), "fstool");
    EXPECT_EQ(ExtractFileTitle("D:\\Tools\\plain"), "plain");
    EXPECT_EQ(ExtractFileTitle("C:\\Users\\.profile"), ".profile");
    EXPECT_EQ(ExtractFileTitle("archive.tar.gz"), "archive.tar");
}

TEST(FilePaths, APathWithoutAFolder) {
    EXPECT_EQ(ExtractFileName("Setup.exe"), "Setup.exe");
    EXPECT_EQ(ExtractFilePath("Setup.exe"), "");
    EXPECT_EQ(ExtractFileDir("Setup.exe"), "");
    EXPECT_EQ(ExtractFileName(""), "");
    EXPECT_EQ(ExtractFileDir("\\"), "\\");
}

TEST(FilePaths, JoinDoesNotDoubleTheFoldersSeparator) {
    EXPECT_EQ(JoinPath("D:\\", "Sub"), "D:\\Sub");
    EXPECT_EQ(JoinPath("C:\\Setup", "Sub"), "C:\\Setup\\Sub");
    EXPECT_EQ(JoinPath("C:\\Setup\\", "Sub"), "C:\\Setup\\Sub");
}

TEST(FilePaths, NormalFormResolvesEverySpellingOfAFolder) {
    const struct {
        const char* Path;
        const char* Normal;
    } cases[] = {
        {"C:\\Program Files\\Marlowen", "C:\\Program Files\\Marlowen"},
        {"C:\\Program Files\\Marlowen\\", "C:\\Program Files\\Marlowen"},
        {"C:/Program Files//Marlowen\\\\", "C:\\Program Files\\Marlowen"},
        {"C:\\.", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:\\Windows\\..", "C:\\"},
        {"C:\\..\\..\\Windows", "C:\\Windows"},
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
        {"C:\\...", "C:\\"},                   // dots only: Windows drops trailing dots
        {"C:\\Windows. \\System32", "C:\\Windows\\System32"},
        {"\\\\?\\C:\\x\\..", "C:\\"},
        {"\\\\.\\C:\\x", "C:\\x"},
        {"\\\\?\\UNC\\server\\share\\x", "\\\\server\\share\\x"},
        {"\\\\server\\share\\..\\x", "\\\\server\\share\\x"},
        {"\\x\\..\\..", "\\"},
        {"C:x\\..\\..\\y", "C:..\\y"},
        {"a\\..\\..\\b\\", "..\\b"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizePath(c.Path), c.Normal) << c.Path;
}

TEST(FilePaths, OnlyAFolderBelowADriveOrShareRootIsBelowRoot) {
    for (const char* path : {"", "C:", "C:\\", "C:\\.", "C:\\Windows\\..", "C:\\...", "C:\\\\", "D:Games",
                             "\\Games", "Relative\\Folder", "\\\\server\\share", "\\\\server\\share\\",
                             "\\\\server", "\\\\?\\C:\\", "\\\\?\\UNC\\server\\share", "\\\\..\\share\\x"}) {
        EXPECT_FALSE(IsBelowRoot(path)) << path;
    }
    for (const char* path : {"C:\\M", "D:\\Games\\..\\M", "\\\\server\\share\\M", "\\\\?\\C:\\M"}) {
        EXPECT_TRUE(IsBelowRoot(path)) << path;
    }
    EXPECT_TRUE(IsAbsolutePath("C:\\"));
    EXPECT_FALSE(IsAbsolutePath("C:"));
}

TEST(FilePaths, InsideComparesNormalisedPartsWithoutCase) {
    const std::string installed = "C:\\Program Files\\Marlowen";
    for (const char* path : {"C:\\Program Files\\Marlowen", "c:\\program files\\MARLOWEN\\",
                             "C:\\Program Files\\Marlowen\\bin", "C:\\Program Files\\Marlowen\\bin\\..\\data",
                             "C:/Program Files/Marlowen/x"}) {
        EXPECT_TRUE(IsPathInside(path, installed)) << path;
    }
    for (const char* path : {"C:\\Program Files", "C:\\Program Files\\MarlowenX", "C:\\Program Files\\Marlowen\\..\\x",
                             "C:\\Program Files\\Marlowen\\..\\..\\Windows\\System32", "D:\\Program Files\\Marlowen",
                             "Program Files\\Marlowen", "\\Program Files\\Marlowen", ""}) {
        EXPECT_FALSE(IsPathInside(path, installed)) << path;
    }
    EXPECT_FALSE(IsPathInside("C:\\x", "")) << "nothing is inside an empty folder";
    EXPECT_TRUE(IsPathInside("C:\\x", "C:\\"));
    EXPECT_TRUE(IsPathInside("\\\\Server\\Share\\x", "\\\\server\\share"));

    EXPECT_TRUE(SamePath("C:\\Setup\\Sub\\Target\\", "c:\\setup\\sub\\x\\..\\TARGET"));
    EXPECT_FALSE(SamePath("C:\\Setup\\Sub", "C:\\Setup\\Sub\\Target"));
}

TEST(FilePaths, AContainedPathCannotLeaveItsFolder) {
    for (const char* part : {"", "x.txt", "bin", "docs\\sub", "docs\\sub\\", "a/b", "..x", "x..", "name with spaces",
                             "Программы\\файл.txt", "CONFIG.sys", "COM10", "LPT"}) {
        EXPECT_TRUE(IsContainedPath(part)) << part;
    }
    for (const char* part : {"..", "..\\..\\Windows\\System32", "a\\..\\..\\b", "a/../../b", "x\\..", ".", "...",
                             ". .", "a\\ \\b", "\\Windows", "/etc", "\\\\server\\share\\x", "\\\\?\\C:\\x", "C:x",
                             "C:\\x", "file.txt:stream", "a*", "a?b", "a|b", "a<b", "a\"b", "a\tb", "NUL", "con.txt",
                             "sub\\Aux", "COM1", "lpt9.log", "CONOUT$"}) {
        EXPECT_FALSE(IsContainedPath(part)) << part;
    }
}

}  // namespace
}  // namespace marlowen
