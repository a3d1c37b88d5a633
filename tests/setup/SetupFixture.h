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
class TFilesOver : public TFileSystem {
public:
    explicit TFilesOver(TFileSystem& inner) : Inner_(inner) {}

    std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const override {
        return Inner_.FindFiles(folder, mask);
    }
    std::vector<uint8_t> ReadFile(const std::string& path) const override { return Inner_.ReadFile(path); }
    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        Inner_.WriteFile(path, bytes);
    }
    bool FileExists(const std::string& path) const override { return Inner_.FileExists(path); }
    bool FolderExists(const std::string& path) const override { return Inner_.FolderExists(path); }
    void CreateFolder(const std::string& path) override { Inner_.CreateFolder(path); }
    bool DeleteFile(const std::string& path) override { return Inner_.DeleteFile(path); }
    bool RemoveFolder(const std::string& path) override { return Inner_.RemoveFolder(path); }
    std::optional<uint32_t> GetAttributes(const std::string& path) const override {
        return Inner_.GetAttributes(path);
    }
    bool SetAttributes(const std::string& path, uint32_t attributes) override {
        return Inner_.SetAttributes(path, attributes);
    }
    bool CopyFile(const std::string& source, const std::string& destination,
                  const TCopyProgress& progress) override {
        return Inner_.CopyFile(source, destination, progress);
    }
    std::string TempFolder() const override { return Inner_.TempFolder(); }
    std::unique_ptr<THeldFolder> OpenHeldFolder(const std::string& path) override {
        return Wrap(Inner_.OpenHeldFolder(path));
    }
    std::unique_ptr<THeldFile> OpenHeldFile(const std::string& path) override { return Inner_.OpenHeldFile(path); }

    // Called before a held folder writes the file `path` (its folder's path, "\", the name).
    virtual void BeforeHeldWrite(const std::string& /*path*/) {}

private:
    // Held folders of the inner system that tell this one of their writes.
    class THeldOver : public THeldFolder {
    public:
        THeldOver(std::unique_ptr<THeldFolder> inner, TFilesOver& owner) : Inner_(std::move(inner)), Owner_(owner) {}
        const std::string& Path() const override { return Inner_->Path(); }
        std::vector<TFileEntry> List() const override { return Inner_->List(); }
        std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const override {
            return Owner_.Wrap(Inner_->OpenFolder(name, create));
        }
        bool DeleteEntry(const std::string& name) const override { return Inner_->DeleteEntry(name); }
        void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const override {
            Owner_.BeforeHeldWrite(Path() + "\\" + name);
            Inner_->WriteFile(name, bytes);
        }
        bool CopyFileInto(const std::string& source, const std::string& name,
                          const TCopyProgress& progress) const override {
            return Inner_->CopyFileInto(source, name, progress);
        }

    private:
        std::unique_ptr<THeldFolder> Inner_;
        TFilesOver& Owner_;
    };

    std::unique_ptr<THeldFolder> Wrap(std::unique_ptr<THeldFolder> inner) {
        if (!inner) return nullptr;
        return std::make_unique<THeldOver>(std::move(inner), *this);
    }

    TFileSystem& Inner_;
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
