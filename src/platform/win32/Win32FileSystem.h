#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace marlowen {

// The form of `path` the W file functions accept at any length: absolute ("\\?\C:\…", or
// "\\?\UNC\server\share\…" for "\\server\share\…"), "/" read as "\", doubled separators collapsed
// and "." / ".." resolved; a relative path is taken from the current folder. A path that already
// starts with "\\?\" or "\\.\" is passed as it is; the empty path stays empty.
std::wstring LongPath(const std::string& path);

// The rights CreateNewFolder gives, in the system's security descriptor language; null for
// TFolderRights::Inherited.
const wchar_t* FolderRightsDescriptor(TFolderRights rights);

// Files and folders through the Windows file API, at any path length.
class TWin32FileSystem : public TFileSystem {
public:
    std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const override;
    std::vector<uint8_t> ReadFile(const std::string& path) const override;
    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    void CreateFolder(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    std::optional<uint32_t> GetAttributes(const std::string& path) const override;
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    bool CopyFile(const std::string& source, const std::string& destination, const TCopyProgress& progress) override;
    std::string TempFolder() const override;
    std::string SystemFolder() const override;
    bool CreateNewFolder(const std::string& path, TFolderRights rights) override;
    std::unique_ptr<THeldFolder> OpenHeldFolder(const std::string& path) override;
    std::unique_ptr<THeldFile> OpenHeldFile(const std::string& path) override;
};

}  // namespace marlowen
