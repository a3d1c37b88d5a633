#include "setup/CustomSetupModule.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/MultiLanguageException.h"
#include "core/SafePath.h"
#include "core/Utf.h"
#include "platform/Application.h"
#include "platform/SystemFileError.h"
#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "setup/InstallJournal.h"
#include "setup/Product.h"
#include "setup/SetupTexts.h"
#include "setup/SystemIntegration.h"
#include "setup/UpdateFlow.h"
#include "setup/UpdateLevel.h"

namespace marlowen {

namespace {

constexpr std::u16string_view kInitializing = u"[rus]Инициализация...[eng]Initialization...";
constexpr std::u16string_view kRegistering = u"[rus]Регистрация компонент...[eng]Registration...";
constexpr std::u16string_view kFinishing = u"[rus]Завершение установки...[eng]Finishing...";
constexpr std::u16string_view kCopying = u"[rus]Копируется [eng]Copy ";
constexpr std::u16string_view kCopyError = u"[rus]Ошибка при копировании файлов[eng]Copy file error";
constexpr std::u16string_view kCopyFileError =
    u"[rus]Ошибка при копировании файла %s[eng]Copy file error: %s";
constexpr std::u16string_view kCopyFileFailed =
    u"[rus]Ошибка при копировании файла %s\n%s[eng]Copy file error: %s\n%s";
constexpr std::u16string_view kAlreadyInstalled =
    u"[rus]Приложение Marlowen уже установлено на Вашем компьютере.[eng]Marlowen already installed.";
constexpr std::u16string_view kConfirmRemove =
    u"[rus]Вы действительно хотите удалить Marlowen с вашего компьютера?"
    u"[eng]Are you sure to remove Marlowen from your computer?";

constexpr const char* kBatchFile = "ui.bat";

using SetupTexts::Raise;
using SetupTexts::Resolve;

[[noreturn]] void RaiseCopyFileError(const std::string& path) {
    throw EMultiLanguageException::CreateFmt(std::u16string(kCopyFileError), {Utf8ToUtf16(PlainSpelling(path))});
}

// The file and the system's own reason ("There is not enough space on the disk.").
[[noreturn]] void RaiseCopyFileError(const std::string& path, const ESystemFileError& error) {
    throw EMultiLanguageException::CreateFmt(std::u16string(kCopyFileFailed),
                                             {Utf8ToUtf16(PlainSpelling(path)), Utf8ToUtf16(error.Reason())});
}

// Runs the module's steps on another platform (the install's journal) while it lives.
class TPlatformSwitch {
public:
    TPlatformSwitch(TPlatform*& current, TPlatform& replacement) : Current_(current), Saved_(current) {
        Current_ = &replacement;
    }
    TPlatformSwitch(const TPlatformSwitch&) = delete;
    TPlatformSwitch& operator=(const TPlatformSwitch&) = delete;
    ~TPlatformSwitch() { Current_ = Saved_; }

private:
    TPlatform*& Current_;
    TPlatform* Saved_;
};

// The listing of a source folder. A missing folder is the copy error; one that exists but cannot
// be listed is named, so that an unreadable part of the distribution is never skipped silently.
std::vector<TFileEntry> ListSource(const TFileSystem& files, const std::string& folder) {
    if (!files.FolderExists(folder)) Raise(kCopyError);
    try {
        return ListFolder(files, folder);
    } catch (const Exception&) {
        RaiseCopyFileError(folder);
    }
}

bool IsFolder(const TFileEntry& entry) { return (entry.Attributes & FileAttribute::Directory) != 0; }

// cmd expands "%" even inside quotes; doubled, it stands for itself.
std::string BatchEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        escaped += c;
        if (c == '%') escaped += '%';
    }
    return escaped;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Builds the batch text. cmd reads a batch file in the OEM code page, so a name that is not plain
// ASCII cannot be spelt in it; such a name travels as a parameter of the (Unicode) start call and
// the text refers to it as %~N.
class TBatchWriter {
public:
    std::string Name(const std::string& text) {
        if (IsAscii(text)) return BatchEscaped(text);
        // A name never holds '"', so quoting alone keeps it one parameter.
        if (!Parameters_.empty()) Parameters_ += ' ';
        Parameters_ += "\"" + text + "\"";
        return "%~" + std::to_string(++Count_);
    }
    const std::string& Parameters() const { return Parameters_; }

private:
    std::string Parameters_;
    int Count_ = 0;
};

}  // namespace

