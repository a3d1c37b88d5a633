// The contract of the file system, registry and shell interfaces, stated once and run against the
// headless backend in the native build and the Win32 one in the Windows build (under Wine). A
// backend that drifts from the other fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "core/Exception.h"
#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"
#include "platform/SystemFileError.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessRegistry.h"
#include "platform/headless/HeadlessShell.h"
#include "platform/shared/ShellLinkFile.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
// <windows.h> maps these names to its A/W functions; here they are the file system's operations.
#undef CopyFile
#undef DeleteFile

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Text.h"
#include "Win32HostLinks.h"
#endif

namespace marlowen {
namespace {

namespace fs = std::filesystem;

// The registry key every contract test works under (current user), removed before and after.
constexpr char kTestKey[] = "Software\\MarlowenContract";
const std::vector<std::string> kTestKeys = {std::string(kTestKey) + "\\Child\\Grandchild",
                                            std::string(kTestKey) + "\\Child", kTestKey};

// Something held for as long as the object lives (a file in use by another process).
class THold {
public:
    explicit THold(std::function<void()> release) : Release_(std::move(release)) {}
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;
    ~THold() { Release_(); }

private:
    std::function<void()> Release_;
};

// A name unique to the running test, usable in a file name.
std::string TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// ---- the backends: their services, a fresh folder of the test's own and what only a test does ----

class THeadlessBackend {
public:
    THeadlessBackend()
        : HostRoot_(fs::temp_directory_path() / ("marlowen-contract-" + TestName())), Files(HostRoot_), Shell(Files) {
        fs::remove_all(HostRoot_);
        Files.CreateFolder(Folder());
    }
    ~THeadlessBackend() {
        std::error_code error;
        fs::permissions(HostRoot_, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(HostRoot_, error);
    }

    std::string Folder() const { return "C:\\Contract"; }
    // `path` open by another process that lets others read it but not write or delete it.
    std::unique_ptr<THold> HoldInUse(const std::string& path) {
        Files.Lock(path);
        return std::make_unique<THold>([this, path] { Files.Unlock(path); });
    }
    TShellLinkData ReadShellLink(const std::string& path) { return ReadShellLinkFile(Files.ReadFile(path)); }
    // A host folder can be renamed while open: held folders work on the descriptor instead.
    static constexpr bool kPinsHeldNames = false;
    // A link at `link` to the file or folder `target`.
    bool MakeLink(const std::string& link, const std::string& target) {
        std::error_code error;
        fs::create_symlink(Files.HostPath(target), Files.HostPath(link), error);
        return !error;
    }
    // Moves `folder` away and puts a link to `target` in its place, if the system lets anyone.
    bool TryReplaceWithLink(const std::string& folder, const std::string& target) {
        std::error_code error;
        fs::rename(Files.HostPath(folder), Files.HostPath(folder + ".moved"), error);
        return !error && MakeLink(folder, target);
    }
    bool TryRename(const std::string& from, const std::string& to) {
        std::error_code error;
        fs::rename(Files.HostPath(from), Files.HostPath(to), error);
        return !error;
    }

private:
    fs::path HostRoot_;

public:
    THeadlessFileSystem Files;
    THeadlessRegistry Registry;
    THeadlessShell Shell;
};

#ifdef _WIN32
class TWin32Backend {
public:
    TWin32Backend() : Folder_(Files.TempFolder() + "MarlowenContract-" + TestName()) {
        Clean();
        Files.CreateFolder(Folder_);
    }
    ~TWin32Backend() { Clean(); }

    const std::string& Folder() const { return Folder_; }
    std::unique_ptr<THold> HoldInUse(const std::string& path) {
        auto file = std::make_shared<TFileHandle>(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file->Valid()) << "cannot hold " << path;
        return std::make_unique<THold>([file] { file->Reset(); });
    }
    // What the link file holds; the shell's own link object must load it and agree on the texts
    // it keeps whole (the target only when short: its reader stops at MAX_PATH).
    TShellLinkData ReadShellLink(const std::string& path) {
        const TShellLinkData data = ReadShellLinkFile(Files.ReadFile(path));
        TComPtr<IShellLinkW> link;
        TComPtr<IPersistFile> persist;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Put())) ||
            FAILED(link->QueryInterface(IID_IPersistFile, persist.Put())) ||
            FAILED(persist->Load(LongPath(path).c_str(), STGM_READ))) {
            ADD_FAILURE() << "the shell cannot load " << path;
            return data;
        }
        std::wstring text(32768, L'\0');
        const auto size = static_cast<int>(text.size());
        if (SUCCEEDED(link->GetArguments(text.data(), size))) {
            EXPECT_EQ(Utf8Text(text.c_str()), data.Arguments);
        }
        if (SUCCEEDED(link->GetDescription(text.data(), size))) {
            EXPECT_EQ(Utf8Text(text.c_str()), data.Description);
        }
        if (data.Target.size() < MAX_PATH &&
            SUCCEEDED(link->GetPath(text.data(), size, nullptr, SLGP_RAWPATH))) {
            EXPECT_EQ(Utf8Text(text.c_str()), data.Target);
        }
        return data;
    }

