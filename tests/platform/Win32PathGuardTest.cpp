// The path guard against the system's own reading of the same strings: for tens of thousands of
// generated spellings, whatever the guard lets through is, by GetFullPathNameW and by the real file
// system, the very entry the guard says, below the install folder.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/SafePath.h"
#include "core/StringHash.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

namespace marlowen {
namespace {

using namespace std::string_literals;

std::string FullPathOf(const std::string& path) {
    const std::wstring wide = WideText(path);  // a NUL ends it here, as it does for every W call
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return std::string();
    full.resize(length);
    return Utf8Text(full);
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

bool IsUnder(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() + 1 && TextEquals(path.substr(0, folder.size()), folder) &&
           path[folder.size()] == '\\';
}

// Spellings made of the pieces that matter to the system's reading of a path.
class TSpellings {
public:
    std::string Next() {
        std::string spelling;
        const int count = 1 + static_cast<int>(Random_() % 6);
        for (int i = 0; i < count; ++i) spelling += kTokens[Random_() % kTokens.size()];
        return spelling;
    }

private:
    const std::vector<std::string> kTokens = {
        "a", "Data", "x.txt", "\\", "/", "\\\\", ".", "..", " ", ". ", ":", "::$DATA", ":s", "NUL", "con", "COM1",
        "lpt\u00B9", "AUX.txt", "CONIN$", "\0"s, "\t", "?", "*", "<", "\"", "|", "\\\\?\\", "\\\\.\\", "\\??\\",
        "C:", "c:\\", "x.", "x ", "~1", "PROGRA~1", "\u00FC", "\u0418", "\xFF"s, "\xC0\xAF"s, "\u00A0", "...",
        "Marlowen", "UNC\\", "GLOBALROOT\\"};
    std::mt19937 Random_{20261209};
};

class Win32PathGuard : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Files.TempFolder() + "MarlowenGuard\\Install";
        Files.CreateFolder(Root);
        const auto base = TSafePath::FromAbsolute(Root);
        ASSERT_TRUE(base.has_value()) << Root;
        Base.emplace(*base);
    }

    // Creates the entry through its call string and finds it by the system's reading of the plain
    // spelling: the same file, below the install folder.
    void CheckOnDisk(const TSafePath& path, const std::string& plain) {
        TFileHandle file(CreateFileW(WideText(path.Text()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        ASSERT_TRUE(file.Valid()) << path.Text();
        std::wstring final(32768, L'\0');
        const DWORD length = GetFinalPathNameByHandleW(file.Get(), final.data(), static_cast<DWORD>(final.size()), 0);
        if (length > 0 && length < final.size()) {
            final.resize(length);
            EXPECT_TRUE(IsUnder(PlainSpelling(Utf8Text(final)), PlainSpelling(Base->Text()))) << Utf8Text(final);
        }
        // A trailing separator makes the system refuse a file's name rather than read another one.
        const std::string name = WithoutTrailingSeparators(plain);
        EXPECT_NE(GetFileAttributesW(WideText(name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    }

    TWin32FileSystem Files;
    std::string Root;
    std::optional<TSafePath> Base;
};

TEST_F(Win32PathGuard, EveryRecordPartItAcceptsIsWhatTheSystemReads) {
    TSpellings spellings;
    int accepted = 0, checkedOnDisk = 0;
    for (int i = 0; i < 30000; ++i) {
        const std::string part = spellings.Next();
        const auto joined = Base->Join(part);
        if (!joined) continue;
        ++accepted;
        const std::string plain = Root + "\\" + part;
        ASSERT_EQ(FullPathOf(joined->Text()), joined->Text()) << "a verbatim path is passed as it is";
        const std::string full = WithoutTrailingSeparators(FullPathOf(plain));
        if (joined->Parts().size() == Base->Parts().size()) {
            ASSERT_TRUE(TextEquals(full, Root)) << part;
            continue;
        }
        ASSERT_EQ(full, joined->Display()) << "the system reads \"" << VisiblePath(part) << "\" otherwise";
        ASSERT_TRUE(IsUnder(full, Root)) << VisiblePath(part);
        if (joined->Parts().size() == Base->Parts().size() + 1 && i % 7 == 0) {
            CheckOnDisk(*joined, plain);
            ++checkedOnDisk;
        }
    }
    EXPECT_GT(accepted, 3000);
    EXPECT_GT(checkedOnDisk, 50);
}

TEST_F(Win32PathGuard, EveryFolderItAcceptsInsideTheInstallationIsWhatTheSystemReads) {
    TSpellings spellings;
    int inside = 0;
    for (int i = 0; i < 30000; ++i) {
        const std::string tail = spellings.Next();
        for (const std::string& spelling : {Root + tail, tail + Root, "\\\\?\\" + Root + tail}) {
            const auto folder = TSafePath::FromAbsolute(spelling);
            if (!folder || !folder->IsInside(*Base)) continue;
            ++inside;
            const std::string full = WithoutTrailingSeparators(FullPathOf(spelling));
            ASSERT_EQ(full, folder->Display()) << "the system reads \"" << VisiblePath(spelling) << "\" otherwise";
            ASSERT_TRUE(TextEquals(full, Root) || IsUnder(full, Root)) << VisiblePath(spelling);
        }
    }
    EXPECT_GT(inside, 300);
}

}  // namespace
}  // namespace marlowen
