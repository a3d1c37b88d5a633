#pragma once

#include <memory>
#include <string>

#include "platform/Registry.h"

namespace marlowen {

// The registry as this process sees it. Strings are REG_SZ (REG_EXPAND_SZ reads as it is
// stored, unexpanded), integers REG_DWORD; a 32-bit program gets the 32-bit view, as Windows
// decides; the access mask goes to the system exactly as the caller gives it.
class TWin32Registry : public TRegistry {
public:
    std::unique_ptr<TRegistryKey> OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                          bool create) override;
    bool DeleteKey(TRegistryRoot root, const std::string& path) override;
};

}  // namespace marlowen
