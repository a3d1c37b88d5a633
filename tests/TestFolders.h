#pragma once

#include <filesystem>

namespace marlowen::testing {

// The build's distribution folder, with the default skin's pack in it. It is found from the test
// program's own folder, as the build placed both, so that the Windows tests find it under Wine
// whatever drive and folder they start in.
std::filesystem::path DistributionFolder();

}  // namespace marlowen::testing