TSelfDeleteBatch SelfDeleteBatch(const std::string& installFolder, const std::string& exeName,
                                 const std::string& systemFolder, const std::string& batchFolder) {
    TBatchWriter writer;
    const std::string folder = writer.Name(installFolder);
    const std::string exe = "\"" + folder + "\\" + writer.Name(exeName) + "\"";
    // Every program by its full path: cmd would look in the working folder first.
    const std::string system = writer.Name(systemFolder);
    const std::string ping = "\"" + system + "\\ping.exe\"";
    const std::string cmd = "\"" + system + "\\cmd.exe\"";
    const std::string own = "\"" + writer.Name(batchFolder) + "\"";
    TSelfDeleteBatch batch;
    batch.Lines = {
        "set T=0",
        ":try",
        "del " + exe,
        // One try a second for a minute: the process ends long before, a file that never goes
        // must not keep a hidden loop running forever.
        "if exist " + exe + " if %T% lss 60 (set /a T+=1 >nul & " + ping + " -n 2 127.0.0.1 >nul & goto try)",
        "RD \"" + folder + "\"",
        // One line, read whole before the file goes: the batch file, then its own folder. Where
        // the file goes only once cmd lets go of it (some emulations), a detached cmd removes the
        // folder a moment later.
        "del \"%~f0\" & (RD " + own + " 2>nul || start \"\" /b " + cmd + " /c \"" + ping + " -n 3 127.0.0.1 >nul & RD " +
            own + "\")",
    };
    batch.Parameters = writer.Parameters();
    return batch;
}

// Normalised first: "C:\\.", "C:\\Windows\\.." and "C:\\..." are the drive's root.
bool IsRemovableFolder(const std::string& folder) { return IsBelowRoot(folder); }

TCustomSetupModule::TCustomSetupModule(TPlatform& platform) : Platform_(&platform) {
    InstallFolder = GetSpecialFolder(platform, SpecialFolder::ProgramFiles) + "\\" + Product::Name;
    ProgramGroup = GetSpecialFolder(platform, SpecialFolder::CommonPrograms) + "\\" + Product::Name;
    SetupFolder = ExtractFileDir(platform.Application.ExecutablePath());
}

void TCustomSetupModule::ReportProgress(const std::string& text, int32_t percent) {
    if (OnProgress) OnProgress(text, percent);
}

void TCustomSetupModule::CopyProgress(bool& cancel, int64_t fileSize, int64_t fileDone) {
    if (fileSize > 0) {
        // A file that grew since the size pass must not push the bar past its end.
        const int64_t done = std::min(CopiedBytes + fileDone, TotalBytes);
        const int64_t percent = TotalBytes > 0 ? done * 100 / TotalBytes : 100;
        ReportProgress(Resolve(kCopying) + CurrentFileName + "...", static_cast<int32_t>(percent));
    }
    cancel = Platform_->Application.Terminated();
    if (cancel) Platform_->Application.Beep();
}

int64_t TCustomSetupModule::TreeSize(const std::string& folder) const {
    int64_t size = 0;
    for (const TFileEntry& entry : ListSource(Platform_->Files, folder)) {
        const std::string path = JoinPath(folder, entry.Name);
        if (IsFolder(entry) && SamePath(path, InstallFolder)) continue;
        size += IsFolder(entry) ? TreeSize(path) : entry.Size;
    }
    return size;
}

