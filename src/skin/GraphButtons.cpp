#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"

namespace marlowen {

void RegisterButtonElements(TGraphElementRegistry& /*registry*/) {}

}  // namespace marlowen
