#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"

namespace marlowen {

// A file system that passes every call on to another one, for decorators that watch or change a
// few of them (the install's journal, tests that make a call fail). The held folders it opens are
// wrapped by WrapHeld, so that a decorator sees what is done through them too.
class TFileSystemRelay : public TFileSystem {
public:
    explicit TFileSystemRelay(TFileSystem& inner) : Inner_(inner) {}

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
    std::string SystemFolder() const override { return Inner_.SystemFolder(); }
    bool CreateNewFolder(const std::string& path, TFolderRights rights) override {
        return Inner_.CreateNewFolder(path, rights);
    }
    std::unique_ptr<THeldFolder> OpenHeldFolder(const std::string& path) override {
        std::unique_ptr<THeldFolder> held = Inner_.OpenHeldFolder(path);
        return held ? WrapHeld(std::move(held)) : nullptr;
    }
    std::unique_ptr<THeldFile> OpenHeldFile(const std::string& path) override { return Inner_.OpenHeldFile(path); }

protected:
    // The held folder as this file system hands it out; as it is unless a decorator wraps it.
    virtual std::unique_ptr<THeldFolder> WrapHeld(std::unique_ptr<THeldFolder> held) { return held; }

    TFileSystem& Inner() const { return Inner_; }

private:
    TFileSystem& Inner_;
};

// A held folder that passes every call on to another one; its sub-folders are handed to `wrap`.
class THeldFolderRelay : public THeldFolder {
public:
    using TWrap = std::function<std::unique_ptr<THeldFolder>(std::unique_ptr<THeldFolder>)>;

    THeldFolderRelay(std::unique_ptr<THeldFolder> inner, TWrap wrap)
        : Inner_(std::move(inner)), Wrap_(std::move(wrap)) {}

    const std::string& Path() const override { return Inner_->Path(); }
    std::vector<TFileEntry> List() const override { return Inner_->List(); }
    std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const override {
        std::unique_ptr<THeldFolder> folder = Inner_->OpenFolder(name, create);
        return folder ? Wrap_(std::move(folder)) : nullptr;
    }
    bool DeleteEntry(const std::string& name) const override { return Inner_->DeleteEntry(name); }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const override {
        Inner_->WriteFile(name, bytes);
    }
    bool CopyFileInto(const std::string& source, const std::string& name,
                      const TCopyProgress& progress) const override {
        return Inner_->CopyFileInto(source, name, progress);
    }

protected:
    const THeldFolder& Inner() const { return *Inner_; }

private:
    std::unique_ptr<THeldFolder> Inner_;
    TWrap Wrap_;
};

}  // namespace marlowen
