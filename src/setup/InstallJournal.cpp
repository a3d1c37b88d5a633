#include "setup/InstallJournal.h"

#include <functional>
#include <utility>

#include "core/Exception.h"
#include "core/SafePath.h"
#include "platform/FileSystemRelay.h"
#include "platform/HeldFolder.h"
#include "platform/Shell.h"

namespace marlowen {

namespace {

// A path as its parent's verbatim path and its own name; none for a root or a refused path.
struct TEntryPlace {
    std::string Folder;
    std::string Name;
};

// Paths come in either spelling, the plain one or the verbatim one the file calls receive.
std::optional<TSafePath> SafeOf(const std::string& path) { return TSafePath::FromAbsolute(PlainSpelling(path)); }

std::optional<TEntryPlace> PlaceOf(const std::string& path) {
    const std::optional<TSafePath> safe = SafeOf(path);
    if (!safe || safe->Parts().empty()) return std::nullopt;
    return TEntryPlace{safe->Ancestor(safe->Parts().size() - 1).Text(), safe->Parts().back()};
}

bool IsPlainFile(uint32_t attributes) {
    return (attributes & (FileAttribute::Directory | FileAttribute::ReparsePoint | FileAttribute::ReadOnly)) == 0;
}

}  // namespace

// --- the journaled file system ---

class TInstallJournal::TFiles : public TFileSystemRelay {
public:
    TFiles(TFileSystem& inner, TInstallJournal& journal) : TFileSystemRelay(inner), Journal_(journal) {}

    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        // Through the held parent, so that the file is noted (and a file it replaces kept).
        const std::optional<TEntryPlace> place = PlaceOf(path);
        const std::unique_ptr<THeldFolder> folder = place ? OpenHeldFolder(place->Folder) : nullptr;
        if (!folder) throw Exception("Не удаётся записать файл \"" + path + "\": нет папки.");
        folder->WriteFile(place->Name, bytes);
    }
    void CreateFolder(const std::string& path) override {
        Journal_.NoteMissingFolders(path);
        TFileSystemRelay::CreateFolder(path);
    }
    bool CreateNewFolder(const std::string& path, TFolderRights rights) override {
        const std::optional<TEntryPlace> place = PlaceOf(path);
        const bool made = TFileSystemRelay::CreateNewFolder(path, rights);
        if (made && place) Journal_.Record({TKind::Folder, place->Folder, place->Name, {}});
        return made;
    }

protected:
    std::unique_ptr<THeldFolder> WrapHeld(std::unique_ptr<THeldFolder> held) override;

private:
    TInstallJournal& Journal_;
};

class TInstallJournal::THeld : public THeldFolderRelay {
public:
    THeld(std::unique_ptr<THeldFolder> inner, TFiles& files, TInstallJournal& journal)
        : THeldFolderRelay(std::move(inner),
                           [&files, &journal](std::unique_ptr<THeldFolder> folder) -> std::unique_ptr<THeldFolder> {
                               return std::make_unique<THeld>(std::move(folder), files, journal);
                           }),
          Journal_(journal) {}

    std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const override {
        if (create) {
            if (std::unique_ptr<THeldFolder> existing = THeldFolderRelay::OpenFolder(name, false)) return existing;
        }
        std::unique_ptr<THeldFolder> folder = THeldFolderRelay::OpenFolder(name, create);
        if (folder && create) Journal_.Record({TKind::Folder, Path(), name, {}});
        return folder;
    }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const override {
        Journal_.ChangeEntry(Inner(), name, [&] {
            Inner().WriteFile(name, bytes);
            return true;
        });
    }
    bool CopyFileInto(const std::string& source, const std::string& name,
                      const TCopyProgress& progress) const override {
        return Journal_.ChangeEntry(Inner(), name, [&] { return Inner().CopyFileInto(source, name, progress); });
    }

private:
    TInstallJournal& Journal_;
};

std::unique_ptr<THeldFolder> TInstallJournal::TFiles::WrapHeld(std::unique_ptr<THeldFolder> held) {
    return std::make_unique<THeld>(std::move(held), *this, Journal_);
}

// --- the journaled registry ---

class TInstallJournal::TKey : public TRegistryKey {
public:
    TKey(std::unique_ptr<TRegistryKey> inner, TRegistryRoot root, std::string path, TInstallJournal& journal)
        : Inner_(std::move(inner)), Root_(root), Path_(std::move(path)), Journal_(journal) {}