    // Windows refuses to move a folder, or its parent, while a handle holds it without sharing
    // deletion.
    static constexpr bool kPinsHeldNames = true;
    bool MakeLink(const std::string& link, const std::string& target) { return testing::MakeFolderLink(link, target); }
    bool TryReplaceWithLink(const std::string& folder, const std::string& target) {
        return TryRename(folder, folder + ".moved") && MakeLink(folder, target);
    }
    bool TryRename(const std::string& from, const std::string& to) {
        return MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), 0) != 0;
    }

    TWin32FileSystem Files;
    TWin32Registry Registry;
    TWin32Shell Shell;

private:
    void Clean() {
        RemoveTree(Folder_);
        for (const auto& key : kTestKeys) Registry.DeleteKey(TRegistryRoot::CurrentUser, key);
    }
    void RemoveTree(const std::string& folder) {
        for (const TFileEntry& entry : Files.FindFiles(folder, "*")) {
            if (entry.Attributes & FileAttribute::ReparsePoint) {
                // A link goes as a link: what it leads to is the test's too, removed on its own.
                const std::string link = folder + "\\" + entry.Name;
                if (!Files.RemoveFolder(link)) Files.DeleteFile(link);
                continue;
            }
            const std::string path = folder + "\\" + entry.Name;
            Files.SetAttributes(path, entry.Attributes & ~(FileAttribute::ReadOnly | FileAttribute::Hidden |
                                                           FileAttribute::System));
            if (entry.Attributes & FileAttribute::Directory) {
                RemoveTree(path);
            } else {
                Files.DeleteFile(path);
            }
        }
        Files.RemoveFolder(folder);
    }

    std::string Folder_;
};
#endif

template <class TBackend>
class Contract : public ::testing::Test {
protected:
    TBackend Backend;
    TFileSystem& Files = Backend.Files;
    TRegistry& Registry = Backend.Registry;
    TShell& Shell = Backend.Shell;
    const std::string Root = Backend.Folder();

