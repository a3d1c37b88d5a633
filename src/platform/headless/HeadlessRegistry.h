#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "platform/Registry.h"

namespace marlowen {

// An in-memory registry. Keys and value names keep the spelling they were created with and match
// without regard to ASCII letter case. Writing under the local machine can be refused, as for a
// user without administrator rights.
class THeadlessRegistry : public TRegistry {
public:
    using TValue = std::variant<std::string, uint32_t>;

    struct TKeyData {
        std::string Path;                             // as first created
        std::map<std::string, std::pair<std::string, TValue>> Values;  // folded name → (name, value)
    };

    std::unique_ptr<TRegistryKey> OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                          bool create) override;
    bool DeleteKey(TRegistryRoot root, const std::string& path) override;

    // Refuses write access under the local machine (false) or allows it (true, the default).
    void SetLocalMachineWritable(bool writable) { LocalMachineWritable_ = writable; }

    // For tests: the key's data, or none.
    const TKeyData* Find(TRegistryRoot root, const std::string& path) const;
    bool KeyExists(TRegistryRoot root, const std::string& path) const { return Find(root, path) != nullptr; }
    // For tests: every key and value, one per line in a fixed order, to compare whole states.
    std::string Dump() const;

private:
    using TKeys = std::map<std::pair<TRegistryRoot, std::string>, std::shared_ptr<TKeyData>>;

    TKeys Keys_;
    bool LocalMachineWritable_ = true;
};

}  // namespace marlowen