bool TCustomSetupModule::CopyTree(const std::string& source, const THeldFolder& target) {
    TFileSystem& files = Platform_->Files;
    for (const TFileEntry& entry : ListSource(files, source)) {
        const std::string from = JoinPath(source, entry.Name);
        const std::string destination = JoinPath(target.Path(), entry.Name);
        if (IsFolder(entry)) {
            // An install folder inside the setup folder would otherwise copy into itself forever;
            // compared normalised, so that no spelling of it ("Target\\", "target") gets past.
            if (SamePath(from, InstallFolder)) continue;
            std::unique_ptr<THeldFolder> folder;
            try {
                folder = target.OpenFolder(entry.Name, true);
            } catch (const ESystemFileError& error) {
                RaiseCopyFileError(destination, error);
            }
            if (!folder) RaiseCopyFileError(destination);
            if (!CopyTree(from, *folder)) return false;
            continue;
        }
        if (Platform_->Application.Terminated()) return false;
        CurrentFileName = entry.Name;
        bool copied = false;
        try {
            copied = CopyFileWithProgress(
                target, from, entry.Name,
                [this](bool& cancel, int64_t fileSize, int64_t fileDone) { CopyProgress(cancel, fileSize, fileDone); });
        } catch (const ESystemFileError& error) {
            RaiseCopyFileError(destination, error);
        }
        if (!copied) {
            // Only a stop request cancels a copy.
            if (Platform_->Application.Terminated()) return false;
            RaiseCopyFileError(destination);
        }
        files.SetAttributes(destination, FileAttribute::Archive);
        CopiedBytes += entry.Size;
    }
    return true;
}

void TCustomSetupModule::MakeInstallFolder(const TSafePath& target) {
    // Every folder the install makes is locked down like the program files folder, wherever it is,
    // so that nobody but an administrator can replace what the next elevated update starts.
    TFileSystem& files = Platform_->Files;
    for (size_t count = 1; count <= target.Parts().size(); ++count) {
        const TSafePath folder = target.Ancestor(count);
        if (files.FolderExists(folder.Text())) continue;
        try {
            files.CreateNewFolder(folder.Text(), TFolderRights::ProgramFiles);
        } catch (const ESystemFileError& error) {
            RaiseCopyFileError(folder.Display(), error);
        }
    }
}

void TCustomSetupModule::CopyFiles() {
    // Both folders in the one spelling the calls receive: names from the listings are joined to
    // them as they are, and the install folder is held, from its root down, while it is filled.
    const std::optional<TSafePath> target = TSafePath::FromAbsolute(InstallFolder);
    if (!target || target->Parts().empty()) RaiseCopyFileError(InstallFolder);
    const std::optional<TSafePath> verbatimSource = TSafePath::FromAbsolute(SetupFolder);
    const std::string source = verbatimSource ? verbatimSource->Text() : SetupFolder;
    TotalBytes = 0;
    CopiedBytes = 0;
    TotalBytes = TreeSize(source);
    MakeInstallFolder(*target);
    const std::unique_ptr<THeldFolder> held = Platform_->Files.OpenHeldFolder(target->Text());
    if (!held) RaiseCopyFileError(InstallFolder);
    CopyTree(source, *held);
}

void TCustomSetupModule::RegisterComponents() { WriteUpdateLevel(Platform_->Registry, 1); }

std::string TCustomSetupModule::ProductExecutablePath() const {
    return InstallFolder + "\\" + Product::Executable;
}

void TCustomSetupModule::RegisterUninstall() {
    WriteUninstallInfo(Platform_->Registry, Product::Name, InstallFolder, ProductExecutablePath(), ProgramGroup,
                       InstallFolder + "\\" + Product::SetupExecutable + " /uninstall", Product::Name);
}

void TCustomSetupModule::UnregisterUninstall() { DeleteUninstallInfo(Platform_->Registry, Product::Name); }

// Both folders come from the registry; an entry that names no proper folder (empty, a drive)
// must never turn into deleting a whole drive.
void TCustomSetupModule::RemoveInstallFolder() {
    if (IsRemovableFolder(InstallFolder)) DeleteFolderTree(Platform_->Files, InstallFolder);
}

void TCustomSetupModule::RemoveProgramGroup() {
    if (IsRemovableFolder(ProgramGroup)) DeleteFolderTree(Platform_->Files, ProgramGroup);
}