    std::string In(const std::string& name) const { return Root + "\\" + name; }
    std::vector<std::string> Names(const std::string& folder, const std::string& mask = "*") const {
        std::vector<std::string> names;
        for (const TFileEntry& entry : Files.FindFiles(folder, mask)) names.push_back(entry.Name);
        return names;
    }
    std::string Text(const std::string& path) const {
        const auto bytes = Files.ReadFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
    // Runs `action`, which must raise an Exception whose message names `path`.
    template <class TAction>
    void ExpectRaisesNaming(const std::string& path, TAction action) const {
        try {
            action();
            ADD_FAILURE() << "no error for " << path;
        } catch (const Exception& error) {
            EXPECT_NE(error.Message().find(path), std::string::npos) << error.Message();
        }
    }
};

// The headless backend natively, the real one on Windows (the headless backend's files map onto a
// Linux host; it is not made for a Windows one).
#ifdef _WIN32
using TBackends = ::testing::Types<TWin32Backend>;
#else
using TBackends = ::testing::Types<THeadlessBackend>;
#endif

class TBackendNames {
public:
    template <class T>
    static std::string GetName(int) {
        return std::is_same<T, THeadlessBackend>::value ? "Headless" : "Win32";
    }
};

template <class T>
using FileSystemContract = Contract<T>;
template <class T>
using HeldFolderContract = Contract<T>;
template <class T>
using RegistryContract = Contract<T>;
template <class T>
using ShellContract = Contract<T>;
TYPED_TEST_SUITE(FileSystemContract, TBackends, TBackendNames);
TYPED_TEST_SUITE(HeldFolderContract, TBackends, TBackendNames);
TYPED_TEST_SUITE(RegistryContract, TBackends, TBackendNames);
TYPED_TEST_SUITE(ShellContract, TBackends, TBackendNames);

// ---- files ----

TYPED_TEST(FileSystemContract, ListsByNameWithoutRegardToCase) {
    for (const char* name : {"b.txt", "C", "A.txt", "a2.txt", "B1", "_x", "яблоко", "Банан", "Ярус"}) {
        this->Files.WriteFile(this->In(name), Bytes(name));
    }
    this->Files.CreateFolder(this->In("Sub"));
    this->Files.CreateFolder(this->In("aa"));
    // Only ASCII letters fold: other characters keep their code point order.
    EXPECT_EQ(this->Names(this->Root), (std::vector<std::string>{"A.txt", "a2.txt", "aa", "b.txt", "B1", "C", "Sub",
                                                                 "_x", "Банан", "Ярус", "яблоко"}));
    EXPECT_EQ(this->Names(this->Root + "\\", "*.TXT"), (std::vector<std::string>{"A.txt", "a2.txt", "b.txt"}));
    EXPECT_EQ(this->Names(this->Root, "?1"), (std::vector<std::string>{"B1"}));
    // "*.*" also takes names without an extension.
    EXPECT_EQ(this->Names(this->Root, "*.*").size(), 11u);
}

TYPED_TEST(FileSystemContract, ListingsCarryAttributesAndSizes) {
    this->Files.WriteFile(this->In("file.txt"), Bytes("12345"));
    this->Files.WriteFile(this->In("secret"), Bytes("x"));
    ASSERT_TRUE(this->Files.SetAttributes(this->In("secret"), FileAttribute::Hidden | FileAttribute::System));
    this->Files.CreateFolder(this->In("Folder"));

    const auto entries = this->Files.FindFiles(this->Root, "*");
    ASSERT_EQ(entries.size(), 3u);  // never "." or ".."
    EXPECT_EQ(entries[0].Name, "file.txt");
    EXPECT_EQ(entries[0].Size, 5);
    EXPECT_EQ(entries[0].Attributes, FileAttribute::Archive);
    EXPECT_EQ(entries[1].Name, "Folder");
    EXPECT_EQ(entries[1].Size, 0);
    EXPECT_EQ(entries[1].Attributes & ~FileAttribute::Archive, FileAttribute::Directory);
    EXPECT_EQ(entries[2].Attributes & ~FileAttribute::Archive, FileAttribute::Hidden | FileAttribute::System);
    constexpr uint32_t kSetupFilter = FileAttribute::Directory | FileAttribute::Archive;
    EXPECT_TRUE(PassesFindFilter(entries[0].Attributes, kSetupFilter));
    EXPECT_TRUE(PassesFindFilter(entries[1].Attributes, kSetupFilter));
    EXPECT_FALSE(PassesFindFilter(entries[2].Attributes, kSetupFilter));
}

TYPED_TEST(FileSystemContract, AttributesReadBackAsSet) {
    const std::string file = this->In("file.txt");
    this->Files.WriteFile(file, Bytes("x"));
    EXPECT_EQ(this->Files.GetAttributes(file), FileAttribute::Archive);  // a new file is an archive
    // The archive bit is as the system keeps it: some keep it on every file.
    for (const uint32_t attributes : {FileAttribute::ReadOnly | FileAttribute::Hidden,
                                      FileAttribute::System | FileAttribute::Archive, FileAttribute::Archive}) {
        ASSERT_TRUE(this->Files.SetAttributes(file, attributes));
        EXPECT_EQ(this->Files.GetAttributes(file).value_or(0) | FileAttribute::Archive,
                  attributes | FileAttribute::Archive);
    }
    ASSERT_TRUE(this->Files.SetAttributes(file, FileAttribute::Normal));
    EXPECT_EQ(this->Files.GetAttributes(file).value_or(0) & ~(FileAttribute::Normal | FileAttribute::Archive), 0u);
    EXPECT_EQ(this->Files.GetAttributes(this->Root).value_or(0) & FileAttribute::Directory, FileAttribute::Directory);

    // A read-only file cannot be deleted or replaced; it stays as it was.
    ASSERT_TRUE(this->Files.SetAttributes(file, FileAttribute::ReadOnly));
    EXPECT_FALSE(this->Files.DeleteFile(file));
    this->ExpectRaisesNaming(file, [&] { this->Files.WriteFile(file, Bytes("new")); });
    this->Files.WriteFile(this->In("other.txt"), Bytes("other"));
    EXPECT_FALSE(this->Files.CopyFile(this->In("other.txt"), file, nullptr));
    EXPECT_EQ(this->Text(file), "x");
    // A copy takes its source's attributes and is an archive.
    ASSERT_TRUE(this->Files.SetAttributes(file, FileAttribute::ReadOnly | FileAttribute::Hidden));
    ASSERT_TRUE(this->Files.CopyFile(file, this->In("copy.txt"), nullptr));
    EXPECT_EQ(this->Files.GetAttributes(this->In("copy.txt")),
              FileAttribute::ReadOnly | FileAttribute::Hidden | FileAttribute::Archive);
    ASSERT_TRUE(this->Files.SetAttributes(file, FileAttribute::Normal));
    EXPECT_TRUE(this->Files.DeleteFile(file));
    EXPECT_FALSE(this->Files.DeleteFile(file));
}

TYPED_TEST(FileSystemContract, WritesReplaceWholeFilesLeavingNothingBeside) {
    const std::string file = this->In("data.bin");
    this->Files.WriteFile(file, Bytes("a long first content"));
    this->Files.WriteFile(file, Bytes("short"));
    EXPECT_EQ(this->Text(file), "short");
    this->Files.WriteFile(file, {});
    EXPECT_TRUE(this->Files.ReadFile(file).empty());
    EXPECT_EQ(this->Names(this->Root), (std::vector<std::string>{"data.bin"}));
}

// A name of 255 characters, the most a name may hold, leaves no room for a temporary name made
// by adding to it.
TYPED_TEST(FileSystemContract, WritesFilesWithTheLongestNames) {
    const std::string name = std::string(251, 'n') + ".txt";
    const std::string file = this->In(name);
    this->Files.WriteFile(file, Bytes("first"));
    this->Files.WriteFile(file, Bytes("second"));
    EXPECT_EQ(this->Text(file), "second");
    EXPECT_EQ(this->Names(this->Root), (std::vector<std::string>{name}));
}

// The new bytes are written beside the file, then take its place; when that last step fails
// (the file is in use), the old file stays whole and the written bytes go.
TYPED_TEST(FileSystemContract, AFailedReplaceKeepsTheOldFileWhole) {
    const std::string file = this->In("MarlowenApp.exe");
    this->Files.WriteFile(file, Bytes("the running program"));
    {
        const auto hold = this->Backend.HoldInUse(file);
        this->ExpectRaisesNaming(file, [&] { this->Files.WriteFile(file, std::vector<uint8_t>(100000, 'n')); });
        EXPECT_EQ(this->Text(file), "the running program");
    }
    EXPECT_EQ(this->Names(this->Root), (std::vector<std::string>{"MarlowenApp.exe"}));
    this->Files.WriteFile(file, Bytes("new"));  // once free, it is replaced
    EXPECT_EQ(this->Text(file), "new");
}

TYPED_TEST(FileSystemContract, AFileInUseCanBeReadButNotChanged) {
    const std::string file = this->In("busy.dll");
    this->Files.WriteFile(file, Bytes("busy"));
    this->Files.WriteFile(this->In("other.dll"), Bytes("other"));
    {
        const auto hold = this->Backend.HoldInUse(file);
        EXPECT_EQ(this->Text(file), "busy");
        EXPECT_FALSE(this->Files.DeleteFile(file));
        EXPECT_FALSE(this->Files.CopyFile(this->In("other.dll"), file, nullptr));
        EXPECT_TRUE(this->Files.CopyFile(file, this->In("copy.dll"), nullptr));  // a source may be in use
        EXPECT_EQ(this->Text(file), "busy");
    }
    EXPECT_TRUE(this->Files.CopyFile(this->In("other.dll"), file, nullptr));
    EXPECT_EQ(this->Text(file), "other");
    EXPECT_TRUE(this->Files.DeleteFile(file));
}

TYPED_TEST(FileSystemContract, PathsOfAnyLengthAndSpelling) {
    std::string folder = this->Root;
    while (folder.size() < 300) folder += "\\Длинная папка 0123456789";
    this->Files.CreateFolder(folder);
    EXPECT_TRUE(this->Files.FolderExists(folder));
    const std::string file = folder + "\\\\файл.txt";  // a doubled separator counts once
    this->Files.WriteFile(file, Bytes("deep"));
    EXPECT_TRUE(this->Files.FileExists(folder + "/файл.txt"));
    EXPECT_EQ(this->Text(file), "deep");
    EXPECT_EQ(this->Names(folder), (std::vector<std::string>{"файл.txt"}));
    EXPECT_TRUE(this->Files.CopyFile(file, folder + "\\copy.txt", nullptr));
    EXPECT_EQ(this->Files.GetAttributes(folder + "\\copy.txt"), FileAttribute::Archive);
    EXPECT_TRUE(this->Files.DeleteFile(file));
    EXPECT_TRUE(this->Files.DeleteFile(folder + "\\copy.txt"));
    EXPECT_TRUE(this->Files.RemoveFolder(folder));
    EXPECT_FALSE(this->Files.FolderExists(folder));
}

TYPED_TEST(FileSystemContract, MissingFilesAndFolders) {
    const std::string missing = this->In("Missing");
    EXPECT_TRUE(this->Files.FindFiles(missing, "*").empty());
    EXPECT_FALSE(this->Files.FolderExists(missing));
    EXPECT_FALSE(this->Files.FileExists(missing));
    EXPECT_FALSE(this->Files.GetAttributes(missing).has_value());
    EXPECT_FALSE(this->Files.SetAttributes(missing, FileAttribute::Normal));
    EXPECT_FALSE(this->Files.DeleteFile(missing));
    EXPECT_FALSE(this->Files.RemoveFolder(missing));
    this->ExpectRaisesNaming(missing, [&] { this->Files.ReadFile(missing); });
    this->ExpectRaisesNaming(missing + "\\x.txt", [&] { this->Files.WriteFile(missing + "\\x.txt", Bytes("x")); });
    this->Files.WriteFile(this->In("x.txt"), Bytes("x"));
    EXPECT_FALSE(this->Files.CopyFile(this->In("x.txt"), missing + "\\x.txt", nullptr));
    EXPECT_FALSE(this->Files.CopyFile(missing + "\\y.txt", this->In("y.txt"), nullptr));
    EXPECT_FALSE(this->Files.FileExists(this->In("y.txt")));
    EXPECT_FALSE(this->Files.FolderExists(missing));
    EXPECT_FALSE(this->Files.FileExists(""));
}

TYPED_TEST(FileSystemContract, FoldersAreCreatedWithParentsAndRemovedWhenEmpty) {
    const std::string deep = this->In("a\\b\\c");
    this->Files.CreateFolder(deep);
    EXPECT_TRUE(this->Files.FolderExists(deep));
    this->Files.CreateFolder(deep + "\\");  // an existing folder is fine
    EXPECT_FALSE(this->Files.FileExists(deep));
    EXPECT_FALSE(this->Files.RemoveFolder(this->In("a\\b")));  // not empty
    EXPECT_TRUE(this->Files.RemoveFolder(deep));
    EXPECT_TRUE(this->Files.RemoveFolder(this->In("a\\b")));

    this->Files.WriteFile(this->In("file"), Bytes("x"));
    EXPECT_THROW(this->Files.CreateFolder(this->In("file")), Exception);
    EXPECT_THROW(this->Files.CreateFolder(this->In("file\\sub")), Exception);
    EXPECT_FALSE(this->Files.RemoveFolder(this->In("file")));
    EXPECT_FALSE(this->Files.DeleteFile(this->In("a")));  // a folder is no file
    this->ExpectRaisesNaming(this->In("a"), [&] { this->Files.WriteFile(this->In("a"), Bytes("x")); });
    EXPECT_TRUE(this->Files.FolderExists(this->In("a")));
}

TYPED_TEST(FileSystemContract, CopiesReportProgressAndCancelLeavesNothing) {
    std::vector<uint8_t> content(300000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7);
    this->Files.WriteFile(this->In("source.bin"), content);
    this->Files.WriteFile(this->In("target.bin"), Bytes("old"));
    int64_t lastDone = -1, lastSize = 0;
    bool ordered = true;
    EXPECT_TRUE(this->Files.CopyFile(this->In("source.bin"), this->In("target.bin"), [&](int64_t size, int64_t done) {
        ordered = ordered && done >= lastDone && done <= size;
        lastDone = done;
        lastSize = size;
        return false;
    }));
    EXPECT_TRUE(ordered);
    EXPECT_EQ(lastSize, 300000);
    EXPECT_EQ(lastDone, 300000);
    EXPECT_EQ(this->Files.ReadFile(this->In("target.bin")), content);
    EXPECT_FALSE(this->Files.CopyFile(this->In("source.bin"), this->In("source.bin"), nullptr));
    EXPECT_EQ(this->Files.ReadFile(this->In("source.bin")), content);

    EXPECT_FALSE(this->Files.CopyFile(this->In("source.bin"), this->In("cancelled.bin"),
                                      [](int64_t, int64_t) { return true; }));
    EXPECT_FALSE(this->Files.FileExists(this->In("cancelled.bin")));
    // An error in the progress routine cancels the copy and reaches the caller.
    EXPECT_THROW(this->Files.CopyFile(this->In("source.bin"), this->In("failed.bin"),
                                      [](int64_t, int64_t) -> bool { throw Exception("stop"); }),
                 Exception);
    EXPECT_FALSE(this->Files.FileExists(this->In("failed.bin")));
    EXPECT_EQ(this->Names(this->Root), (std::vector<std::string>{"source.bin", "target.bin"}));
}

TYPED_TEST(FileSystemContract, TempFolderEndsWithASeparatorAndExists) {
    const std::string temp = this->Files.TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(this->Files.FolderExists(temp));
}

// ---- registry ----

TYPED_TEST(RegistryContract, ValuesRoundTripWithoutRegardToCase) {
    {
        auto key = this->Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::ReadWrite, true);
        ASSERT_NE(key, nullptr);
        key->WriteString("", "C:\\Program Files (x86)\\Marlowen\\MarlowenApp.exe");
        key->WriteString("Имя", "Марлоуэн ✓");
        key->WriteString("Long", std::string(5000, 'x'));
        key->WriteInteger("EnableAutoUpdate", 0xFFFFFFFFu);
        key->WriteBoolean("Flag", false);
    }
    auto key = this->Registry.OpenKey(TRegistryRoot::CurrentUser, "SOFTWARE\\marlowencontract", RegistryAccess::Read,
                                      false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString(""), "C:\\Program Files (x86)\\Marlowen\\MarlowenApp.exe");
    EXPECT_EQ(key->ReadString("Имя"), "Марлоуэн ✓");
    EXPECT_EQ(key->ReadString("LONG"), std::string(5000, 'x'));
    EXPECT_EQ(key->ReadInteger("enableautoupdate"), 0xFFFFFFFFu);
    EXPECT_EQ(key->ReadBoolean("EnableAutoUpdate"), true);
    EXPECT_EQ(key->ReadBoolean("Flag"), false);
    EXPECT_TRUE(key->ValueExists("flag"));
    EXPECT_FALSE(key->ValueExists("Missing"));
    EXPECT_EQ(key->ReadString("Missing"), std::nullopt);
    EXPECT_EQ(key->ReadInteger("Missing"), std::nullopt);
    EXPECT_THROW(key->ReadInteger("Имя"), Exception);  // a value of another type raises
    EXPECT_THROW(key->ReadString("Flag"), Exception);
}

