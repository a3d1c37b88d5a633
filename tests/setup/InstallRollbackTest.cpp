#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <memory>
#include <string>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "platform/SystemFileError.h"
#include "platform/shared/ShellLinkFile.h"
#include "setup/SetupModule.h"

namespace marlowen::testing {
namespace {

constexpr const char* kDiskFull = "There is not enough space on the disk.";

// Fails the n-th write into a held folder, or the n-th folder made, with the disk-full reason.
class TFailingFiles : public TFilesOver {
public:
    using TFilesOver::TFilesOver;
    int FailWrite = 0;
    int FailFolder = 0;
    int Writes = 0;
    int Folders = 0;
    std::string FailedPath;

    void BeforeHeldWrite(const std::string& path) override {
        if (++Writes == FailWrite) Fail(path);
    }
    void BeforeFolderMade(const std::string& path) override {
        if (++Folders == FailFolder) Fail(path);
    }

private:
    void Fail(const std::string& path) {
        FailedPath = path;
        throw ESystemFileError("Не удаётся записать файл \"" + path + "\". " + kDiskFull, path, kDiskFull);
    }
};

// A registry whose n-th write (a value written or deleted) is refused.
class TFailingRegistry : public TRegistry {
public:
    explicit TFailingRegistry(TRegistry& inner) : Inner_(inner) {}
    int FailWrite = 0;
    int Writes = 0;

    std::unique_ptr<TRegistryKey> OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                          bool create) override {
        auto key = Inner_.OpenKey(root, path, access, create);
        return key ? std::make_unique<TKey>(std::move(key), *this) : nullptr;
    }
    bool DeleteKey(TRegistryRoot root, const std::string& path) override { return Inner_.DeleteKey(root, path); }

private:
    class TKey : public TRegistryKey {
    public:
        TKey(std::unique_ptr<TRegistryKey> inner, TFailingRegistry& owner) : Inner_(std::move(inner)), Owner_(owner) {}
        bool ValueExists(const std::string& name) const override { return Inner_->ValueExists(name); }
        std::optional<std::string> ReadString(const std::string& name) const override { return Inner_->ReadString(name); }
        std::optional<uint32_t> ReadInteger(const std::string& name) const override { return Inner_->ReadInteger(name); }
        void WriteString(const std::string& name, const std::string& value) override {
            Owner_.Count();
            Inner_->WriteString(name, value);
        }
        void WriteInteger(const std::string& name, uint32_t value) override {
            Owner_.Count();
            Inner_->WriteInteger(name, value);
        }
        bool DeleteValue(const std::string& name) override {
            Owner_.Count();
            return Inner_->DeleteValue(name);
        }

    private:
        std::unique_ptr<TRegistryKey> Inner_;
        TFailingRegistry& Owner_;
    };

    void Count() {
        if (++Writes == FailWrite) throw Exception("Нет доступа к реестру Windows");
    }
    TRegistry& Inner_;
};

// A machine with a distribution, a user's own setting, another program's key and an old
// desktop link: everything an install touches already holds something.
class InstallRollback : public TSetupFixture {
protected:
    void SetUp() override {
        TSetupFixture::SetUp();
        WriteDistribution();
        Write("C:\\Setup\\Sub\\Deeper\\x.dat", "x");
        Write(kDesktopLink, "an old link");
        SetInteger(HKCU, kSettingsKey, "EnableAutoUpdate", 0);
        SetInteger(HKLM, "Software\\Tovan\\Other", "Kept", 5);
        Platform().Files.TempFolder();
        Platform().Files.SystemFolder();
    }

    // Every host entry below the machine's root with its content, and the whole registry.
    std::string State() const {
        std::map<std::string, std::string> entries;
        const std::filesystem::path root = const_cast<InstallRollback*>(this)->Machine().Files.Root();
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string name = entry.path().lexically_relative(root).generic_string();
            std::string content = entry.is_directory() ? "<folder>" : "";
            if (entry.is_regular_file()) {
                std::ifstream file(entry.path(), std::ios::binary);
                content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
            }
            entries[name] = content.size() > 40 ? std::to_string(content.size()) + " bytes" : content;
        }
        std::string text;
        for (const auto& [name, content] : entries) text += name + ": " + content + "\n";
        return text + const_cast<InstallRollback*>(this)->Machine().Registry.Dump();
    }

    // The lines of one state missing from the other, marked "-" (gone) and "+" (new).
    static std::string Difference(const std::string& before, const std::string& after) {
        std::istringstream a(before), b(after);
        std::set<std::string> was, is;
        for (std::string line; std::getline(a, line);) was.insert(line);
        for (std::string line; std::getline(b, line);) is.insert(line);
        std::string text;
        for (const std::string& line : was) if (!is.count(line)) text += "-" + line + "\n";
        for (const std::string& line : is) if (!was.count(line)) text += "+" + line + "\n";
        return text;
    }

    // Runs an install on the given parts; the message it failed with, or "" when it did not.
    std::string Install(TFileSystem& files, TRegistry& registry) {
        THeadlessPlatform& m = Machine();
        TPlatform platform{m.Application, files, registry, m.Shell, m.Locale, m.SystemColors, m.Windows, m.Clipboard};
        TSetupModule module(platform);
        try {
            module.RunInstall({});
        } catch (const Exception& error) {
            return error.Message();
        }
        return "";
    }
};

