#include "platform/win32/Win32Registry.h"

#include <vector>

#include "core/Exception.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

// An open key; closed when destroyed.
class TWin32RegistryKey : public TRegistryKey {
public:
    explicit TWin32RegistryKey(THKey key) : Key_(std::move(key)) {}

    bool ValueExists(const std::string& name) const override;
    std::optional<std::string> ReadString(const std::string& name) const override;
    std::optional<uint32_t> ReadInteger(const std::string& name) const override;
    void WriteString(const std::string& name, const std::string& value) override;
    void WriteInteger(const std::string& name, uint32_t value) override;
    bool DeleteValue(const std::string& name) override;

private:
    // Raises the registry's wrong-type error for `name`.
    [[noreturn]] static void RaiseWrongType(const std::string& name, const char* kind);
    void Write(const std::string& name, DWORD type, const void* data, DWORD size);

    THKey Key_;
};

HKEY RootKey(TRegistryRoot root) {
    return root == TRegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

bool TWin32RegistryKey::ValueExists(const std::string& name) const {
    return RegQueryValueExW(Key_.Get(), WideText(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> TWin32RegistryKey::ReadString(const std::string& name) const {
    const std::wstring wideName = WideText(name);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG result =
            RegQueryValueExW(Key_.Get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (result == ERROR_MORE_DATA) {
            // The value may grow between two calls: ask again with what the system says it needs.
            buffer.resize(size / sizeof(wchar_t) + 2);
            continue;
        }
        if (result != ERROR_SUCCESS) {
            throw Exception("Не удаётся прочитать параметр реестра '" + name + "'. " + SystemErrorMessage(result));
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseWrongType(name, "строковым");
        // Stored strings need not end with a terminator, and may hold one early: stop at either.
        size_t length = size / sizeof(wchar_t);
        for (size_t i = 0; i < length; ++i) {
            if (buffer[i] == L'\0') {
                length = i;
                break;
            }
        }
        return Utf8Text(std::wstring_view(buffer.data(), length));
    }
}

std::optional<uint32_t> TWin32RegistryKey::ReadInteger(const std::string& name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = RegQueryValueExW(Key_.Get(), WideText(name).c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (result == ERROR_MORE_DATA) RaiseWrongType(name, "числовым");
    if (result != ERROR_SUCCESS) {
        throw Exception("Не удаётся прочитать параметр реестра '" + name + "'. " + SystemErrorMessage(result));
    }
    if (type != REG_DWORD || size != sizeof value) RaiseWrongType(name, "числовым");
    return value;
}

void TWin32RegistryKey::WriteString(const std::string& name, const std::string& value) {
    const std::wstring wide = WideText(value);
    Write(name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void TWin32RegistryKey::WriteInteger(const std::string& name, uint32_t value) {
    const DWORD data = value;
    Write(name, REG_DWORD, &data, sizeof data);
}

bool TWin32RegistryKey::DeleteValue(const std::string& name) {
    return RegDeleteValueW(Key_.Get(), WideText(name).c_str()) == ERROR_SUCCESS;
}

void TWin32RegistryKey::RaiseWrongType(const std::string& name, const char* kind) {
    throw Exception("Параметр реестра '" + name + "' не является " + kind + ".");
}

void TWin32RegistryKey::Write(const std::string& name, DWORD type, const void* data, DWORD size) {
    const LONG result =
        RegSetValueExW(Key_.Get(), WideText(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (result != ERROR_SUCCESS) {
        throw Exception("Не удаётся записать параметр реестра '" + name + "'. " + SystemErrorMessage(result));
    }
}

std::unique_ptr<TRegistryKey> TWin32Registry::OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                                      bool create) {
    const std::wstring widePath = WideText(path);
    HKEY raw = nullptr;
    const LONG result =
        create ? RegCreateKeyExW(RootKey(root), widePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 &raw, nullptr)
               : RegOpenKeyExW(RootKey(root), widePath.c_str(), 0, access, &raw);
    THKey key(result == ERROR_SUCCESS ? raw : nullptr);
    if (!key) return nullptr;
    return std::make_unique<TWin32RegistryKey>(std::move(key));
}

bool TWin32Registry::DeleteKey(TRegistryRoot root, const std::string& path) {
    // An empty path would name the root itself, which is never to be deleted.
    if (path.empty()) return false;
    return RegDeleteKeyW(RootKey(root), WideText(path).c_str()) == ERROR_SUCCESS;
}

}  // namespace marlowen