TYPED_TEST(RegistryContract, KeysOpenedForReadingRefuseWrites) {
    ASSERT_NE(this->Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::ReadWrite, true), nullptr);
    auto key = this->Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false);
    ASSERT_NE(key, nullptr);
    try {
        key->WriteString("DisplayName", "Marlowen");
        ADD_FAILURE() << "a key opened for reading took a write";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find("DisplayName"), std::string::npos) << error.Message();
    }
    EXPECT_THROW(key->WriteInteger("UpdateLevel", 2), Exception);
    EXPECT_FALSE(key->DeleteValue("DisplayName"));
}

TYPED_TEST(RegistryContract, KeysComeWithTheirParentsAndGoOnlyWithoutSubkeys) {
    const std::string child = std::string(kTestKey) + "\\Child";
    const std::string grandchild = child + "\\Grandchild";
    EXPECT_EQ(this->Registry.OpenKey(TRegistryRoot::CurrentUser, grandchild, RegistryAccess::Read, false), nullptr);
    auto key = this->Registry.OpenKey(TRegistryRoot::CurrentUser, grandchild, RegistryAccess::ReadWrite, true);
    ASSERT_NE(key, nullptr);
    key->WriteInteger("Value", 1);
    EXPECT_TRUE(key->DeleteValue("VALUE"));
    EXPECT_FALSE(key->DeleteValue("Value"));
    key.reset();
    EXPECT_NE(this->Registry.OpenKey(TRegistryRoot::CurrentUser, child, RegistryAccess::Read, false), nullptr);
    EXPECT_EQ(this->Registry.OpenKey(TRegistryRoot::LocalMachine, child, RegistryAccess::Read, false), nullptr);

    EXPECT_FALSE(this->Registry.DeleteKey(TRegistryRoot::CurrentUser, child));  // has a subkey
    EXPECT_TRUE(this->Registry.DeleteKey(TRegistryRoot::CurrentUser, grandchild));
    EXPECT_TRUE(this->Registry.DeleteKey(TRegistryRoot::CurrentUser, "software\\MARLOWENCONTRACT\\child"));
    EXPECT_EQ(this->Registry.OpenKey(TRegistryRoot::CurrentUser, child, RegistryAccess::Read, false), nullptr);
    EXPECT_FALSE(this->Registry.DeleteKey(TRegistryRoot::CurrentUser, child));
    EXPECT_FALSE(this->Registry.DeleteKey(TRegistryRoot::CurrentUser, ""));
    EXPECT_NE(this->Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false), nullptr);
}

