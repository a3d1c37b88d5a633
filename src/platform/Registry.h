#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/Exception.h"

namespace marlowen {

enum class TRegistryRoot { LocalMachine, CurrentUser };

// Access rights, with the values the Windows API uses.
namespace RegistryAccess {
constexpr uint32_t Read = 0x20019;       // KEY_READ
constexpr uint32_t ReadWrite = 0x2001F;  // KEY_READ | KEY_WRITE
}  // namespace RegistryAccess

// An open registry key; closed when destroyed. Value names match without regard to the case of
// ASCII letters (Windows folds other letters too, the headless registry does not); the empty name
// is the key's default value. Writes raise an Exception when they fail.
class TRegistryKey {
public:
    virtual ~TRegistryKey() = default;

    virtual bool ValueExists(const std::string& name) const = 0;
    // None when the value is absent; raises when it holds another type.
    virtual std::optional<std::string> ReadString(const std::string& name) const = 0;
    virtual std::optional<uint32_t> ReadInteger(const std::string& name) const = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void WriteInteger(const std::string& name, uint32_t value) = 0;
    // False when there was no such value or it could not be deleted.
    virtual bool DeleteValue(const std::string& name) = 0;

    // A boolean is stored as the 32-bit number 0 or 1; any non-zero number reads as true.
    std::optional<bool> ReadBoolean(const std::string& name) const {
        const auto value = ReadInteger(name);
        return value ? std::optional<bool>(*value != 0) : std::nullopt;
    }
    void WriteBoolean(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
};

// The registry: keys under the local-machine and current-user roots, paths with "\" between the
// parts, matched without regard to the case of ASCII letters. A 32-bit program sees the registry's 32-bit view.
class TRegistry {
public:
    virtual ~TRegistry() = default;

    // The key opened with the access rights, created with its missing parents when `create` is
    // set; none when it does not exist (and is not to be created) or the rights are refused.
    virtual std::unique_ptr<TRegistryKey> OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                                  bool create) = 0;
    // Deletes the key with its values (a key that has subkeys stays); false when it did not go.
    virtual bool DeleteKey(TRegistryRoot root, const std::string& path) = 0;

    // OpenKey for a key the caller cannot do without: raises `failure` instead of giving none.
    // The one place for that pattern, so that every such key fails with the same words.
    std::unique_ptr<TRegistryKey> OpenKeyOrRaise(TRegistryRoot root, const std::string& path, uint32_t access,
                                                 bool create, const char* failure = kNoRegistryAccess) {
        auto key = OpenKey(root, path, access, create);
        if (!key) throw Exception(failure);
        return key;
    }

    static constexpr const char* kNoRegistryAccess = "Нет доступа к реестру Windows";
};

}  // namespace marlowen
