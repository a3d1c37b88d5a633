#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"

namespace marlowen {

void RegisterListElements(TGraphElementRegistry& /*registry*/) {}

}  // namespace marlowen