TYPED_TEST(RegistryContract, KeysThatMustOpenRaiseWhenTheyDoNot) {
    try {
        this->Registry.OpenKeyOrRaise(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false);
        ADD_FAILURE() << "a missing key opened";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Нет доступа к реестру Windows");
    }
    try {
        this->Registry.OpenKeyOrRaise(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false, "Нет ключа");
        ADD_FAILURE() << "a missing key opened";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Нет ключа");
    }
    this->Registry.OpenKeyOrRaise(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::ReadWrite, true)
        ->WriteInteger("Value", 7);
    EXPECT_EQ(this->Registry.OpenKeyOrRaise(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false)
                  ->ReadInteger("Value"),
              7u);
}

// ---- shell ----

// The target is ASCII: some shells read a link's target only in the 8-bit code page.
TShellLinkData SampleLink(const std::string& folder) {
    TShellLinkData link;
    link.Target = folder + "\\Program\\MarlowenApp.exe";
    link.WorkingFolder = folder + "\\Программа";
    link.Arguments = "/skin \"Blue Sky\"";
    link.Description = "Запуск Marlowen";
    link.IconIndex = 2;
    return link;
}

void ExpectSameLink(const TShellLinkData& actual, const TShellLinkData& expected) {
    EXPECT_EQ(actual.Target, expected.Target);
    EXPECT_EQ(actual.WorkingFolder, expected.WorkingFolder);
    EXPECT_EQ(actual.Arguments, expected.Arguments);
    EXPECT_EQ(actual.Description, expected.Description);
    EXPECT_EQ(actual.IconIndex, expected.IconIndex);
}

