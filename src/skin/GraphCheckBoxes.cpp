#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"

namespace marlowen {

void RegisterCheckBoxElements(TGraphElementRegistry& /*registry*/) {}

}  // namespace marlowen