    bool ValueExists(const std::string& name) const override { return Inner_->ValueExists(name); }
    std::optional<std::string> ReadString(const std::string& name) const override { return Inner_->ReadString(name); }
    std::optional<uint32_t> ReadInteger(const std::string& name) const override { return Inner_->ReadInteger(name); }
    void WriteString(const std::string& name, const std::string& value) override {
        NoteBefore(name);
        Inner_->WriteString(name, value);
    }
    void WriteInteger(const std::string& name, uint32_t value) override {
        NoteBefore(name);
        Inner_->WriteInteger(name, value);
    }
    bool DeleteValue(const std::string& name) override {
        NoteBefore(name);
        return Inner_->DeleteValue(name);
    }

private:
    // A value of a kind this registry cannot write back (binary, several strings) is replaced
    // all the same and stays replaced: the install must not fail for what another program left.
    void NoteBefore(const std::string& name) {
        TChange change{TKind::Value, Path_, name, {}, Root_, std::nullopt};
        if (Inner_->ValueExists(name)) {
            try {
                change.Before = *Inner_->ReadInteger(name);
            } catch (const Exception&) {
                try {
                    change.Before = *Inner_->ReadString(name);
                } catch (const Exception&) {
                    return;
                }
            }
        }
        Journal_.Record(std::move(change));
    }

    std::unique_ptr<TRegistryKey> Inner_;
    TRegistryRoot Root_;
    std::string Path_;
    TInstallJournal& Journal_;
};

class TInstallJournal::TKeys : public TRegistry {
public:
    TKeys(TRegistry& inner, TInstallJournal& journal) : Inner_(inner), Journal_(journal) {}

    std::unique_ptr<TRegistryKey> OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                          bool create) override {
        if (create) NoteMissingKeys(root, path);
        std::unique_ptr<TRegistryKey> key = Inner_.OpenKey(root, path, access, create);
        return key ? std::make_unique<TKey>(std::move(key), root, path, Journal_) : nullptr;
    }
    bool DeleteKey(TRegistryRoot root, const std::string& path) override { return Inner_.DeleteKey(root, path); }

private:
    // Each key on the way down that is not there yet, the top one first.
    void NoteMissingKeys(TRegistryRoot root, const std::string& path) {
        for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
            const std::string key = path.substr(0, end);
            if (!key.empty() && !Inner_.OpenKey(root, key, RegistryAccess::Read, false)) {
                Journal_.Record({TKind::Key, key, {}, {}, root, std::nullopt});
            }
            if (end == std::string::npos) break;
        }
    }

    TRegistry& Inner_;
    TInstallJournal& Journal_;
};

// --- the journaled shell ---

class TInstallJournal::TShellLinks : public TShell {
public:
    TShellLinks(TShell& inner, TInstallJournal& journal) : Inner_(inner), Journal_(journal) {}

    bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int32_t showCommand) override {
        return Inner_.Execute(verb, file, parameters, folder, showCommand);
    }
    TUserStart ExecuteAsUser(const std::string& file, const std::string& parameters,
                             const std::string& folder) override {
        return Inner_.ExecuteAsUser(file, parameters, folder);
    }
    void ExecuteHidden(const std::string& file, const std::string& parameters, const std::string& folder) override {
        Inner_.ExecuteHidden(file, parameters, folder);
    }
    void SaveShellLink(const std::string& linkFile, const TShellLinkData& link) override {
        const std::optional<TEntryPlace> place = PlaceOf(linkFile);
        const std::unique_ptr<THeldFolder> folder =
            place ? Journal_.Platform_.Files.OpenHeldFolder(place->Folder) : nullptr;
        if (!folder) throw Exception("Не удаётся записать файл \"" + linkFile + "\": нет папки.");
        Journal_.ChangeEntry(*folder, place->Name, [&] {
            Inner_.SaveShellLink(folder->Path() + "\\" + place->Name, link);
            return true;
        });
    }
    bool BrowseForFolder(const TFolderBrowseRequest& request, std::string& chosen) override {
        return Inner_.BrowseForFolder(request, chosen);
    }

private:
    TShell& Inner_;
    TInstallJournal& Journal_;
};

// --- the journal ---

