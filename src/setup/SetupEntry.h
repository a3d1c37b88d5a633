#pragma once

#include <functional>
#include <string>
#include <vector>

namespace marlowen {

struct TPlatform;
class TCustomSetupModule;

// Runs one setup: selects English, starts the skin library from the packs beside the executable,
// runs the flow the first argument names ("/install" or none, "/uninstall", "/update"; any other
// word ends the program silently) and shows a failure in one error box. `args` are the words
// after the program name; `wizard` runs the install wizard (default: the skinned setup window on
// the platform's windows). The core library must be running.
// Returns 0 when the flow ended normally, 1 after an error box.
int RunSetup(TPlatform& platform, const std::vector<std::string>& args,
             std::function<void(TCustomSetupModule&)> wizard = {});

}  // namespace marlowen
