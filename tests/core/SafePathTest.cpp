#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/SafePath.h"

namespace marlowen {
namespace {

using namespace std::string_literals;

TPathFault FaultOf(const std::string& path) {
    TPathFault fault = TPathFault::None;
    const auto safe = TSafePath::FromAbsolute(path, &fault);
    EXPECT_EQ(safe.has_value(), fault == TPathFault::None) << path;
    return fault;
}

TPathFault JoinFault(const std::string& relative) {
    TPathFault fault = TPathFault::None;
    const auto base = TSafePath::FromAbsolute("C:\\Program Files (x86)\\Marlowen");
    const auto joined = base->Join(relative, &fault);
    EXPECT_EQ(joined.has_value(), fault == TPathFault::None) << relative;
    return fault;
}

std::string TextOf(const std::string& path) {
    const auto safe = TSafePath::FromAbsolute(path);
    return safe ? safe->Text() : "(refused)";
}

TEST(SafePath, PlainSpellingsBecomeOneVerbatimCallString) {
    EXPECT_EQ(TextOf("C:\\Program Files (x86)\\Marlowen"), "\\\\?\\C:\\Program Files (x86)\\Marlowen");
    EXPECT_EQ(TextOf("C:/Program Files//Marlowen/"), "\\\\?\\C:\\Program Files\\Marlowen");
    EXPECT_EQ(TextOf("d:\\"), "\\\\?\\d:\\");
    EXPECT_EQ(TextOf("\\\\server\\share\\Apps\\Marlowen"), "\\\\?\\UNC\\server\\share\\Apps\\Marlowen");
    EXPECT_EQ(TextOf("C:\\Программы\\Marlowen"), "\\\\?\\C:\\Программы\\Marlowen");
    EXPECT_EQ(TextOf("C:\\a\\.hidden\\..x"), "\\\\?\\C:\\a\\.hidden\\..x") << "leading dots are part of a name";
    const auto safe = TSafePath::FromAbsolute("\\\\server\\share\\x");
    EXPECT_EQ(safe->Display(), "\\\\server\\share\\x");
    EXPECT_EQ(PlainSpelling(safe->Text()), "\\\\server\\share\\x");
    EXPECT_EQ(PlainSpelling("\\\\?\\C:\\x"), "C:\\x");
}

TEST(SafePath, EverySpellingWindowsReadsOtherwiseIsRefused) {
    const struct {
        std::string Path;
        TPathFault Fault;
    } cases[] = {
        {"", TPathFault::Empty},
        {"Marlowen", TPathFault::NotAbsolute},
        {"C:Marlowen", TPathFault::NotAbsolute},
        {"\\Program Files\\Marlowen", TPathFault::NotAbsolute},
        {"\\\\server", TPathFault::NotAbsolute},
        {"\\\\\\server\\share", TPathFault::NotAbsolute},
        // A NUL ends the string the system reads: what follows it must not count.
        {"C:\\victim\\keep.txt\0\\..\\..\\Program Files (x86)\\Marlowen"s, TPathFault::ControlCharacter},
        {"C:\\a\tb", TPathFault::ControlCharacter},
        {"C:\\a\x1F", TPathFault::ControlCharacter},
        {"\\\\?\\C:\\Program Files (x86)\\Marlowen.\\data", TPathFault::DevicePrefix},
        {"\\\\.\\C:\\x", TPathFault::DevicePrefix},
        {"//?/C:/x", TPathFault::DevicePrefix},
        {"\\??\\C:\\x", TPathFault::DevicePrefix},
        {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x", TPathFault::DevicePrefix},
        {"C:\\Marlowen\\data:evil", TPathFault::Stream},
        {"C:\\Marlowen\\data::$DATA", TPathFault::Stream},
        {"C:\\Program Files (x86)\\Marlowen \\data", TPathFault::TrailingDotOrSpace},
        {"C:\\Program Files (x86)\\Marlowen.\\data", TPathFault::TrailingDotOrSpace},
        {"C:\\Marlowen\\..\\Windows", TPathFault::TrailingDotOrSpace},
        {"C:\\Marlowen\\.\\data", TPathFault::TrailingDotOrSpace},
        {"C:\\Marlowen\\...", TPathFault::TrailingDotOrSpace},
        {"C:\\Marlowen\\a*", TPathFault::ReservedCharacter},
        {"C:\\Marlowen\\a?b", TPathFault::ReservedCharacter},
        {"C:\\Marlowen\\<x>", TPathFault::ReservedCharacter},
        {"C:\\Marlowen\\a\"b", TPathFault::ReservedCharacter},
        {"C:\\Marlowen\\a|b", TPathFault::ReservedCharacter},
        {"\\\\ser?ver\\share", TPathFault::ReservedCharacter},
    };
    for (const auto& c : cases) EXPECT_EQ(FaultOf(c.Path), c.Fault) << c.Path;
}

TEST(SafePath, DeviceNamesInEverySpellingAndTheirLookAlikes) {
    for (const char* device : {"CON", "con", "PRN", "AUX", "NUL", "nUl", "CONIN$", "conout$", "COM0", "COM9", "LPT0",
                               "lpt9", "COM¹", "COM²", "LPT³", "NUL.txt", "nul.tar.gz", "AUX .log", "CON  .x",
                               "COM1.", "NUL "}) {
        const TPathFault fault = FaultOf("C:\\Marlowen\\"s + device + "\\x");
        EXPECT_TRUE(fault == TPathFault::DeviceName || fault == TPathFault::TrailingDotOrSpace) << device;
        EXPECT_NE(JoinFault(device), TPathFault::None) << device;
    }
    for (const char* name : {"CONSOLE", "NULL", "COM", "COM10", "LPT⁴", "xNUL", "AUXILIARY.txt", "CON-1"}) {
        EXPECT_EQ(FaultOf("C:\\Marlowen\\"s + name), TPathFault::None) << name;
    }
}

TEST(SafePath, RecordPartsStayInsideTheirFolder) {
    const struct {
        std::string Relative;
        TPathFault Fault;
    } cases[] = {
        {"", TPathFault::None},
        {"data\\sub\\x.txt", TPathFault::None},
        {"data/sub//", TPathFault::None},
        {"..x", TPathFault::None},
        {"..", TPathFault::TrailingDotOrSpace},
        {"a\\..\\..\\Windows", TPathFault::TrailingDotOrSpace},
        {".", TPathFault::TrailingDotOrSpace},
        {"x. ", TPathFault::TrailingDotOrSpace},
        {"\\Windows", TPathFault::Rooted},
        {"/Windows", TPathFault::Rooted},
        {"\\\\server\\share", TPathFault::Rooted},
        {"C:\\Windows", TPathFault::Rooted},
        {"C:x", TPathFault::Rooted},
        {"data:stream", TPathFault::Stream},
        {"x:stream", TPathFault::Rooted},
        {"run\0\\..\\..\\x"s, TPathFault::ControlCharacter},
        {"LPT1", TPathFault::DeviceName},
    };
    for (const auto& c : cases) EXPECT_EQ(JoinFault(c.Relative), c.Fault) << c.Relative;
    const auto base = TSafePath::FromAbsolute("C:\\M");
    EXPECT_EQ(base->Join("a/b")->Text(), "\\\\?\\C:\\M\\a\\b");
    EXPECT_EQ(base->Join("")->Text(), base->Text());
}

TEST(SafePath, ListedNamesAreJoinedAsTheyAre) {
    const auto base = TSafePath::FromAbsolute("C:\\M");
    // Names only a verbatim path can reach: they are copied and deleted as themselves.
    for (const char* name : {"x.", "sub ", "NUL", "con.txt", " lead", "a b"}) {
        ASSERT_TRUE(base->Child(name).has_value()) << name;
        EXPECT_EQ(base->Child(name)->Text(), "\\\\?\\C:\\M\\"s + name);
    }
    for (const std::string& name : {""s, "."s, ".."s, "a\\b"s, "a/b"s, "a:b"s, "a\0b"s, "a*"s, "a?"s}) {
        EXPECT_FALSE(base->Child(name).has_value()) << name;
    }
}

TEST(SafePath, InsideMeansTheSameLeadingPartsAsciiCaseAside) {
    const auto folder = TSafePath::FromAbsolute("C:\\Program Files (x86)\\Marlowen");
    const auto inside = [&folder](const std::string& path) { return TSafePath::FromAbsolute(path)->IsInside(*folder); };
    EXPECT_TRUE(inside("c:\\PROGRAM FILES (X86)\\marlowen"));
    EXPECT_TRUE(inside("C:\\Program Files (x86)\\Marlowen\\data\\x"));
    EXPECT_FALSE(inside("C:\\Program Files (x86)\\Marlowen2"));
    EXPECT_FALSE(inside("C:\\Program Files (x86)"));
    EXPECT_FALSE(inside("D:\\Program Files (x86)\\Marlowen"));
    EXPECT_FALSE(inside("C:\\PROGRA~2\\Marlowen")) << "a short name is another spelling: refused, not guessed";
    EXPECT_FALSE(inside("\\\\localhost\\C$\\Program Files (x86)\\Marlowen"));
    const auto cyrillic = TSafePath::FromAbsolute("C:\\Программы");
    EXPECT_FALSE(TSafePath::FromAbsolute("C:\\ПРОГРАММЫ")->IsInside(*cyrillic)) << "only ASCII letters fold";
    const auto deep = TSafePath::FromAbsolute("c:\\program files (x86)\\marlowen\\data\\x");
    EXPECT_EQ(deep->PartsBelow(*folder), (std::vector<std::string>{"data", "x"}));
    EXPECT_EQ(deep->Ancestor(2).Text(), "\\\\?\\c:\\program files (x86)\\marlowen");
}

TEST(SafePath, MessagesShowControlCharactersInsteadOfEndingAtThem) {
    EXPECT_EQ(VisiblePath("C:\\keep.txt\0\\.."s), "C:\\keep.txt<NUL>\\..");
    EXPECT_EQ(VisiblePath("a\tb"), "a<U+0009>b");
}

// Whatever the guard accepts, its call string is one it accepts again unchanged, holds no part the
// system would read otherwise, and a joined path stays below its base.
TEST(SafePath, AcceptedPathsAreStableAndConfinedForGeneratedSpellings) {
    const std::vector<std::string> tokens = {
        "a", "Marlowen", "\\", "/", "\\\\", ".", "..", " ", ".txt", ":", "::$DATA", "NUL", "com1", "LPT¹", "CON ",
        "\0"s, "\t", "?", "*", "\\\\?\\", "\\\\.\\", "\\??\\", "C:", "x.", "~1", "ü", "\xFF", "\xE2\x80", "GLOBALROOT"};
    std::mt19937 random(20261209);
    const auto base = TSafePath::FromAbsolute("C:\\Program Files (x86)\\Marlowen");
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string spelling;
        const int count = 1 + static_cast<int>(random() % 7);
        for (int t = 0; t < count; ++t) spelling += tokens[random() % tokens.size()];
        const auto joined = base->Join(spelling);
        if (!joined) continue;
        ++accepted;
        ASSERT_TRUE(joined->IsInside(*base)) << spelling;
        const auto again = TSafePath::FromAbsolute(joined->Display());
        ASSERT_TRUE(again.has_value()) << spelling;
        ASSERT_EQ(again->Text(), joined->Text()) << spelling;
        for (const std::string& part : joined->Parts()) {
            ASSERT_FALSE(part.empty());
            ASSERT_TRUE(part.back() != '.' && part.back() != ' ') << spelling;
        }
    }
    EXPECT_GT(accepted, 1000) << "the generator must reach accepted spellings too";
}

}  // namespace
}  // namespace marlowen
