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
    EXPECT_EQ(ExtractFileDir("C:\\Setup.exe"), "C:");
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

}  // namespace
}  // namespace marlowen
