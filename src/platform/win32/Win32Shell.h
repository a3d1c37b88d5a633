#pragma once

#include <string>

#include "platform/Shell.h"
#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32FileSystem.h"

namespace marlowen {

// The Windows shell. COM is initialised on the creating thread while the object lives.
class TWin32Shell : public TShell {
public:
    bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int32_t showCommand) override;
    // Through the desktop window's shell (IShellDispatch2::ShellExecute on the desktop view), so
    // that the program gets the desktop user's rights; Execute where no desktop shell answers.
    TUserStart ExecuteAsUser(const std::string& file, const std::string& parameters,
                             const std::string& folder) override;
    // The shell shows no error box of its own: the failure is raised with the system's text.
    void ExecuteHidden(const std::string& file, const std::string& parameters, const std::string& folder) override;
    // Through the shell's link object; a link with a path of MAX_PATH characters or more, which
    // that object cannot hold, is written in the link format by this backend's file system.
    void SaveShellLink(const std::string& linkFile, const TShellLinkData& link) override;
    // SHBrowseForFolderW, owned by the active window of the program; the root is parsed into the
    // shell namespace and the start folder selected once the dialog is up.
    bool BrowseForFolder(const TFolderBrowseRequest& request, std::string& chosen) override;

private:
    TComInitialization Com_;
    TWin32FileSystem Files_;
};

}  // namespace marlowen
