#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace marlowen {

// A folder opened without following a link and held open: while it is held, nobody can rename it,
// remove it or put a link in its place, and neither can they any folder it was opened through
// (a held folder keeps its parents held). Everything it holds is named relative to it, one entry
// name at a time (IsEntryName; anything else raises), and no operation follows a link that has
// that name: elevated writes and deletes below an installation's root go through these, so that
// a folder swapped for a junction between a listing and its use cannot redirect them.
class THeldFolder {
public:
    virtual ~THeldFolder() = default;

    // The verbatim path the folder was opened at ("\\?\C:\...").
    virtual const std::string& Path() const = 0;
    // The entries as TFileSystem::FindFiles lists them. What an entry is gets decided again when
    // it is opened: the listing may be stale by then.
    virtual std::vector<TFileEntry> List() const = 0;
    // The sub-folder `name`, held in turn; nullptr when there is no such entry or it is a file or
    // a link (of any kind). With `create` a missing folder is made first. Raises when the folder
    // is there but cannot be opened, or cannot be made.
    virtual std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const = 0;
    // Removes the entry `name`: a file, a link (the link alone, whatever it leads to) or an empty
    // folder, as the entry opened without following links shows it. False when it did not go
    // (missing, read-only, in use, a folder that is not empty).
    virtual bool DeleteEntry(const std::string& name) const = 0;
    // Creates or replaces the file `name` as TFileSystem::WriteFile does (written beside, then
    // put in place); an entry of that name that is a link is replaced, never written through.
    virtual void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const = 0;
    // Copies `source` (any path) to `name` as TFileSystem::CopyFile does, through a new file that
    // then takes the place of what had that name (a link too), never through a link. False when
    // `progress` cancelled it (nothing is left behind); a copy that fails (the source cannot be
    // read, the entry is read-only or in use, the disk is full) raises an ESystemFileError naming the
    // entry and giving the system's reason, and leaves what had the name as it was.
    virtual bool CopyFileInto(const std::string& source, const std::string& name,
                              const TCopyProgress& progress) const = 0;
};

// A file read whole and held open, sharing its deletion, so that the very file that was read can
// be deleted later whatever happened to its name meanwhile (another file or a link put there).
class THeldFile {
public:
    virtual ~THeldFile() = default;

    virtual const std::vector<uint8_t>& Bytes() const = 0;
    // Deletes the file that was read, through the handle that read it; false when it did not go.
    virtual bool Delete() = 0;
};

}  // namespace marlowen