TInstallJournal::TInstallJournal(TPlatform& platform)
    : Platform_(platform),
      Files_(std::make_unique<TFiles>(platform.Files, *this)),
      Registry_(std::make_unique<TKeys>(platform.Registry, *this)),
      Shell_(std::make_unique<TShellLinks>(platform.Shell, *this)),
      Journaled_(std::make_unique<TPlatform>(TPlatform{platform.Application, *Files_, *Registry_, *Shell_,
                                                       platform.Locale, platform.SystemColors, platform.Windows,
                                                       platform.Clipboard})) {}

TInstallJournal::~TInstallJournal() {
    if (!Settled_) Undo();
}

void TInstallJournal::NoteMissingFolders(const std::string& path) {
    const std::optional<TSafePath> safe = SafeOf(path);
    if (!safe) return;
    for (size_t count = 1; count <= safe->Parts().size(); ++count) {
        if (Platform_.Files.FolderExists(safe->Ancestor(count).Text())) continue;
        Record({TKind::Folder, safe->Ancestor(count - 1).Text(), safe->Parts()[count - 1], {}});
    }
}

std::string TInstallJournal::CopyName(const THeldFolder& folder) const {
    for (uint32_t number = 1;; ++number) {
        const std::string name = "~" + std::to_string(number) + ".undo";
        if (!Platform_.Files.GetAttributes(folder.Path() + "\\" + name)) return name;
    }
}

bool TInstallJournal::ChangeEntry(const THeldFolder& folder, const std::string& name,
                                  const std::function<bool()>& change) {
    const std::string path = folder.Path() + "\\" + name;
    const std::optional<uint32_t> before = Platform_.Files.GetAttributes(path);
    std::string copy;
    if (before && IsPlainFile(*before)) {
        copy = CopyName(folder);
        if (!folder.CopyFileInto(path, copy, nullptr)) throw Exception("Не удаётся сохранить файл \"" + path + "\".");
        Record({TKind::KeptCopy, folder.Path(), copy, {}});
    }
    if (!change()) return false;
    if (!before) Record({TKind::File, folder.Path(), name, {}});
    if (!copy.empty()) Record({TKind::Replaced, folder.Path(), name, copy});
    return true;
}

void TInstallJournal::TakeBack(const TChange& change) {
    TFileSystem& files = Platform_.Files;
    switch (change.Kind) {
        case TKind::Folder:
            if (const auto folder = files.OpenHeldFolder(change.Folder)) folder->DeleteEntry(change.Name);
            break;
        case TKind::File:
        case TKind::KeptCopy:
            if (const auto folder = files.OpenHeldFolder(change.Folder)) {
                // A copied file keeps its source's read-only bit, which would keep it from going.
                files.SetAttributes(folder->Path() + "\\" + change.Name, FileAttribute::Normal);
                folder->DeleteEntry(change.Name);
            }
            break;
        case TKind::Replaced:
            if (const auto folder = files.OpenHeldFolder(change.Folder)) {
                folder->CopyFileInto(change.Folder + "\\" + change.Copy, change.Name, nullptr);
            }
            break;
        case TKind::Key:
            Platform_.Registry.DeleteKey(change.Root, change.Folder);
            break;
        case TKind::Value: {
            const auto key = Platform_.Registry.OpenKey(change.Root, change.Folder, RegistryAccess::ReadWrite, false);
            if (!key) break;
            if (!change.Before) {
                key->DeleteValue(change.Name);
            } else if (const auto* text = std::get_if<std::string>(&*change.Before)) {
                key->WriteString(change.Name, *text);
            } else {
                key->WriteInteger(change.Name, std::get<uint32_t>(*change.Before));
            }
            break;
        }
    }
}

void TInstallJournal::Undo() noexcept {
    Settled_ = true;
    for (auto change = Changes_.rbegin(); change != Changes_.rend(); ++change) {
        try {
            TakeBack(*change);
        } catch (...) {
            // Left as it is; the rest is still taken back.
        }
    }
    Changes_.clear();
}

void TInstallJournal::DeleteKeptCopies() noexcept {
    for (const TChange& change : Changes_) {
        if (change.Kind != TKind::KeptCopy) continue;
        try {
            TakeBack(change);
        } catch (...) {
        }
    }
}

void TInstallJournal::Commit() noexcept {
    Settled_ = true;
    DeleteKeptCopies();
    Changes_.clear();
}

}  // namespace marlowen