TEST_F(InstallRollback, AFailureAtAnyFileOrFolderLeavesTheMachineAsItWas) {
    const std::string before = State();
    // Five files are copied and the old desktop link is kept aside; three folders are made in
    // the install tree (Marlowen, Sub, Deeper).
    const auto failAt = [&](int TFailingFiles::*counter, int n) {
        TFailingFiles files(Machine().Files);
        files.*counter = n;
        const std::string message = Install(files, Machine().Registry);
        ASSERT_FALSE(files.FailedPath.empty()) << n;
        EXPECT_NE(message.find(kDiskFull), std::string::npos) << n << ": " << message;
        EXPECT_EQ(Difference(before, State()), "") << "failing at " << files.FailedPath;
    };
    for (int n = 1; n <= 6; ++n) failAt(&TFailingFiles::FailWrite, n);
    for (int n = 1; n <= 3; ++n) failAt(&TFailingFiles::FailFolder, n);
}

TEST_F(InstallRollback, AFailingCopyNamesTheFileAndTheSystemsReason) {
    TFailingFiles files(Machine().Files);
    files.FailWrite = 2;
    EXPECT_EQ(Install(files, Machine().Registry),
              "Copy file error: C:\\Program Files\\Marlowen\\MarlowenApp.exe\nThere is not enough space on the disk.");
}

TEST_F(InstallRollback, AFailureAtAnyRegistryWriteLeavesTheMachineAsItWas) {
    const std::string before = State();
    // Each write failing in turn, until an install gets past them all.
    int n = 1;
    for (;; ++n) {
        TFailingRegistry registry(Machine().Registry);
        registry.FailWrite = n;
        if (Install(Machine().Files, registry).empty()) break;
        EXPECT_EQ(Difference(before, State()), "") << "failing registry write " << n;
    }
    // The level, the setting, the user's setting removed, five uninstall values and two App Paths ones.
    EXPECT_EQ(n, 11);
    EXPECT_EQ(String(HKLM, kUninstallKey, "DisplayName"), "Marlowen");
}

TEST_F(InstallRollback, AShortcutThatCannotBeWrittenLeavesTheMachineAsItWas) {
    std::filesystem::create_directories(Host(std::string(kGroup) + "\\Marlowen.lnk"));
    const std::string before = State();
    EXPECT_NE(Install(Machine().Files, Machine().Registry), "");
    EXPECT_EQ(Difference(before, State()), "");
}

TEST_F(InstallRollback, StoppingDuringTheCopyLeavesTheMachineAsItWas) {
    const std::string before = State();
    TSetupModule module(Platform());
    module.RunInstall([this](const std::string& text, int32_t) {
        if (text.rfind("Copy Sub", 0) == 0 || text.rfind("Copy data", 0) == 0) Machine().Application.Terminate();
    });
    EXPECT_EQ(Machine().Application.BeepCount(), 1);
    EXPECT_EQ(Difference(before, State()), "");
}

TEST_F(InstallRollback, FilesReplacedInAnExistingFolderComeBackAndTheirCopiesGoOnSuccess) {
    Write(std::string(kInstalled) + "\\MarlowenApp.exe", "the old program");
    Write(std::string(kInstalled) + "\\notes.txt", "the user's own");
    const std::string before = State();
    TFailingRegistry registry(Machine().Registry);
    registry.FailWrite = 3;
    EXPECT_NE(Install(Machine().Files, registry), "");
    EXPECT_EQ(Difference(before, State()), "");

    ASSERT_EQ(Install(Machine().Files, Machine().Registry), "");
    EXPECT_EQ(Read(std::string(kInstalled) + "\\MarlowenApp.exe"), std::string(150000, 'm'));
    EXPECT_EQ(Read(std::string(kInstalled) + "\\notes.txt"), "the user's own");
    EXPECT_EQ(ReadShellLinkFile(Machine().Files.ReadFile(kDesktopLink)).Target,
              std::string(kInstalled) + "\\MarlowenApp.exe");
    for (const std::string& folder : {std::string(kInstalled), std::string("C:\\Users\\Public\\Desktop")}) {
        for (const TFileEntry& entry : Machine().Files.FindFiles(folder, "*")) {
            EXPECT_EQ(entry.Name.find(".undo"), std::string::npos) << folder << "\\" << entry.Name;
        }
    }
}

TEST_F(InstallRollback, FoldersTheInstallMakesGetProgramFilesRightsAndExistingOnesKeepTheirs) {
    std::filesystem::create_directories(Host("D:\\Apps"));
    TSetupModule module(Platform());
    module.InstallFolder = "D:\\Apps\\Tools\\Marlowen";
    module.RunInstall({});
    THeadlessFileSystem& files = Machine().Files;
    EXPECT_EQ(files.RightsOf("D:\\Apps\\Tools"), TFolderRights::ProgramFiles);
    EXPECT_EQ(files.RightsOf("D:\\Apps\\Tools\\Marlowen"), TFolderRights::ProgramFiles);
    EXPECT_EQ(files.RightsOf("D:\\Apps"), std::nullopt);
    EXPECT_EQ(Read("D:\\Apps\\Tools\\Marlowen\\Sub\\Deeper\\x.dat"), "x");
}

}  // namespace
}  // namespace marlowen::testing
