#include "setup/SetupPages.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/MultiLanguageException.h"
#include "core/SafePath.h"
#include "core/Utf.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "setup/FormSetup.h"
#include "setup/Product.h"
#include "setup/SetupModule.h"
#include "setup/SetupTexts.h"
#include "setup/SystemIntegration.h"
#include "skin/GraphButtons.h"
#include "skin/GraphCheckBoxes.h"
#include "skin/GraphContainer.h"
#include "skin/GraphEdits.h"
#include "skin/GraphLabels.h"
#include "skin/GraphProgressBar.h"
#include "skin/Resources.h"

namespace marlowen {

namespace {

using SetupTexts::Resolve;

constexpr std::u16string_view kHintFolder = u"[rus]Выбрать директорию[eng]Select folder";
constexpr std::u16string_view kHintGroup = u"[rus]Выбрать группу программ[eng]Select program group";
constexpr std::u16string_view kPromptFolder =
    u"[rus]Выберите директорию для установки Marlowen и нажмите «ОК».[eng]Select a folder in the list below, then "
    u"click OK.";
constexpr std::u16string_view kPromptGroup =
    u"[rus]Укажите группу программ для Marlowen и нажмите «OK».[eng]Select a folder in the list below, then click "
    u"OK.";
constexpr std::u16string_view kRootRefused =
    u"[rus]Marlowen нельзя установить в корень диска %s. Выберите папку на этом диске.[eng]Marlowen cannot be "
    u"installed into the root of the drive %s. Please choose a folder on it.";
constexpr std::u16string_view kProgramsRefused =
    u"[rus]Для ярлыков Marlowen нужна своя группа внутри меню «Программы», а не само меню.[eng]Please choose a "
    u"group of its own for the Marlowen shortcuts inside the Programs menu, not the Programs menu itself.";
constexpr std::u16string_view kFolderUnusable =
    u"[rus]В папку %s нельзя установить Marlowen. Укажите полный путь к папке на существующем диске, например "
    u"C:\\Program Files\\Marlowen.[eng]Marlowen cannot be installed into %s. Please give the full path of a folder "
    u"on an existing drive, such as C:\\Program Files\\Marlowen.";
constexpr std::u16string_view kGroupInUse =
    u"[rus]В группе %s уже есть другие ярлыки. Выберите для Marlowen отдельную группу.[eng]The group %s already "
    u"holds other shortcuts. Please choose a group of its own for Marlowen.";
constexpr std::u16string_view kFolderInUse =
    u"[rus]Папка %s уже существует и не пуста. Установить Marlowen в неё?[eng]The folder %s already exists and is "
    u"not empty. Install Marlowen into it anyway?";

// The second button (No) is the default of the box (MB_DEFBUTTON2).
constexpr uint32_t kSecondButtonDefault = 0x100;

// Names of the optional controls the directory page shows the install on.
constexpr const char* kProgressBar = "ProgressInstall";
constexpr const char* kProgressLabel = "LabelProgress";

bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithAscii(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

std::u16string Wide(std::u16string_view tagged) { return Utf8ToUtf16(Resolve(tagged)); }

void ShowWarning(TApplication& application, const std::string& text) {
    application.MessageBox(text, application.Title(), MessageBoxFlag::IconError);
}

std::string Formatted(std::u16string_view tagged, const std::string& argument) {
    return EMultiLanguageException::CreateFmt(std::u16string(tagged), {Utf8ToUtf16(argument)}).Message();
}

}  // namespace

std::string WithProductFolder(const std::string& picked) {
    std::string folder = picked;
    while (folder.size() > 1 && folder.back() == '\\' && !(folder.size() == 3 && folder[1] == ':')) folder.pop_back();
    if (SameTextAscii(ExtractFileName(folder), Product::Name)) return folder;
    return JoinPath(folder, Product::Name);
}

// --- TFrameWelcome ---

const TSetupPageClass& TFrameWelcome::Class() {
    static const TSetupPageClass pageClass{"Welcome", &MakeSetupPage<TFrameWelcome>};
    return pageClass;
}

TFrameWelcome::TFrameWelcome(const TSkinContext& context, TSetupModule& module)
    : TFrameSetup(context, module) {
    LoadFromXML(context.Resources.GetXML(kDocument));
}

void TFrameWelcome::Next() { Form().ShowPage(TFrameDirectory::Class()); }

// --- TFrameDirectory ---

const TSetupPageClass& TFrameDirectory::Class() {
    static const TSetupPageClass pageClass{"Directory", &MakeSetupPage<TFrameDirectory>};
    return pageClass;
}

TFrameDirectory::TFrameDirectory(const TSkinContext& context, TSetupModule& module)
    : TFrameSetup(context, module) {
    LoadFromXML(context.Resources.GetXML(kDocument));
    Controls().GetControl<TCustomGraphButton>("ButtonDirectory").OnClick =
        Reaction(&TFrameDirectory::BrowseInstallFolder);
    Controls().GetControl<TCustomGraphButton>("ButtonProgramGroup").OnClick =
        Reaction(&TFrameDirectory::BrowseProgramGroup);
    Controls().GetControl<TGraphCheckBox>("CheckBoxCreateDesctopIcons").OnClick =
        Reaction(&TFrameDirectory::DesktopChoice);
    Module().EnableAutoUpdate = true;
}

std::string TFrameDirectory::GroupDisplay(const std::string& group) const {
    const std::string startMenu = ExtractFilePath(GetSpecialFolder(Context().Platform, SpecialFolder::CommonPrograms));
    if (startMenu.empty() || !StartsWithAscii(group, startMenu)) return group;
    return group.substr(startMenu.size());
}

void TFrameDirectory::Enter() {
    TFrameSetup::Enter();
    const TSetupModule& module = Module();
    TGraphControls& controls = Controls();
    controls.GetControl<TGraphEdit>("EditInstallFolder").SetText(Utf8ToUtf16(module.InstallFolder));
    controls.GetControl<TGraphEdit>("EditProgramGroup").SetText(Utf8ToUtf16(GroupDisplay(module.ProgramGroup)));
    controls.GetControl<TGraphCheckBox>("CheckBoxCreateDesctopIcons").SetChecked(module.CreateDesktopIcons);
    controls.GetControl<TCustomGraphButton>("ButtonDirectory").Hint = Wide(kHintFolder);
    controls.GetControl<TCustomGraphButton>("ButtonProgramGroup").Hint = Wide(kHintGroup);
}

void TFrameDirectory::BrowseInstallFolder() {
    TPlatform& platform = Context().Platform;
    TSetupModule& module = Module();
    TFolderBrowseRequest request;
    request.Prompt = Resolve(kPromptFolder);
    request.StartFolder = platform.Files.FolderExists(module.InstallFolder)
                              ? module.InstallFolder
                              : GetSpecialFolder(platform, SpecialFolder::ProgramFiles);
    std::string chosen;
    if (!platform.Shell.BrowseForFolder(request, chosen)) return;
    // Removal deletes the install folder's whole tree: the product gets a folder of its own.
    const std::string folder = WithProductFolder(chosen);
    if (!AcceptInstallFolder(folder)) return;
    module.InstallFolder = folder;
    Controls().GetControl<TGraphEdit>("EditInstallFolder").SetText(Utf8ToUtf16(folder));
}

void TFrameDirectory::BrowseProgramGroup() {
    TPlatform& platform = Context().Platform;
    TSetupModule& module = Module();
    const std::string programs = GetSpecialFolder(platform, SpecialFolder::CommonPrograms);
    TFolderBrowseRequest request;
    request.Prompt = Resolve(kPromptGroup);
    request.Root = programs;
    request.StartFolder = module.ProgramGroup;
    std::string chosen;
    if (!platform.Shell.BrowseForFolder(request, chosen)) return;
    // Removal deletes the group's whole tree: never the Programs menu itself.
    if (SamePath(chosen, programs) || !IsRemovableFolder(chosen)) {
        ShowWarning(platform.Application, Resolve(kProgramsRefused));
        return;
    }
    if (!AcceptGroupContents(chosen)) return;
    module.ProgramGroup = chosen;
    Controls().GetControl<TGraphEdit>("EditProgramGroup").SetText(Utf8ToUtf16(GroupDisplay(chosen)));
}

void TFrameDirectory::DesktopChoice() {
    Module().CreateDesktopIcons = Controls().GetControl<TGraphCheckBox>("CheckBoxCreateDesctopIcons").Checked();
}

bool TFrameDirectory::AcceptInstallFolder(const std::string& folder) const {
    if (IsRemovableFolder(folder)) return true;
    ShowWarning(Context().Platform.Application, Formatted(kRootRefused, folder));
    return false;
}

bool TFrameDirectory::AcceptGroupContents(const std::string& group) const {
    TPlatform& platform = Context().Platform;
    if (!platform.Files.FolderExists(group)) return true;
    for (const TFileEntry& entry : ListFolder(platform.Files, group)) {
        if (!SameTextAscii(entry.Name, std::string(Product::Name) + ".lnk")) {
            ShowWarning(platform.Application, Formatted(kGroupInUse, GroupDisplay(group)));
            return false;
        }
    }
    return true;
}

bool TFrameDirectory::TakeTypedFolder() {
    TSetupModule& module = Module();
    TGraphEdit& edit = Controls().GetControl<TGraphEdit>("EditInstallFolder");
    const std::string typed = Utf16ToUtf8(edit.GetText());
    if (typed == module.InstallFolder) return true;
    // A full path on a drive that is there, in a spelling every file call reads alike.
    TPlatform& platform = Context().Platform;
    const std::optional<TSafePath> path = TSafePath::FromAbsolute(typed);
    if (!path || !platform.Files.FolderExists(path->Ancestor(0).Text())) {
        ShowWarning(platform.Application, Formatted(kFolderUnusable, typed));
        return false;
    }
    // Removal deletes the install folder's whole tree: the product gets a folder of its own.
    const std::string folder = WithProductFolder(path->Display());
    if (!AcceptInstallFolder(folder)) return false;
    module.InstallFolder = folder;
    edit.SetText(Utf8ToUtf16(folder));
    return true;
}

bool TFrameDirectory::TakeTypedGroup() {
    TSetupModule& module = Module();
    TGraphEdit& edit = Controls().GetControl<TGraphEdit>("EditProgramGroup");
    const std::string typed = Utf16ToUtf8(edit.GetText());
    if (typed == GroupDisplay(module.ProgramGroup)) return true;
    // Shown below the Start menu's folder, so typed that way too; a full path is taken whole.
    TPlatform& platform = Context().Platform;
    const std::string programs = GetSpecialFolder(platform, SpecialFolder::CommonPrograms);
    const std::string group = IsAbsolutePath(typed) ? typed : JoinPath(ExtractFilePath(programs), typed);
    // Removal deletes the group's whole tree: a group of its own inside the Programs menu.
    if (!TSafePath::FromAbsolute(group) || SamePath(group, programs) || !IsPathInside(group, programs)) {
        ShowWarning(platform.Application, Resolve(kProgramsRefused));
        return false;
    }
    if (!AcceptGroupContents(group)) return false;
    module.ProgramGroup = group;
    edit.SetText(Utf8ToUtf16(GroupDisplay(group)));
    return true;
}

bool TFrameDirectory::ConfirmUsedFolder(const std::string& folder) const {
    TPlatform& platform = Context().Platform;
    if (!platform.Files.FolderExists(folder) || ListFolder(platform.Files, folder).empty()) return true;
    TApplication& application = platform.Application;
    const uint32_t flags = MessageBoxFlag::IconQuestion | MessageBoxFlag::YesNo | kSecondButtonDefault;
    return application.MessageBox(Formatted(kFolderInUse, folder), application.Title(), flags) ==
           MessageBoxAnswer::Yes;
}

void TFrameDirectory::ShowProgress(const std::string& text, int32_t percent) {
    auto* bar = dynamic_cast<TGraphProgressBar*>(Controls().FindControl(kProgressBar));
    if (bar == nullptr) return;
    auto* label = dynamic_cast<TGraphTextLabel*>(Controls().FindControl(kProgressLabel));
    const bool textChanged = label != nullptr && text != ProgressText_;
    if (bar->Visible() && bar->Position() == percent && !textChanged) return;
    bar->SetVisible(true);
    bar->SetPosition(percent);
    if (textChanged) {
        ProgressText_ = text;
        label->SetVisible(true);
        label->SetCaption(Utf8ToUtf16(text));
    }
    // The copy holds the thread: the page paints now, and the system gets to see the window live.
    if (TCustomGraphContainer* container = GetContainer()) container->PaintNow();
    Context().Platform.Application.ProcessMessages();
}

void TFrameDirectory::RunInstall() {
    TSetupModule& module = Module();
    const TFormSetup::TBusyScope busy(Form());
    // The page's buttons look as dead as they are while the files are copied; the page stays
    // (nothing can close or leave it meanwhile), so they come back when the install fails.
    // A failed install has been taken back: its progress goes with it.
    struct TInstalling {
        TFrameDirectory& Page;
        std::vector<TCustomGraphControl*> Buttons;
        ~TInstalling() {
            Page.Module().OnProgress = nullptr;
            for (TCustomGraphControl* button : Buttons) button->SetEnabled(true);
            for (const char* name : {kProgressBar, kProgressLabel}) {
                if (TCustomGraphControl* control = Page.Controls().FindControl(name)) control->SetVisible(false);
            }
            Page.ProgressText_.clear();
        }
    } installing{*this, {}};
    for (const char* name : {"ButtonNext", "ButtonPrev", "ButtonDirectory", "ButtonProgramGroup"}) {
        TCustomGraphControl* button = Controls().FindControl(name);
        if (button == nullptr || !button->Enabled()) continue;
        button->SetEnabled(false);
        installing.Buttons.push_back(button);
    }
    module.RunInstall([this](const std::string& text, int32_t percent) { ShowProgress(text, percent); });
}

void TFrameDirectory::Next() {
    TSetupModule& module = Module();
    module.EnableAutoUpdate = Controls().GetControl<TGraphCheckBox>("CheckBoxEnableAutoUpdate").Checked();
    // What the edits show is what gets installed: text typed into them counts as a choice.
    if (!TakeTypedFolder() || !TakeTypedGroup()) return;
    if (!AcceptInstallFolder(module.InstallFolder) || !AcceptGroupContents(module.ProgramGroup)) return;
    if (!ConfirmUsedFolder(module.InstallFolder)) return;
    RunInstall();
    if (Context().Platform.Application.Terminated()) return;
    Form().ShowPage(TFrameSummary::Class());
}

void TFrameDirectory::Back() { Form().ShowPage(TFrameWelcome::Class()); }

// --- TFrameSummary ---

const TSetupPageClass& TFrameSummary::Class() {
    static const TSetupPageClass pageClass{"Summary", &MakeSetupPage<TFrameSummary>};
    return pageClass;
}

TFrameSummary::TFrameSummary(const TSkinContext& context, TSetupModule& module)
    : TFrameSetup(context, module) {
    LoadFromXML(context.Resources.GetXML(kDocument));
    Controls().GetControl<TCustomGraphButton>("ButtonFinish").OnClick = Reaction(&TFrameSetup::Next);
}

void TFrameSummary::Next() {
    TPlatform& platform = Context().Platform;
    if (Controls().GetControl<TGraphCheckBox>("CheckBoxStartProgram").Checked()) {
        TUninstallInfo info;
        if (ReadUninstallInfo(platform.Registry, Product::Name, info) && platform.Files.FileExists(info.DefaultValue)) {
            // The product runs with the user's own rights, never with the setup's.
            platform.Shell.ExecuteAsUser(info.DefaultValue, "", ExtractFileDir(info.DefaultValue));
        }
    }
    platform.Application.Terminate();
}

}  // namespace marlowen
