#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/FileSystemRelay.h"
#include "platform/HeldFolder.h"
#include "platform/Registry.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/PackWriter.h"
#include "skin/XMLNode.h"

namespace marlowen::testing {

constexpr auto HKLM = TRegistryRoot::LocalMachine;
constexpr auto HKCU = TRegistryRoot::CurrentUser;
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marlowen";
constexpr const char* kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MarlowenApp.exe";
constexpr const char* kSettingsKey = "Software\\Tovan\\MarlowenApp";
// Where a default install goes on the fresh headless Windows.
constexpr const char* kInstalled = "C:\\Program Files\\Marlowen";
constexpr const char* kGroup = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Marlowen";
constexpr const char* kDesktopLink = "C:\\Users\\Public\\Desktop\\Marlowen.lnk";

// Passes every call on to another file system; tests override what should fail.
class TFilesOver : public TFileSystemRelay {
public:
    using TFileSystemRelay::TFileSystemRelay;

    // Called before a held folder writes or copies into the file `path` (its folder's path, "\",
    // the name); a test raises here to make that write fail.
    virtual void BeforeHeldWrite(const std::string& /*path*/) {}
    // Called before a folder is made, by CreateNewFolder or a held folder's OpenFolder.
    virtual void BeforeFolderMade(const std::string& /*path*/) {}

    bool CreateNewFolder(const std::string& path, TFolderRights rights) override {
        BeforeFolderMade(path);
        return TFileSystemRelay::CreateNewFolder(path, rights);
    }

protected:
    std::unique_ptr<THeldFolder> WrapHeld(std::unique_ptr<THeldFolder> held) override {
        return std::make_unique<THeldOver>(std::move(held), *this);
    }

private:
    // Held folders of the inner system that tell this one of their writes.
    class THeldOver : public THeldFolderRelay {
    public:
        THeldOver(std::unique_ptr<THeldFolder> inner, TFilesOver& owner)
            : THeldFolderRelay(std::move(inner), [&owner](std::unique_ptr<THeldFolder> folder) {
                  return owner.WrapHeld(std::move(folder));
              }),
              Owner_(owner) {}
        std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const override {
            if (create) Owner_.BeforeFolderMade(Path() + "\\" + name);
            return THeldFolderRelay::OpenFolder(name, create);
        }
        void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const override {
            Owner_.BeforeHeldWrite(Path() + "\\" + name);
            THeldFolderRelay::WriteFile(name, bytes);
        }
        bool CopyFileInto(const std::string& source, const std::string& name,
                          const TCopyProgress& progress) const override {
            Owner_.BeforeHeldWrite(Path() + "\\" + name);
            return THeldFolderRelay::CopyFileInto(source, name, progress);
        }

    private:
        TFilesOver& Owner_;
    };
};

// A fresh headless Windows over a private temporary folder, removed after the test. The setup
// executable is "C:\Setup\Setup.exe".
class TSetupFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Root_ = std::filesystem::temp_directory_path() /
                ("marlowen-setup-" + std::string(info->name()) + "-" + std::to_string(std::random_device()()));
        std::filesystem::remove_all(Root_);
        std::filesystem::create_directories(Root_);
        Machine_ = std::make_unique<THeadlessPlatform>(Root_);
    }
    void TearDown() override {
        Machine_.reset();
        std::error_code error;
        std::filesystem::permissions(Root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     error);
        for (auto it = std::filesystem::recursive_directory_iterator(Root_, error);
             it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, error);
        }
        std::filesystem::remove_all(Root_, error);
    }

    THeadlessPlatform& Machine() { return *Machine_; }
    TPlatform& Platform() { return Machine_->Platform(); }
    // The machine with another file system in place of its own.
    TPlatform PlatformWith(TFileSystem& files) {
        THeadlessPlatform& m = *Machine_;
        return TPlatform{m.Application, files, m.Registry, m.Shell, m.Locale, m.SystemColors, m.Windows, m.Clipboard};
    }

    std::filesystem::path Host(const std::string& path) const { return Machine_->Files.HostPath(path); }
    void Write(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(Host(path).parent_path());
        std::ofstream(Host(path), std::ios::binary) << text;
    }
    std::string Read(const std::string& path) const {
        std::ifstream file(Host(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& path) const { return std::filesystem::exists(Host(path)); }
    // A host symbolic link at `link` to the file or folder `target`, which the headless backend
    // shows as a Windows link; false where the host makes none.
    bool HostLink(const std::string& target, const std::string& link) const {
        std::error_code error;
        std::filesystem::create_symlink(Host(target), Host(link), error);
        return !error && std::filesystem::is_symlink(Host(link), error);
    }
    // Whether the host folder of `folder` lists an entry of exactly this name (a Windows host
    // would read "x " or "x." as "x" in a path).
    bool HasEntryNamed(const std::string& folder, const std::string& name) const {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(Host(folder), error), end; !error && entry != end;
             entry.increment(error)) {
            if (entry->path().filename().u8string() == name) return true;
        }
        return false;
    }

    std::optional<std::string> String(TRegistryRoot root, const std::string& key, const std::string& name) {
        const auto opened = Machine_->Registry.OpenKey(root, key, RegistryAccess::Read, false);
        return opened ? opened->ReadString(name) : std::nullopt;
    }
    std::optional<uint32_t> Integer(TRegistryRoot root, const std::string& key, const std::string& name) {
        const auto opened = Machine_->Registry.OpenKey(root, key, RegistryAccess::Read, false);
        return opened ? opened->ReadInteger(name) : std::nullopt;
    }
    void SetInteger(TRegistryRoot root, const std::string& key, const std::string& name, uint32_t value) {
        Machine_->Registry.OpenKey(root, key, RegistryAccess::ReadWrite, true)->WriteInteger(name, value);
    }

    // The distribution beside C:\Setup\Setup.exe most install tests copy: the setup, the
    // product, a sub-folder with data and a read-only file.
    void WriteDistribution() {
        Write("C:\\Setup\\Setup.exe", std::string(500, 's'));
        Write("C:\\Setup\\MarlowenApp.exe", std::string(150000, 'm'));
        Write("C:\\Setup\\Sub\\data.bin", std::string(50000, 'd'));
        Write("C:\\Setup\\Locked.txt", "read only");
        std::filesystem::permissions(Host("C:\\Setup\\Locked.txt"), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
    }

    // The smallest skin the start-up accepts, as "Default.fs" in the folder.
    void WriteSkinPack(const std::string& folder = "C:\\Setup") {
        TXMLNode styles("Styles"), skins("Skins"), games("Games");
        styles.AddChild("default");
        skins.AddChild("Green");
        TPackWriter pack;
        pack.AddXML("XML\\Global\\Styles.xml", styles);
        pack.AddXML("XML\\Global\\Skins.xml", skins);
        pack.AddXML("XML\\Global\\Games.xml", games);
        std::filesystem::create_directories(Host(folder));
        pack.SaveToFile(Host(folder + "\\Default.fs").u8string());
    }

private:
    std::filesystem::path Root_;
    std::unique_ptr<THeadlessPlatform> Machine_;
};

}  // namespace marlowen::testing
