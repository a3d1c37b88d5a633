#pragma once

#include <cstdint>
#include <string>

namespace marlowen {

// Show commands, with the values the Windows API uses.
namespace ShowCommand {
constexpr int32_t Hide = 0;
constexpr int32_t ShowNormal = 1;
}  // namespace ShowCommand

// What a shell link (".lnk") holds.
struct TShellLinkData {
    std::string Target;         // the file the link starts
    std::string WorkingFolder;
    std::string Arguments;
    std::string Description;
    int32_t IconIndex = -1;     // below 0: no icon location (the target's own icon)
};

// How ExecuteAsUser started a program.
enum class TUserStart {
    AsUser,    // by the desktop's shell, with the signed-in user's own rights
    Directly,  // by this process (no desktop shell took it), with this process's rights
    Failed,    // not at all
};

// What the folder-browse dialog is asked to show.
struct TFolderBrowseRequest {
    std::string Prompt;        // the text above the folder tree
    std::string Root;          // the only subtree shown; empty: the whole shell namespace
    std::string StartFolder;   // preselected when it exists; empty: none
};

// The Windows shell: starting programs and documents, and shell links.
class TShell {
public:
    virtual ~TShell() = default;

    // Starts `file` with the verb ("open"; empty for the default action), the parameters, the
    // working folder and the show command. False when it could not be started.
    virtual bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int32_t showCommand) = 0;
    // Opens `file` shown normally with the rights of the user signed in at the desktop, not this
    // process's (which may be an administrator's): the desktop's shell is asked to start it. Where
    // there is no such shell to ask, it is started as Execute does and the result says so.
    virtual TUserStart ExecuteAsUser(const std::string& file, const std::string& parameters,
                                     const std::string& folder) = 0;
    // Starts `file` hidden through the extended execute call with its default action and the
    // working folder; raises the platform's error when it cannot be started.
    virtual void ExecuteHidden(const std::string& file, const std::string& parameters, const std::string& folder) = 0;

    // Writes the link file (replacing one that exists); the link's folder must exist. Paths of
    // any length are saved, the link file's own and the target's. Raises the platform's error on
    // failure (a missing folder, a link file in use), leaving an old link as it was.
    virtual void SaveShellLink(const std::string& linkFile, const TShellLinkData& link) = 0;

    // The folder-browse dialog, modal over the program's windows: only file-system folders can be
    // chosen, and the dialog offers to make a new folder. True with the chosen folder's full path
    // when the user confirms; false on cancel.
    virtual bool BrowseForFolder(const TFolderBrowseRequest& request, std::string& chosen) = 0;
};

}  // namespace marlowen
