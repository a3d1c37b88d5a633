#include "setup/UpdateLevel.h"

#include "core/Exception.h"
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
    const auto key =
        registry.OpenKey(TRegistryRoot::LocalMachine, Product::SettingsKey, RegistryAccess::ReadWrite, true);
    if (!key) throw Exception("Нет доступа к реестру Windows");
    key->WriteInteger(kUpdateLevelValue, level);
}

}  // namespace marlowen
