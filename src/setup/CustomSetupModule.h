#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace marlowen {

class THeldFolder;
class TSafePath;

struct TPlatform;
struct TSetupPageClass;

// Progress of the install: the text to show and the percentage done (0..100).
using TProgressEvent = std::function<void(const std::string& text, int32_t percent)>;

// The setup driver: the user's choices and the steps of the install, uninstall and update flows.
// Every failure is raised (Exception or a descendant); the entry turns it into one message box.
class TCustomSetupModule {
public:
    // Computes the default install folder and program group from the special folders; raises
    // when their registry keys cannot be read.
    explicit TCustomSetupModule(TPlatform& platform);
    TCustomSetupModule(const TCustomSetupModule&) = delete;
    TCustomSetupModule& operator=(const TCustomSetupModule&) = delete;
    virtual ~TCustomSetupModule() = default;

    TProgressEvent OnProgress;
    std::string CurrentFileName;  // the file being copied, without its folder
    int64_t TotalBytes = 0;       // all bytes to copy
    int64_t CopiedBytes = 0;      // bytes of the files already copied
    std::string InstallFolder;    // default: <program files>\Marlowen
    std::string ProgramGroup;     // default: <common programs>\Marlowen
    bool CreateDesktopIcons = true;
    bool EnableAutoUpdate = true;
    // The tree the install copies: the folder of the running executable, without a final "\"
    // unless it is a drive's root ("D:\").
    std::string SetupFolder;
    // Runs the setup wizard modally from FirstPageClass; returns when its window closes.
    std::function<void(TCustomSetupModule&)> WizardRunner;

    // The class of the wizard's first page.
    virtual const TSetupPageClass& FirstPageClass() const = 0;

    virtual void ReportProgress(const std::string& text, int32_t percent);
    // The progress routine of each file copy; sets cancel when the application is terminating.
    virtual void CopyProgress(bool& cancel, int64_t fileSize, int64_t fileDone);
    virtual void CopyFiles();
    virtual void RegisterComponents();
    virtual void RegisterUninstall();
    virtual void UnregisterUninstall();
    virtual void RemoveInstallFolder();
    virtual void RemoveProgramGroup();
    virtual void ScheduleSelfDelete();

    // The flows the command line chooses.
    virtual void Install();
    virtual void Uninstall(bool ask);
    virtual void Update(const std::vector<std::string>& args);

    // The install steps, run when the user leaves the directory page. Returns early and quietly
    // when the application is terminating. A failure or a stop request takes back everything the
    // steps changed (files, folders, shortcuts, registry values) before it returns or raises.
    virtual void RunInstall(TProgressEvent callback);

    // The platform the steps run on: the one handed in, or the install's journal while it runs.
    TPlatform& Platform() const { return *Platform_; }

protected:
    std::string ProductExecutablePath() const;

private:
    // Copies the folder `source` into the held folder `target`, entry names taken verbatim from
    // the listing; false once the copy must stop. A source folder that exists but cannot be listed
    // raises the copy error naming it, and so does a target sub-folder that is a link or a file.
    bool CopyTree(const std::string& source, const THeldFolder& target);
    int64_t TreeSize(const std::string& folder) const;
    // A new folder for the self-deleting batch file in `parent`; raises when none can be made.
    std::string MakeBatchFolder(const std::string& parent);
    // Makes the install folder's missing parts, each with the program files folder's rights.
    void MakeInstallFolder(const TSafePath& target);

    TPlatform* Platform_;
};

// The batch file that deletes the setup executable `exeName` from `installFolder` once the
// running process has let go of it, removes the then empty folder, deletes itself and removes its
// own folder `batchFolder`. It retries for about a minute at most, waiting with the ping program
// of `systemFolder` named by its full path (it is started there, so nothing is looked up in a
// folder anybody else can write). Its lines are plain ASCII (cmd reads them in the OEM code page);
// a name with other characters is passed in Parameters, to be given to the start call.
struct TSelfDeleteBatch {
    std::vector<std::string> Lines;
    std::string Parameters;
};
TSelfDeleteBatch SelfDeleteBatch(const std::string& installFolder, const std::string& exeName,
                                 const std::string& systemFolder, const std::string& batchFolder);

// Whether a folder may be deleted as a whole tree: an absolute path below a drive or share root,
// judged on its normalised form.
bool IsRemovableFolder(const std::string& folder);

}  // namespace marlowen
