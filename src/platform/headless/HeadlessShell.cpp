#include "platform/headless/HeadlessShell.h"

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/shared/ShellLinkFile.h"

namespace marlowen {

namespace {

bool IsAbsolute(const std::string& path) {
    return (path.size() >= 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
}

}  // namespace

bool THeadlessShell::CanStart(const std::string& file, const std::string& folder) const {
    if (RefuseStarts_ || file.empty()) return false;
    if (file.find("://") != std::string::npos) return true;  // a URL goes to its handler
    const std::string path = IsAbsolute(file) || folder.empty() ? file : folder + "\\" + file;
    return Files_.FileExists(path) || Files_.FolderExists(path);
}

bool THeadlessShell::Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                             const std::string& folder, int32_t showCommand) {
    if (!CanStart(file, folder)) return false;
    Started_.push_back({false, verb, file, parameters, folder, showCommand});
    return true;
}

void THeadlessShell::ExecuteHidden(const std::string& file, const std::string& parameters, const std::string& folder) {
    if (RefuseStarts_) throw Exception("Access is denied.");
    if (!CanStart(file, folder)) throw Exception("The system cannot find the file specified.");
    Started_.push_back({true, std::string(), file, parameters, folder, ShowCommand::Hide});
}

TUserStart THeadlessShell::ExecuteAsUser(const std::string& file, const std::string& parameters,
                                         const std::string& folder) {
    if (NoDesktopShell) {
        return Execute("open", file, parameters, folder, ShowCommand::ShowNormal) ? TUserStart::Directly
                                                                                  : TUserStart::Failed;
    }
    if (RefuseStarts_ || !CanStart(file, folder)) return TUserStart::Failed;
    TStarted started;
    started.AsUser = true;
    started.Verb = "open";
    started.File = file;
    started.Parameters = parameters;
    started.Folder = folder;
    started.ShowCommand = ShowCommand::ShowNormal;
    Started_.push_back(std::move(started));
    return TUserStart::AsUser;
}

void THeadlessShell::SaveShellLink(const std::string& linkFile, const TShellLinkData& link) {
    const std::string folder = ExtractFileDir(linkFile);
    if (folder.empty() || !Files_.FolderExists(folder)) {
        throw Exception("The system cannot find the path specified: \"" + linkFile + "\".");
    }
    Files_.WriteFile(linkFile, WriteShellLinkFile(link));
}

bool THeadlessShell::BrowseForFolder(const TFolderBrowseRequest& request, std::string& chosen) {
    BrowseRequests_.push_back(request);
    if (FolderChoices.empty()) return false;
    const std::optional<std::string> choice = std::move(FolderChoices.front());
    FolderChoices.pop_front();
    if (!choice) return false;
    chosen = *choice;
    return true;
}

}  // namespace marlowen
