#include "setup/SetupEntry.h"

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/Languages.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "setup/FormSetup.h"
#include "setup/SetupModule.h"
#include "skin/GraphElementRegistry.h"
#include "skin/SkinLibrary.h"

namespace marlowen {

namespace {

void ShowError(TApplication& application, const Exception& error) {
    application.MessageBox(error.Message(), application.Title(), MessageBoxFlag::IconError);
}

void RunFlow(TSetupModule& module, const std::vector<std::string>& args) {
    // Only the first word counts, compared exactly.
    if (args.empty() || args[0] == "/install") {
        module.Install();
    } else if (args[0] == "/uninstall") {
        module.Uninstall(true);
    } else if (args[0] == "/update") {
        module.Update(args);
    } else {
        module.Platform().Application.Terminate();
    }
}

// Creates the driver, hands it to the wizard it runs and runs the flow; 1 after an error box.
int RunDriver(TPlatform& platform, TSkinLibrary& skin, const std::vector<std::string>& args,
              std::function<void(TCustomSetupModule&)> wizard) {
    try {
        TSetupModule module(platform);
        if (!wizard) {
            wizard = [&skin, &module](TCustomSetupModule&) {
                const TSkinContext context{skin.Resources(), TGraphElementRegistry::Standard(), module.Platform(),
                                           *Languages};
                RunSetupWizard(context, module);
            };
        }
        module.WizardRunner = std::move(wizard);
        RunFlow(module, args);
        return 0;
    } catch (const Exception& error) {
        ShowError(platform.Application, error);
        return 1;
    }
}

}  // namespace

int RunSetup(TPlatform& platform, const std::vector<std::string>& args,
             std::function<void(TCustomSetupModule&)> wizard) {
    if (Languages) Languages->SelectLanguage(u"eng");

    TSkinLibrary skin;
    try {
        skin.Start(platform.Files, platform.Registry, ExtractFileDir(platform.Application.ExecutablePath()));
    } catch (const Exception& error) {
        ShowError(platform.Application, error);
        return 1;
    }

    const int result = RunDriver(platform, skin, args, std::move(wizard));
    try {
        skin.Shutdown();
    } catch (const Exception&) {
        // Only the remembered skin is lost; the flow's own outcome (and its box) already stands.
    }
    return result;
}

}  // namespace marlowen
