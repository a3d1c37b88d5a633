#include <gtest/gtest.h>

#include "platform/win32/Win32Clipboard.h"

namespace marlowen {
namespace {

// The text goes through the system's Unicode clipboard and back unchanged, Cyrillic included;
// a second clipboard object (another owner window) sees the same text.
TEST(Win32Clipboard, TextSurvivesTheSystemClipboard) {
    TWin32Clipboard clipboard;
    ASSERT_TRUE(clipboard.SetText("Папка C:\\Program Files"));
    EXPECT_EQ(clipboard.GetText(), "Папка C:\\Program Files");
    TWin32Clipboard other;
    EXPECT_EQ(other.GetText(), "Папка C:\\Program Files");
    ASSERT_TRUE(other.SetText(""));
    EXPECT_EQ(clipboard.GetText(), "");
}

}  // namespace
}  // namespace marlowen
