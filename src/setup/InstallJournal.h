#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "platform/Registry.h"

namespace marlowen {

class THeldFolder;

// What an install changes, so that a failed or cancelled one can be taken back. The journal
// hands out a platform whose file system, registry and shell note every change before they make
// it: each folder and file made, each file replaced (a copy of it is kept beside it first), each
// registry key made and each value's previous state. Undo takes everything back, the last change
// first; Commit keeps the changes and drops the copies. A journal destroyed with neither undoes.
class TInstallJournal {
public:
    explicit TInstallJournal(TPlatform& platform);
    TInstallJournal(const TInstallJournal&) = delete;
    TInstallJournal& operator=(const TInstallJournal&) = delete;
    ~TInstallJournal();

    // The platform the install's steps run on while the journal records.
    TPlatform& Platform() { return *Journaled_; }

    // Never raises: a change that cannot be taken back is left as it is and the rest go on.
    void Undo() noexcept;
    void Commit() noexcept;

private:
    class TFiles;
    class THeld;
    class TKeys;
    class TKey;
    class TShellLinks;
    friend class TFiles;
    friend class THeld;
    friend class TKeys;
    friend class TKey;
    friend class TShellLinks;

    using TValue = std::variant<std::string, uint32_t>;
    enum class TKind { Folder, File, KeptCopy, Replaced, Key, Value };
    // One change. Files: the held folder's verbatim path and the entry's name (and the name of
    // the copy a replaced file was kept under). Registry: the key, and for a value its name and
    // what it held before (none: it did not exist).
    struct TChange {
        TKind Kind;
        std::string Folder;
        std::string Name;
        std::string Copy;
        TRegistryRoot Root = TRegistryRoot::LocalMachine;
        std::optional<TValue> Before;
    };

    // Records the folder `path` and every missing parent as made (the top one first), before
    // they are made.
    void NoteMissingFolders(const std::string& path);
    // Runs `change`, which creates or replaces the entry `name` of `folder` and gives false when
    // it was cancelled, recording what it did; a file it replaces is copied aside first.
    bool ChangeEntry(const THeldFolder& folder, const std::string& name, const std::function<bool()>& change);
    // A free name for a kept copy in the folder.
    std::string CopyName(const THeldFolder& folder) const;
    void Record(TChange change) { Changes_.push_back(std::move(change)); }
    void TakeBack(const TChange& change);
    void DeleteKeptCopies() noexcept;

    TPlatform& Platform_;
    std::unique_ptr<TFiles> Files_;
    std::unique_ptr<TKeys> Registry_;
    std::unique_ptr<TShellLinks> Shell_;
    std::unique_ptr<TPlatform> Journaled_;
    std::vector<TChange> Changes_;
    bool Settled_ = false;
};

}  // namespace marlowen
