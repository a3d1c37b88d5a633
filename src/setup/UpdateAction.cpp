#include "setup/UpdateAction.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/MultiLanguageException.h"
#include "core/Utf.h"
#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"
#include "platform/Platform.h"
#include "setup/SystemIntegration.h"
#include "setup/UpdatePackage.h"
#include "storage/DataRecords.h"

namespace marlowen {

namespace {

constexpr std::u16string_view kOutsidePath =
    u"[rus]Пакет обновления указывает путь вне установленного приложения: \"%s\"."
    u"[eng]The update package names a path outside the installation: \"%s\".";
constexpr std::u16string_view kFilesOutside =
    u"[rus]Папка файлов пакета обновления \"%s\" находится вне папки установки \"%s\"."
    u"[eng]The update package's files folder \"%s\" is not inside the install folder \"%s\".";
constexpr std::u16string_view kLinksOutside =
    u"[rus]Папка ярлыков пакета обновления \"%s\" находится вне группы программ \"%s\"."
    u"[eng]The update package's shortcut folder \"%s\" is not inside the program group \"%s\".";

bool Acts(const std::string& action) { return !action.empty() && (action[0] == 'D' || action[0] == 'U'); }

// The text of a field, or "" when the table does not define it.
std::string TextIfDefined(const TDataRecord& record, const char* name) {
    return record.Owner().FieldDefs().Find(name) != nullptr ? record.GetText(name) : std::string();
}

[[noreturn]] void RaiseOutside(std::u16string_view pattern, const std::string& folder, const std::string& registered) {
    throw EMultiLanguageException::CreateFmt(std::u16string(pattern), {Utf8ToUtf16(VisiblePath(folder)),
                                                                       Utf8ToUtf16(VisiblePath(registered))});
}

// `folder` in `registered`, itself a proper folder (an entry naming a drive's root must not open
// the whole drive to a package).
std::pair<TSafePath, TSafePath> Confine(std::u16string_view pattern, const std::string& folder,
                                        const std::string& registered) {
    const std::optional<TSafePath> root = TSafePath::FromAbsolute(registered);
    const std::optional<TSafePath> inner = TSafePath::FromAbsolute(folder);
    if (!root || root->Parts().empty() || !inner || !inner->IsInside(*root)) RaiseOutside(pattern, folder, registered);
    // The root as the package spells it (the same folder, letter case aside): every call then
    // receives one spelling of the whole way.
    return {inner->Ancestor(root->Parts().size()), *inner};
}

TSafePath JoinOrRaise(const TSafePath& folder, const std::string& relative) {
    std::optional<TSafePath> joined = folder.Join(relative);
    if (!joined) throw EMultiLanguageException::CreateFmt(std::u16string(kOutsidePath), {Utf8ToUtf16(VisiblePath(relative))});
    return *joined;
}

// The paths one record names, each checked.
struct TActionPaths {
    std::string Link;                   // the field, the shortcut's description
    bool HasPath = false;
    TSafePath Folder;                   // files folder\Path
    std::optional<TSafePath> File;      // Folder\FileName
    std::optional<TSafePath> LinkFile;  // links folder\Link.lnk
};

TActionPaths ReadPaths(const TUpdateTarget& target, const TDataRecord& record) {
    const std::string fileName = record.GetText(UpdateField::FileName);
    const std::string path = record.GetText(UpdateField::Path);
    const std::string link = record.GetText(UpdateField::Link);
    TActionPaths paths{link, !path.empty(), JoinOrRaise(target.FilesFolder, path), std::nullopt, std::nullopt};
    if (!fileName.empty()) paths.File = JoinOrRaise(paths.Folder, fileName);
    if (!link.empty()) {
        JoinOrRaise(target.LinksFolder, link);
        paths.LinkFile = JoinOrRaise(target.LinksFolder, link + ".lnk");
    }
    return paths;
}

[[noreturn]] void RaiseNotFolder(const TSafePath& root, const std::vector<std::string>& parts) {
    std::string shown = root.Display();
    for (const std::string& part : parts) shown += "\\" + part;
    throw Exception("Не удаётся открыть папку \"" + shown + "\": это ссылка или файл.");
}

// The folder `parts` below `root`, held with every folder on the way (made with `create`);
// nullptr when one of them is missing, a file or a link.
std::unique_ptr<THeldFolder> HoldFolder(TFileSystem& files, const TSafePath& root, const std::vector<std::string>& parts,
                                        bool create) {
    if (create) files.CreateFolder(root.Text());
    std::unique_ptr<THeldFolder> folder = files.OpenHeldFolder(root.Text());
    for (const std::string& part : parts) {
        if (!folder) break;
        folder = folder->OpenFolder(part, create);
    }
    return folder;
}

// The held folder that holds `path` (below `root`), and the entry's name; raises with `create`
// (writes) when the way is blocked, gives nullptr without (deletes).
std::unique_ptr<THeldFolder> HoldParent(TFileSystem& files, const TSafePath& root, const TSafePath& path, bool create,
                                        std::string& name) {
    std::vector<std::string> parts = path.PartsBelow(root);
    if (parts.empty()) return nullptr;  // never the root itself
    name = parts.back();
    parts.pop_back();
    std::unique_ptr<THeldFolder> folder = HoldFolder(files, root, parts, create);
    if (!folder && create) RaiseNotFolder(root, parts);
    return folder;
}

void DeleteHeld(TFileSystem& files, const TSafePath& root, const TSafePath& path) {
    std::string name;
    if (const auto folder = HoldParent(files, root, path, false, name)) folder->DeleteEntry(name);
}

void DeleteParts(TFileSystem& files, const TUpdateTarget& target, const TActionPaths& paths) {
    if (paths.File) DeleteHeld(files, target.InstallFolder, *paths.File);
    if (paths.LinkFile) DeleteHeld(files, target.ProgramGroup, *paths.LinkFile);
    if (paths.HasPath) DeleteHeld(files, target.InstallFolder, paths.Folder);
}

void UpdateParts(TPlatform& platform, const TUpdateTarget& target, const TActionPaths& paths,
                 const TDataRecord& record) {
    if (paths.File) {
        std::string name;
        const auto folder = HoldParent(platform.Files, target.InstallFolder, *paths.File, true, name);
        const std::string& body = record.GetBlob(UpdateField::Body).Data();
        // Written beside and then put in place: a file in use keeps its old content intact.
        folder->WriteFile(name, std::vector<uint8_t>(body.begin(), body.end()));
    }
    if (paths.LinkFile) {
        // Both folders stay held while the shortcut is written: no name on either way can be
        // turned elsewhere meanwhile.
        const std::vector<std::string> folderParts = paths.Folder.PartsBelow(target.InstallFolder);
        const auto targetFolder = HoldFolder(platform.Files, target.InstallFolder, folderParts, true);
        if (!targetFolder) RaiseNotFolder(target.InstallFolder, folderParts);
        std::string name;
        const auto linkFolder = HoldParent(platform.Files, target.ProgramGroup, *paths.LinkFile, true, name);
        linkFolder->DeleteEntry(name);
        const std::string linkTarget = paths.File ? paths.File->Display() : paths.Folder.Display() + "\\";
        CreateShellLink(platform, paths.LinkFile->Display(), linkTarget, paths.Folder.Display(), -1, "", paths.Link);
    }
}

}  // namespace

TUpdateTarget ConfineUpdate(const TUninstallInfo& installed, const TUpdatePackageHeader& header) {
    const auto [installFolder, filesFolder] = Confine(kFilesOutside, header.FilesFolder, installed.InstallFolder);
    const auto [programGroup, linksFolder] = Confine(kLinksOutside, header.LinksFolder, installed.ProgramGroup);
    return TUpdateTarget{installFolder, filesFolder, programGroup, linksFolder};
}

void CheckUpdateActionPaths(const TUpdateTarget& target, const TDataRecord& record) {
    if (!Acts(TextIfDefined(record, UpdateField::Action))) return;
    JoinOrRaise(target.FilesFolder, TextIfDefined(record, UpdateField::Path));
    JoinOrRaise(target.FilesFolder, TextIfDefined(record, UpdateField::FileName));
    JoinOrRaise(target.LinksFolder, TextIfDefined(record, UpdateField::Link));
}

void ApplyUpdateAction(TPlatform& platform, const TUpdateTarget& target, const TDataRecord& record) {
    const std::string action = record.GetText(UpdateField::Action);
    if (!Acts(action)) return;
    const TActionPaths paths = ReadPaths(target, record);
    if (action[0] == 'D') {
        DeleteParts(platform.Files, target, paths);
    } else {
        UpdateParts(platform, target, paths, record);
    }
}

}  // namespace marlowen