TYPED_TEST(ShellContract, LinksAreRealLinkFilesThatReadBack) {
    const std::string file = this->In("Marlowen.lnk");
    TShellLinkData link = SampleLink(this->Root);
    this->Files.CreateFolder(this->In("Program"));
    this->Files.WriteFile(link.Target, Bytes("MZ"));
    this->Shell.SaveShellLink(file, link);
    ExpectSameLink(this->Backend.ReadShellLink(file), link);

    link.Arguments.clear();
    link.IconIndex = -1;
    this->Shell.SaveShellLink(file, link);  // replaces the link
    ExpectSameLink(this->Backend.ReadShellLink(file), link);
    const auto bytes = this->Files.ReadFile(file);
    ASSERT_GE(bytes.size(), 76u);
    EXPECT_EQ(bytes[0], 0x4C);  // the header's size, then the link class
    EXPECT_EQ(bytes[4], 0x01);
    EXPECT_EQ(bytes[5], 0x14);
    EXPECT_EQ(this->Names(this->Root), (std::vector<std::string>{"Marlowen.lnk", "Program"}));
}

// Links are saved at any path length, as the files they sit beside are.
TYPED_TEST(ShellContract, LinksLongerThanMaxPathAreSaved) {
    std::string folder = this->Root;
    while (folder.size() < 300) folder += "\\Long folder 0123456789";
    this->Files.CreateFolder(folder + "\\Program");
    const TShellLinkData link = SampleLink(folder);
    this->Files.WriteFile(link.Target, Bytes("MZ"));

    // A long target in a short link, and a short target in a long link.
    this->Shell.SaveShellLink(this->In("Long target.lnk"), link);
    ExpectSameLink(this->Backend.ReadShellLink(this->In("Long target.lnk")), link);
    const TShellLinkData shortLink = SampleLink(this->Root);
    this->Shell.SaveShellLink(folder + "\\Marlowen.lnk", shortLink);
    ExpectSameLink(this->Backend.ReadShellLink(folder + "\\Marlowen.lnk"), shortLink);

    TShellLinkData changed = link;  // a long link is replaced like any other
    changed.Arguments = "/again";
    this->Shell.SaveShellLink(folder + "\\Marlowen.lnk", changed);
    ExpectSameLink(this->Backend.ReadShellLink(folder + "\\Marlowen.lnk"), changed);
    EXPECT_EQ(this->Names(folder), (std::vector<std::string>{"Marlowen.lnk", "Program"}));
    EXPECT_THROW(this->Shell.SaveShellLink(folder + "\\Missing\\Marlowen.lnk", link), Exception);
}

