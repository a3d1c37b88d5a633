#pragma once

#include "setup/CustomSetupModule.h"

namespace marlowen {

class TLanguages;
enum class TLanguageNotify : int32_t;

// The product's setup driver: the base steps plus the Start-menu group, the shortcuts and the
// automatic-update setting.
class TSetupModule : public TCustomSetupModule {
public:
    using TCustomSetupModule::TCustomSetupModule;

    // The welcome page.
    const TSetupPageClass& FirstPageClass() const override;
    void RegisterComponents() override;
    // Also deletes the desktop shortcut, whether or not the install made one.
    void RemoveProgramGroup() override;
    // Keeps the application title in the current language while the wizard runs.
    void Install() override;

private:
    void LanguageChanged(TLanguages& sender, TLanguageNotify flag);
    void CreateProductLink(const std::string& linkFile);
};

}  // namespace marlowen
