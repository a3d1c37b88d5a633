// What only the Win32 file system does; what every backend does is in PlatformContractTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "core/Exception.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"
#include "Win32HostLinks.h"

// After the project's headers: <windows.h> turns names such as DeleteFile into macros.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#undef CopyFile
#undef DeleteFile

namespace marlowen {
namespace {

using namespace marlowen::testing;

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
            if (entry.Attributes & FileAttribute::ReparsePoint) continue;  // the test removes its links
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


TEST_F(Win32FileSystem, AFolderLinkIsAReparsePointAndRemovingItSparesTheTarget) {
    Files.CreateFolder(Root + "\\Target");
    Files.WriteFile(Root + "\\Target\\keep.txt", Bytes("keep"));
    if (!MakeFolderLink(Root + "\\Link", Root + "\\Target")) GTEST_SKIP() << "no folder link can be made here";

    const TFileEntry* entry = Find(Files.FindFiles(Root, "*"), "Link");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Attributes & (FileAttribute::Directory | FileAttribute::ReparsePoint),
              FileAttribute::Directory | FileAttribute::ReparsePoint);
    EXPECT_TRUE(*Files.GetAttributes(Root + "\\Link") & FileAttribute::ReparsePoint);
    EXPECT_FALSE(*Files.GetAttributes(Root + "\\Target") & FileAttribute::ReparsePoint);

    EXPECT_FALSE(Files.DeleteFile(Root + "\\Link"));
    // Windows removes the link itself; Wine refuses a Unix link to a folder that is not empty.
    // Either way the target keeps its files.
    if (Files.RemoveFolder(Root + "\\Link")) {
        EXPECT_FALSE(Files.GetAttributes(Root + "\\Link").has_value());
    }
    EXPECT_EQ(Files.ReadFile(Root + "\\Target\\keep.txt"), Bytes("keep"));
    const std::string link = Root + "\\Link";
    if (Files.GetAttributes(link)) {
        RunOnHost("/bin/rm " + Quoted(UnixName(link)),
                  [&link] { return AttributesOf(link) == INVALID_FILE_ATTRIBUTES; });
    }
}

TEST_F(Win32FileSystem, AFolderThatCannotBeListedRaisesInsteadOfLookingEmpty) {
    Files.CreateFolder(Root + "\\Closed");
    Files.WriteFile(Root + "\\Closed\\inside.txt", Bytes("x"));
    EXPECT_TRUE(Files.FindFiles(Root + "\\Nowhere", "*").empty());
    EXPECT_TRUE(Files.FindFiles(Root, "nothing-matches*").empty());
    EXPECT_TRUE(Files.FindFiles(Root + "\\Closed\\inside.txt", "*").empty()) << "a file lists nothing";

    // Wine shows a folder without the write permission as read-only: the sign that chmod ran.
    const std::string closed = Root + "\\Closed";
    const auto readOnly = [&closed] { return (AttributesOf(closed) & FILE_ATTRIBUTE_READONLY) != 0; };
    const std::string unixName = UnixName(closed);
    if (unixName.empty() || !RunOnHost("/bin/chmod 000 " + Quoted(unixName), readOnly)) {
        GTEST_SKIP() << "no way here to take a folder's listing right away";
    }
    struct TRestore {
        std::string Name;
        std::function<bool()> ReadOnly;
        ~TRestore() { RunOnHost("/bin/chmod 755 " + Quoted(Name), [this] { return !ReadOnly(); }); }
    } restore{unixName, readOnly};
    std::vector<TFileEntry> entries;
    try {
        entries = Files.FindFiles(Root + "\\Closed", "*");
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find(Root + "\\Closed"), std::string::npos) << error.Message();
        return;
    }
    ASSERT_EQ(entries.size(), 1u) << "an unlistable folder passed for an empty one";
    GTEST_SKIP() << "the tests run with rights that list any folder (run without CAP_DAC_OVERRIDE, "
                    "e.g. under setpriv --inh-caps=-all --bounding-set=-all, to see the refusal)";
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

namespace marlowen {
namespace {

// A descriptor's access list in the system's descriptor language, as the system reads it.
std::wstring AccessListText(PSECURITY_DESCRIPTOR descriptor) {
    LPWSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              &text, nullptr)) {
        return L"<unconvertible>";
    }
    std::wstring result = text;
    LocalFree(text);
    return result;
}

// The access list CreateNewFolder hands the system for the rights.
std::wstring GivenAccessList(TFolderRights rights) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(FolderRightsDescriptor(rights), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return L"<invalid>";
    }
    std::wstring result = AccessListText(descriptor);
    LocalFree(descriptor);
    return result;
}

// The folder's access list as the file system keeps it.
std::wstring StoredAccessList(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring wide = WideText(path);
    if (GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return L"<unreadable>";
    }
    std::wstring result = AccessListText(descriptor);
    LocalFree(descriptor);
    return result;
}

// Wine keeps a file's rights as Unix permission bits and shows an access list made up from them.
bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

void ExpectProgramFilesRights(const std::wstring& list) {
    EXPECT_EQ(list.rfind(L"D:P", 0), 0u) << Utf8Text(list);  // nothing inherited
    for (const wchar_t* entry : {L"(A;OICI;FA;;;SY)", L"(A;OICI;FA;;;BA)", L"(A;OICI;0x1200a9;;;BU)"}) {
        EXPECT_NE(list.find(entry), std::wstring::npos) << Utf8Text(entry) << " in " << Utf8Text(list);
    }
    for (const wchar_t* other : {L";;;AU)", L";;;WD)", L";;;CO)"}) {
        EXPECT_EQ(list.find(other), std::wstring::npos) << Utf8Text(other) << " in " << Utf8Text(list);
    }
}

TEST_F(Win32FileSystem, NewFoldersCarryTheirOwnProtectedRights) {
    ExpectProgramFilesRights(GivenAccessList(TFolderRights::ProgramFiles));
    const std::wstring adminsOnly = GivenAccessList(TFolderRights::AdminsOnly);
    EXPECT_EQ(adminsOnly, L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    EXPECT_EQ(FolderRightsDescriptor(TFolderRights::Inherited), nullptr);

    const std::string program = Root + "\\Program";
    ASSERT_TRUE(Files.CreateNewFolder(program, TFolderRights::ProgramFiles));
    const std::string batch = Root + "\\Batch";
    ASSERT_TRUE(Files.CreateNewFolder(batch, TFolderRights::AdminsOnly));
    if (UnderWine()) {
        RecordProperty("stored", Utf8Text(StoredAccessList(program)));
        return;
    }
    ExpectProgramFilesRights(StoredAccessList(program));
    EXPECT_EQ(StoredAccessList(batch).find(L";;;BU)"), std::wstring::npos) << Utf8Text(StoredAccessList(batch));
}

}  // namespace
}  // namespace marlowen