TYPED_TEST(ShellContract, SavingFailsInAMissingFolderOrOverALinkInUse) {
    const TShellLinkData link = SampleLink(this->Root);
    EXPECT_THROW(this->Shell.SaveShellLink(this->In("Missing\\Marlowen.lnk"), link), Exception);
    EXPECT_FALSE(this->Files.FolderExists(this->In("Missing")));

    const std::string file = this->In("Marlowen.lnk");
    this->Shell.SaveShellLink(file, link);
    const auto before = this->Files.ReadFile(file);
    TShellLinkData changed = link;
    changed.Arguments = "/changed";
    {
        const auto hold = this->Backend.HoldInUse(file);
        EXPECT_THROW(this->Shell.SaveShellLink(file, changed), Exception);
    }
    EXPECT_EQ(this->Files.ReadFile(file), before);
}

TYPED_TEST(ShellContract, StartingAMissingFileFails) {
    const std::string missing = this->In("no-such-file.bat");
    EXPECT_FALSE(this->Shell.Execute("open", missing, "", "", ShowCommand::ShowNormal));
    try {
        this->Shell.ExecuteHidden(missing, "", this->Root);
        ADD_FAILURE() << "a missing file was started";
    } catch (const Exception& error) {
        EXPECT_FALSE(error.Message().empty());
    }
}

// ---- held folders ----

TYPED_TEST(HeldFolderContract, NoOperationFollowsALinkOrTakesMoreThanOneName) {
    this->Files.CreateFolder(this->In("Victim"));
    this->Files.WriteFile(this->In("Victim\\keep.txt"), Bytes("keep"));
    this->Files.WriteFile(this->In("source.txt"), Bytes("copy"));
    this->Files.CreateFolder(this->In("Install"));
    if (!this->Backend.MakeLink(this->In("Install\\Data"), this->In("Victim")) ||
        !this->Backend.MakeLink(this->In("Install\\readme.txt"), this->In("Victim\\keep.txt")) ||
        !this->Backend.MakeLink(this->In("Install\\copied.txt"), this->In("Victim\\keep.txt"))) {
        GTEST_SKIP() << "no link can be made here";
    }
    EXPECT_EQ(this->Files.OpenHeldFolder(this->In("Install\\Data")), nullptr);
    const auto held = this->Files.OpenHeldFolder(this->In("Install"));
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->OpenFolder("Data", false), nullptr);
    EXPECT_EQ(held->OpenFolder("Data", true), nullptr);
    EXPECT_EQ(held->OpenFolder("missing", false), nullptr);

    held->WriteFile("readme.txt", Bytes("new"));
    EXPECT_TRUE(held->CopyFileInto(this->In("source.txt"), "copied.txt", nullptr));
    EXPECT_EQ(this->Text(this->In("Victim\\keep.txt")), "keep");
    EXPECT_EQ(this->Text(this->In("Install\\readme.txt")), "new");
    EXPECT_EQ(this->Text(this->In("Install\\copied.txt")), "copy");
    EXPECT_FALSE(*this->Files.GetAttributes(this->In("Install\\readme.txt")) & FileAttribute::ReparsePoint);

    // Some emulations cannot remove a link to a folder at all; where it goes, it goes alone.
    if (held->DeleteEntry("Data")) {
        EXPECT_FALSE(this->Files.GetAttributes(this->In("Install\\Data")).has_value());
    }
    EXPECT_TRUE(this->Files.FileExists(this->In("Victim\\keep.txt")));
    EXPECT_EQ(this->Text(this->In("Victim\\keep.txt")), "keep");
    for (const char* name : {"", ".", "..", "Data\\x", "..\\Victim", "a/b", "x:y"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(held->OpenFolder(name, true), Exception);
        EXPECT_THROW(held->DeleteEntry(name), Exception);
        EXPECT_THROW(held->WriteFile(name, Bytes("x")), Exception);
    }
    EXPECT_EQ(this->Text(this->In("Victim\\keep.txt")), "keep");
}

TYPED_TEST(HeldFolderContract, AFailedCopyRaisesTheSystemsReasonAndAStoppedOneLeavesNothing) {
    this->Files.WriteFile(this->In("source.txt"), Bytes("copy"));
    this->Files.CreateFolder(this->In("Target"));
    this->Files.WriteFile(this->In("Target\\old.txt"), Bytes("old"));
    ASSERT_TRUE(this->Files.SetAttributes(this->In("Target\\old.txt"), FileAttribute::ReadOnly));
    const auto held = this->Files.OpenHeldFolder(this->In("Target"));
    ASSERT_NE(held, nullptr);
    try {
        held->CopyFileInto(this->In("missing.txt"), "new.txt", nullptr);
        ADD_FAILURE() << "no error for a missing source";
    } catch (const ESystemFileError& error) {
        EXPECT_FALSE(error.Reason().empty());
        EXPECT_NE(error.Message().find(error.Reason()), std::string::npos) << error.Message();
        EXPECT_NE(error.Path().find("new.txt"), std::string::npos) << error.Path();
    }
    EXPECT_THROW(held->CopyFileInto(this->In("source.txt"), "old.txt", nullptr), ESystemFileError);
    EXPECT_EQ(this->Text(this->In("Target\\old.txt")), "old");
    EXPECT_FALSE(held->CopyFileInto(this->In("source.txt"), "new.txt", [](int64_t, int64_t) { return true; }));
    EXPECT_EQ(this->Names(this->In("Target")), std::vector<std::string>{"old.txt"});
    this->Files.SetAttributes(this->In("Target\\old.txt"), FileAttribute::Normal);
}

