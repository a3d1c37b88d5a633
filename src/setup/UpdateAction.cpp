#include "setup/UpdateAction.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/FilePaths.h"
#include "core/MultiLanguageException.h"
#include "core/Utf.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "setup/SystemIntegration.h"
#include "setup/UpdatePackage.h"
#include "storage/DataRecords.h"

namespace marlowen {

namespace {

constexpr std::u16string_view kOutsidePath =
    u"[rus]Пакет обновления указывает путь вне установленного приложения: \"%s\"."
    u"[eng]The update package names a path outside the installation: \"%s\".";

bool Acts(const std::string& action) { return !action.empty() && (action[0] == 'D' || action[0] == 'U'); }

// The text of a field, or "" when the table does not define it.
std::string TextIfDefined(const TDataRecord& record, const char* name) {
    return record.Owner().FieldDefs().Find(name) != nullptr ? record.GetText(name) : std::string();
}

void RequireContained(const std::string& part) {
    if (!IsContainedPath(part)) {
        throw EMultiLanguageException::CreateFmt(std::u16string(kOutsidePath), {Utf8ToUtf16(part)});
    }
}

// The paths one record names. An empty Path gives "files\\name", which Windows accepts.
struct TActionPaths {
    std::string FileName;
    std::string Link;
    std::string Path;
    std::string Folder;     // filesFolder\Path
    std::string File;       // Folder\FileName
    std::string LinkFile;   // linksFolder\Link.lnk
};

TActionPaths ReadPaths(const std::string& filesFolder, const std::string& linksFolder, const TDataRecord& record) {
    TActionPaths paths;
    paths.FileName = record.GetText(UpdateField::FileName);
    paths.Path = record.GetText(UpdateField::Path);
    paths.Link = record.GetText(UpdateField::Link);
    for (const std::string* part : {&paths.Path, &paths.FileName, &paths.Link}) RequireContained(*part);
    paths.Folder = filesFolder + "\\" + paths.Path;
    paths.File = paths.Folder + "\\" + paths.FileName;
    paths.LinkFile = linksFolder + "\\" + paths.Link + ".lnk";
    return paths;
}

void DeleteParts(TFileSystem& files, const TActionPaths& paths) {
    if (!paths.FileName.empty()) files.DeleteFile(paths.File);
    if (!paths.Link.empty()) files.DeleteFile(paths.LinkFile);
    if (!paths.Path.empty()) files.RemoveFolder(paths.Folder);
}

void UpdateParts(TPlatform& platform, const TActionPaths& paths, const TDataRecord& record) {
    if (!paths.FileName.empty()) {
        platform.Files.CreateFolder(paths.Folder);
        const std::string& body = record.GetBlob(UpdateField::Body).Data();
        // Written beside and then put in place: a file in use keeps its old content intact.
        platform.Files.WriteFile(paths.File, std::vector<uint8_t>(body.begin(), body.end()));
    }
    if (!paths.Link.empty()) {
        platform.Files.DeleteFile(paths.LinkFile);
        const std::string target = paths.FileName.empty() ? paths.Folder + "\\" : paths.File;
        CreateShellLink(platform, paths.LinkFile, target, paths.Folder, -1, "", paths.Link);
    }
}

}  // namespace

void ApplyUpdateAction(TPlatform& platform, const std::string& filesFolder, const std::string& linksFolder,
                       const TDataRecord& record) {
    const std::string action = record.GetText(UpdateField::Action);
    if (!Acts(action)) return;
    const TActionPaths paths = ReadPaths(filesFolder, linksFolder, record);
    if (action[0] == 'D') {
        DeleteParts(platform.Files, paths);
    } else {
        UpdateParts(platform, paths, record);
    }
}

void CheckUpdateActionPaths(const TDataRecord& record) {
    if (!Acts(TextIfDefined(record, UpdateField::Action))) return;
    for (const char* field : {UpdateField::Path, UpdateField::FileName, UpdateField::Link}) {
        RequireContained(TextIfDefined(record, field));
    }
}

}  // namespace marlowen
