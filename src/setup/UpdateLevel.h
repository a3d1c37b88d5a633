#pragma once

#include <cstdint>

namespace marlowen {

class TRegistry;

// The installation's update level: the 32-bit value "UpdateLevel" under the local machine's
// product settings key. A fresh installation is at level 1; an update sets its package's level.
// An installation that never recorded a level reads as 0. A value of another type, or a key that
// cannot be opened for writing, raises.
uint32_t ReadUpdateLevel(TRegistry& registry);
void WriteUpdateLevel(TRegistry& registry, uint32_t level);

}  // namespace marlowen