TYPED_TEST(FileSystemContract, ANewFolderIsMadeOnceAndOnlyWhereItsParentIs) {
    for (const TFolderRights rights : {TFolderRights::Inherited, TFolderRights::ProgramFiles, TFolderRights::AdminsOnly}) {
        const std::string folder = this->In("New" + std::to_string(static_cast<int>(rights)));
        EXPECT_TRUE(this->Files.CreateNewFolder(folder, rights));
        EXPECT_TRUE(this->Files.FolderExists(folder));
        EXPECT_FALSE(this->Files.CreateNewFolder(folder, rights)) << "an existing folder is never taken as new";
        this->Files.WriteFile(folder + "\\inside.txt", Bytes("x"));  // the administrator may write in it
        EXPECT_EQ(this->Text(folder + "\\inside.txt"), "x");
    }
    this->Files.WriteFile(this->In("file"), Bytes("f"));
    EXPECT_FALSE(this->Files.CreateNewFolder(this->In("file"), TFolderRights::AdminsOnly));
    EXPECT_THROW(this->Files.CreateNewFolder(this->In("missing\\New"), TFolderRights::AdminsOnly), ESystemFileError);
    const std::string system = this->Files.SystemFolder();
    EXPECT_TRUE(this->Files.FolderExists(system)) << system;
    EXPECT_NE(system.back(), '\\');
}

// While a folder is held, nobody can put a link in its place; where a system lets someone move it
// all the same, the held folder still names the folder it opened, never the link.
TYPED_TEST(HeldFolderContract, AHeldFolderCannotBeTurnedIntoALinkUnderIt) {
    this->Files.CreateFolder(this->In("Victim"));
    this->Files.CreateFolder(this->In("Install\\Sub"));
    this->Files.WriteFile(this->In("Victim\\keep.txt"), Bytes("keep"));
    this->Files.WriteFile(this->In("Install\\Sub\\keep.txt"), Bytes("ours"));
    const auto root = this->Files.OpenHeldFolder(this->In("Install"));
    ASSERT_NE(root, nullptr);
    const auto sub = root->OpenFolder("Sub", false);
    ASSERT_NE(sub, nullptr);
    const bool replaced = this->Backend.TryReplaceWithLink(this->In("Install\\Sub"), this->In("Victim"));
    if (this->Backend.kPinsHeldNames) {
        EXPECT_FALSE(replaced) << "a held folder cannot be moved";
        EXPECT_FALSE(this->Backend.TryRename(this->In("Install"), this->In("Elsewhere"))) << "nor can its parent";
    }
    sub->WriteFile("x.txt", Bytes("x"));
    EXPECT_TRUE(sub->DeleteEntry("keep.txt"));
    EXPECT_EQ(this->Text(this->In("Victim\\keep.txt")), "keep");
    EXPECT_FALSE(this->Files.FileExists(this->In("Victim\\x.txt")));
}

TYPED_TEST(HeldFolderContract, NamesAreTakenAsTheyAreListed) {
    const auto held = [this] {
        this->Files.CreateFolder(this->In("Install"));
        return this->Files.OpenHeldFolder(this->In("Install"));
    }();
    ASSERT_NE(held, nullptr);
    held->WriteFile("x.", Bytes("dot"));
    held->WriteFile("sub ", Bytes("space"));
    ASSERT_NE(held->OpenFolder("folder.", true), nullptr);
    std::vector<std::string> names;
    for (const TFileEntry& entry : held->List()) names.push_back(entry.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"folder.", "sub ", "x."}));
    EXPECT_TRUE(held->DeleteEntry("x."));
    EXPECT_TRUE(held->DeleteEntry("sub "));
    EXPECT_TRUE(held->DeleteEntry("folder."));
    EXPECT_TRUE(held->List().empty());
}

// The package's file: read once, deleted through what read it, even after its name was given to
// another file.
TYPED_TEST(HeldFolderContract, AHeldFileDeletesOnlyWhatItRead) {
    this->Files.WriteFile(this->In("update.pkg"), Bytes("package"));
    auto file = this->Files.OpenHeldFile(this->In("update.pkg"));
    EXPECT_EQ(file->Bytes(), Bytes("package"));
    EXPECT_TRUE(file->Delete());
    EXPECT_FALSE(this->Files.FileExists(this->In("update.pkg")));

    this->Files.WriteFile(this->In("update.pkg"), Bytes("package"));
    file = this->Files.OpenHeldFile(this->In("update.pkg"));
    ASSERT_TRUE(this->Backend.TryRename(this->In("update.pkg"), this->In("moved.pkg")))
        << "the file read shares its renaming and deletion";
    this->Files.WriteFile(this->In("update.pkg"), Bytes("someone else's"));
    file->Delete();
    file.reset();
    EXPECT_EQ(this->Text(this->In("update.pkg")), "someone else's");
    EXPECT_THROW(this->Files.OpenHeldFile(this->In("missing.pkg")), Exception);
}

}  // namespace
}  // namespace marlowen
