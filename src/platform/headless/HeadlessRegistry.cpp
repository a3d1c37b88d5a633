#include "platform/headless/HeadlessRegistry.h"

#include "core/Exception.h"
#include "core/StringHash.h"

namespace marlowen {

namespace {

std::string Fold(const std::string& text) { return UpperCase(text); }

// Drops empty parts, so "a\\b\" and "a\b" name the same key.
std::string Normalise(const std::string& path) {
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) {
            if (!result.empty()) result += '\\';
            result.append(path, start, end - start);
        }
        start = end + 1;
    }
    return result;
}

class THeadlessKey : public TRegistryKey {
public:
    THeadlessKey(std::shared_ptr<THeadlessRegistry::TKeyData> data, bool writable)
        : Data_(std::move(data)), Writable_(writable) {}

    bool ValueExists(const std::string& name) const override { return Data_->Values.count(Fold(name)) != 0; }

    std::optional<std::string> ReadString(const std::string& name) const override {
        return Read<std::string>(name, "строковым");
    }
    std::optional<uint32_t> ReadInteger(const std::string& name) const override {
        return Read<uint32_t>(name, "числовым");
    }
    void WriteString(const std::string& name, const std::string& value) override { Write(name, value); }
    void WriteInteger(const std::string& name, uint32_t value) override { Write(name, value); }

    bool DeleteValue(const std::string& name) override {
        return Writable_ && Data_->Values.erase(Fold(name)) != 0;
    }

private:
    template <class T>
    std::optional<T> Read(const std::string& name, const char* kind) const {
        const auto found = Data_->Values.find(Fold(name));
        if (found == Data_->Values.end()) return std::nullopt;
        if (const T* value = std::get_if<T>(&found->second.second)) return *value;
        throw Exception("Параметр реестра '" + name + "' не является " + kind + ".");
    }

    void Write(const std::string& name, THeadlessRegistry::TValue value) {
        if (!Writable_) throw Exception("Не удаётся записать параметр реестра '" + name + "'.");
        Data_->Values[Fold(name)] = {name, std::move(value)};
    }

    std::shared_ptr<THeadlessRegistry::TKeyData> Data_;
    bool Writable_;
};

}  // namespace

std::unique_ptr<TRegistryKey> THeadlessRegistry::OpenKey(TRegistryRoot root, const std::string& path,
                                                         uint32_t access, bool create) {
    const bool wantsWrite = (access & ~RegistryAccess::Read & 0xFFFF) != 0;
    if (wantsWrite && root == TRegistryRoot::LocalMachine && !LocalMachineWritable_) return nullptr;
    const std::string normal = Normalise(path);
    auto found = Keys_.find({root, Fold(normal)});
    if (found == Keys_.end()) {
        if (!create) return nullptr;
        // Missing parents come into being with the key.
        std::string parent;
        size_t start = 0;
        while (start <= normal.size()) {
            size_t end = normal.find('\\', start);
            if (end == std::string::npos) end = normal.size();
            parent = normal.substr(0, end);
            auto& data = Keys_[{root, Fold(parent)}];
            if (!data) data = std::make_shared<TKeyData>(TKeyData{parent, {}});
            start = end + 1;
        }
        found = Keys_.find({root, Fold(normal)});
    }
    return std::make_unique<THeadlessKey>(found->second, wantsWrite);
}

bool THeadlessRegistry::DeleteKey(TRegistryRoot root, const std::string& path) {
    if (root == TRegistryRoot::LocalMachine && !LocalMachineWritable_) return false;
    const std::string folded = Fold(Normalise(path));
    const auto found = Keys_.find({root, folded});
    if (found == Keys_.end()) return false;
    const std::string prefix = folded + "\\";
    const auto child = Keys_.lower_bound({root, prefix});
    if (child != Keys_.end() && child->first.first == root && child->first.second.compare(0, prefix.size(), prefix) == 0) {
        return false;  // has subkeys
    }
    Keys_.erase(found);
    return true;
}

const THeadlessRegistry::TKeyData* THeadlessRegistry::Find(TRegistryRoot root, const std::string& path) const {
    const auto found = Keys_.find({root, Fold(Normalise(path))});
    return found != Keys_.end() ? found->second.get() : nullptr;
}

std::string THeadlessRegistry::Dump() const {
    std::string text;
    for (const auto& [place, key] : Keys_) {
        text += (place.first == TRegistryRoot::LocalMachine ? "HKLM\\" : "HKCU\\") + key->Path + "\n";
        for (const auto& [folded, value] : key->Values) {
            text += "  " + value.first + " = ";
            if (const auto* string = std::get_if<std::string>(&value.second)) {
                text += "\"" + *string + "\"\n";
            } else {
                text += std::to_string(std::get<uint32_t>(value.second)) + "\n";
            }
        }
    }
    return text;
}

}  // namespace marlowen
