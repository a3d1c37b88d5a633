#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/HeldFolder.h"
#include "platform/win32/Win32Handle.h"

namespace marlowen {

// A folder held by a handle opened with FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS
// and without FILE_SHARE_DELETE: the system refuses to rename or remove it (and so to put a link in
// its place) while the handle is open. Its sub-folders keep it held through a chain of pins, and
// every entry is reached by the verbatim path of this folder plus one checked name, so no part of
// the way is left to a name that could be turned elsewhere.
class TWin32HeldFolder : public THeldFolder {
public:
    // One held folder and the folders it was opened through.
    struct TPin {
        TFileHandle Handle;
        std::shared_ptr<const TPin> Parent;
    };

    // Opens `path` (a verbatim long path) as a held folder; nullptr when it is missing, a file or
    // a link. Raises when it is there but cannot be opened.
    static std::unique_ptr<TWin32HeldFolder> Open(const std::wstring& path, std::shared_ptr<const TPin> parent);

    const std::string& Path() const override { return Path_; }
    std::vector<TFileEntry> List() const override;
    std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const override;
    bool DeleteEntry(const std::string& name) const override;
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const override;
    bool CopyFileInto(const std::string& source, const std::string& name, const TCopyProgress& progress) const override;

private:
    TWin32HeldFolder(std::wstring wide, std::shared_ptr<const TPin> pin);

    // The verbatim path of the entry `name`; raises unless `name` is one entry name.
    std::wstring EntryPath(const std::string& name) const;

    std::wstring Wide_;
    std::string Path_;
    std::shared_ptr<const TPin> Pin_;
};

// A file read through a handle that shares reading and deletion and may delete it.
class TWin32HeldFile : public THeldFile {
public:
    // Raises as TWin32FileSystem::ReadFile does; `path` names the file in errors.
    static std::unique_ptr<TWin32HeldFile> Open(const std::wstring& wide, const std::string& path);

    const std::vector<uint8_t>& Bytes() const override { return Bytes_; }
    bool Delete() override;

private:
    TFileHandle Handle_;
    bool MayDelete_ = false;
    std::vector<uint8_t> Bytes_;
};

}  // namespace marlowen
