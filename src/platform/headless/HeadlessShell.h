#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace marlowen {

class THeadlessFileSystem;

// The shell for tests: nothing is started, every start is recorded; shell links are written as
// real ".lnk" files (the Shell Link binary format) through the file system.
class THeadlessShell : public TShell {
public:
    struct TStarted {
        bool Hidden = false;  // through ExecuteHidden
        std::string Verb;
        std::string File;
        std::string Parameters;
        std::string Folder;
        int32_t ShowCommand = 0;
        bool AsUser = false;  // through ExecuteAsUser, by the desktop's shell
    };

    explicit THeadlessShell(THeadlessFileSystem& files) : Files_(files) {}

    // Fails (false) when the file (or folder) does not exist or starts are refused; a relative
    // name is looked for in `folder`, and a URL ("scheme://...") always starts. Only starts that
    // succeed are recorded.
    bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int32_t showCommand) override;
    // Recorded with AsUser unless the desktop's shell is gone (NoDesktopShell), when it is
    // Execute's start ("open", shown normally).
    TUserStart ExecuteAsUser(const std::string& file, const std::string& parameters,
                             const std::string& folder) override;
    // For tests: no desktop shell takes user starts (true), as on a machine without one.
    bool NoDesktopShell = false;
    // Raises "The system cannot find the file specified." for a missing file and "Access is
    // denied." while starts are refused, like the platform.
    void ExecuteHidden(const std::string& file, const std::string& parameters, const std::string& folder) override;
    // Raises when the link's folder does not exist or the file cannot be written.
    void SaveShellLink(const std::string& linkFile, const TShellLinkData& link) override;

    // Answers the next scripted choice: a folder confirms it, none cancels; without a script the
    // dialog is cancelled. Every request is recorded.
    bool BrowseForFolder(const TFolderBrowseRequest& request, std::string& chosen) override;

    const std::vector<TStarted>& Started() const { return Started_; }
    // The person's choices in the coming folder dialogs, in order (none: Cancel).
    std::deque<std::optional<std::string>> FolderChoices;
    const std::vector<TFolderBrowseRequest>& BrowseRequests() const { return BrowseRequests_; }
    // For tests: every start fails from now on (true) or works again (false).
    void RefuseStarts(bool refuse) { RefuseStarts_ = refuse; }

private:
    // Whether the file (or folder, or URL) exists to be started, relative names in `folder`.
    bool CanStart(const std::string& file, const std::string& folder) const;

    THeadlessFileSystem& Files_;
    std::vector<TStarted> Started_;
    std::vector<TFolderBrowseRequest> BrowseRequests_;
    bool RefuseStarts_ = false;
};

}  // namespace marlowen
