#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"

namespace marlowen {

void RegisterLabelElements(TGraphElementRegistry& /*registry*/) {}

}  // namespace marlowen
