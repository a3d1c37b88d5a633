#include "skin/GraphElementRegistry.h"

#include "skin/GraphControl.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphComboBoxes.h"
#include "skin/GraphProgressBar.h"
#include "skin/GraphMenus.h"
#include "skin/GraphScrollers.h"
#include "skin/GraphTrackBars.h"

namespace marlowen {

void TGraphElementRegistry::Register(std::string elementName, TGraphControlFactory factory) {
    Add(std::make_unique<TGraphControlClassItem>(std::move(elementName), factory));
}

namespace {

void RegisterAll(TGraphElementRegistry& registry) {
    RegisterButtonElements(registry);
    RegisterCheckBoxElements(registry);
    RegisterLabelElements(registry);
    RegisterImageAndTextElements(registry);
    RegisterListElements(registry);
    registry.Register("Animator", &CreateElementOf<TGraphAnimator>);
    registry.Register("ProgressBar", &CreateElementOf<TGraphProgressBar>);
    registry.Register("ScrollBarV", &TScrollBarV::CreateElement);
    registry.Register("ScrollBarH", &TScrollBarH::CreateElement);
    registry.Register("GraphTrackBar", &CreateElementOf<TGraphTrackBar>);
    RegisterConditionElements(registry);
    RegisterFrameElements(registry);
    RegisterEditElements(registry);
    RegisterCardElements(registry);
    registry.Register("Combobox", &CreateElementOf<TGraphComboBox>);
    registry.Register("Menu", &CreateElementOf<TGraphMenu>);
}

}  // namespace

const TGraphElementRegistry& TGraphElementRegistry::Standard() {
    static TGraphElementRegistry registry;
    static const bool filled = (RegisterAll(registry), true);
    (void)filled;
    return registry;
}

}  // namespace marlowen
