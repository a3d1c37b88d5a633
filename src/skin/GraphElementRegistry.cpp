#include "skin/GraphElementRegistry.h"

#include "skin/GraphControl.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphProgressBar.h"

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
    RegisterConditionElements(registry);
    RegisterFrameElements(registry);
    RegisterEditElements(registry);
    RegisterCardElements(registry);
}

}  // namespace

const TGraphElementRegistry& TGraphElementRegistry::Standard() {
    static TGraphElementRegistry registry;
    static const bool filled = (RegisterAll(registry), true);
    (void)filled;
    return registry;
}

}  // namespace marlowen
