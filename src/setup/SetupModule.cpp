#include "setup/SetupModule.h"

#include "core/Exception.h"
#include "core/LanguageSubscription.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "setup/Product.h"
#include "setup/SetupPages.h"
#include "setup/SetupTexts.h"
#include "setup/SystemIntegration.h"

namespace marlowen {

namespace {

constexpr const char* kEnableAutoUpdate = "EnableAutoUpdate";

}  // namespace

void TSetupModule::CreateProductLink(const std::string& linkFile) {
    CreateShellLink(Platform(), linkFile, ProductExecutablePath(), InstallFolder, -1, "", Product::Name);
}

const TSetupPageClass& TSetupModule::FirstPageClass() const { return TFrameWelcome::Class(); }

void TSetupModule::RegisterComponents() {
    TCustomSetupModule::RegisterComponents();
    TFileSystem& files = Platform().Files;
    files.CreateFolder(ProgramGroup);
    CreateProductLink(ProgramGroup + "\\" + Product::LinkFile);
    if (CreateDesktopIcons) {
        const std::string desktop = GetSpecialFolder(Platform(), SpecialFolder::CommonDesktop);
        files.CreateFolder(desktop);
        CreateProductLink(desktop + "\\" + Product::LinkFile);
    }

    TRegistry& registry = Platform().Registry;
    registry.OpenKeyOrRaise(TRegistryRoot::LocalMachine, Product::SettingsKey, RegistryAccess::ReadWrite, true)
        ->WriteBoolean(kEnableAutoUpdate, EnableAutoUpdate);
    // The product lets the user's value override the machine's; the installer's choice must win.
    const auto user =
        registry.OpenKeyOrRaise(TRegistryRoot::CurrentUser, Product::SettingsKey, RegistryAccess::ReadWrite, true);
    if (user->ValueExists(kEnableAutoUpdate)) user->DeleteValue(kEnableAutoUpdate);
}

void TSetupModule::RemoveProgramGroup() {
    TCustomSetupModule::RemoveProgramGroup();
    try {
        Platform().Files.DeleteFile(GetSpecialFolder(Platform(), SpecialFolder::CommonDesktop) + "\\" +
                                    Product::LinkFile);
    } catch (const Exception&) {
        // A desktop link that cannot go is left behind like any file in use.
    }
}

void TSetupModule::Install() {
    // The window title follows the language while the wizard runs.
    TLanguageSubscription subscription;
    if (Languages != nullptr) subscription = TLanguageSubscription::To<&TSetupModule::LanguageChanged>(*Languages, this);
    TCustomSetupModule::Install();
}

void TSetupModule::LanguageChanged(TLanguages&, TLanguageNotify flag) {
    if (flag != TLanguageNotify::Changed) return;
    Platform().Application.SetTitle(SetupTexts::Resolve(SetupTexts::InstallTitle));
}

}  // namespace marlowen