std::string TCustomSetupModule::MakeBatchFolder(const std::string& parent) {
    // A fresh folder only administrators and the system can enter, under a name nobody can guess
    // or take first: made exclusively, a name that exists already is never used.
    static constexpr char kHex[] = "0123456789abcdef";
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = std::string(Product::Name) + "-";
        for (uint8_t byte : Platform_->Application.RandomBytes(16)) {
            name += kHex[byte >> 4];
            name += kHex[byte & 15];
        }
        const std::string folder = parent + "\\" + name;
        if (Platform_->Files.CreateNewFolder(folder, TFolderRights::AdminsOnly)) return folder;
    }
    throw Exception("No folder of its own for the batch file in " + parent);
}

void TCustomSetupModule::ScheduleSelfDelete() {
    TFileSystem& files = Platform_->Files;
    std::string system;
    std::string batch;
    TSelfDeleteBatch text;
    try {
        system = files.SystemFolder();
        // The Windows folder's own temporary folder: users may add to it, not change what others made.
        const std::string folder = MakeBatchFolder(ExtractFileDir(system) + "\\Temp");
        text = SelfDeleteBatch(InstallFolder, ExtractFileName(Platform_->Application.ExecutablePath()), system, folder);
        std::string content;
        for (const std::string& line : text.Lines) content += line + "\r\n";
        batch = folder + "\\" + kBatchFile;
        files.WriteFile(batch, std::vector<uint8_t>(content.begin(), content.end()));
    } catch (const Exception&) {
        // Without the batch file the setup executable and its folder stay; nothing else is lost.
        return;
    }
    Platform_->Shell.ExecuteHidden(batch, text.Parameters, system);
}

void TCustomSetupModule::Install() {
    Platform_->Application.SetTitle(Resolve(SetupTexts::InstallTitle));
    SetupTexts::RequireAdministrator(Platform_->Registry);
    TUninstallInfo info;
    if (ReadUninstallInfo(Platform_->Registry, Product::Name, info)) Raise(kAlreadyInstalled);
    if (!WizardRunner) throw Exception("The install has no window to run in.");
    WizardRunner(*this);
}

void TCustomSetupModule::Uninstall(bool ask) {
    const std::string title = Resolve(SetupTexts::RemoveTitle);
    Platform_->Application.SetTitle(title);
    SetupTexts::RequireAdministrator(Platform_->Registry);
    TUninstallInfo info;
    info.InstallFolder = InstallFolder;
    if (!ReadUninstallInfo(Platform_->Registry, Product::Name, info)) Raise(SetupTexts::InstallInfoNotFound);
    InstallFolder = info.InstallFolder;
    ProgramGroup = info.ProgramGroup;
    if (ask) {
        const int32_t answer = Platform_->Application.MessageBox(
            Resolve(kConfirmRemove), title, MessageBoxFlag::IconQuestion | MessageBoxFlag::YesNo);
        if (answer != MessageBoxAnswer::Yes) return;
    }
    UnregisterUninstall();
    RemoveProgramGroup();
    RemoveInstallFolder();
    ScheduleSelfDelete();
}

void TCustomSetupModule::Update(const std::vector<std::string>& args) { RunUpdateFlow(*Platform_, args); }

void TCustomSetupModule::RunInstall(TProgressEvent callback) {
    OnProgress = std::move(callback);
    ReportProgress(Resolve(kInitializing), 0);
    Platform_->Application.ProcessMessages();
    if (Platform_->Application.Terminated()) return;
    // Every change of the steps goes through the journal; leaving this block by a failure or a
    // stop request takes them all back, so that a failed install leaves the machine as it was.
    TInstallJournal journal(*Platform_);
    {
        const TPlatformSwitch journaled(Platform_, journal.Platform());
        CopyFiles();
        if (Platform_->Application.Terminated()) return;
        ReportProgress(Resolve(kRegistering), 100);
        RegisterComponents();
        RegisterUninstall();
    }
    journal.Commit();
    ReportProgress(Resolve(kFinishing), 100);
}

}  // namespace marlowen
