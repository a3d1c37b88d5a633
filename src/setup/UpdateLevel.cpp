#include "setup/UpdateLevel.h"

#include "platform/Registry.h"
#include "setup/Product.h"

namespace marlowen {

namespace {
constexpr const char* kUpdateLevelValue = "UpdateLevel";
}

uint32_t ReadUpdateLevel(TRegistry& registry) {
    const auto key = registry.OpenKey(TRegistryRoot::LocalMachine, Product::SettingsKey, RegistryAccess::Read, false);
    if (!key) return 0;
    return key->ReadInteger(kUpdateLevelValue).value_or(0);
}

void WriteUpdateLevel(TRegistry& registry, uint32_t level) {
    registry.OpenKeyOrRaise(TRegistryRoot::LocalMachine, Product::SettingsKey, RegistryAccess::ReadWrite, true)
        ->WriteInteger(kUpdateLevelValue, level);
}

}  // namespace marlowen
