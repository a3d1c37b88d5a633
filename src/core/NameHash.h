#pragma once

#include <array>
#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/Exception.h"
#include "core/StringHash.h"

namespace marlowen {

// The bucket of a name in a TNameHash: the class of the second character (of the first when the
// name has at most two) plus 37 times the class of the last. Letters are 0..25 without regard to
// case, digits 26..35, "_" 36, anything else 0.
int32_t NameHashBucket(std::string_view name);

// A fixed table of 37 × 37 chains of (name, value reference) for short identifiers. Names match
// without regard to letter case; of equal names the newest is found. Values are borrowed.
template <class T>
class TNameHash {
public:
    static constexpr int32_t kBucketCount = 37 * 37;

    void Add(std::string name, T* value) {
        if (name.empty()) throw Exception("Пустое имя нельзя добавить в таблицу имён.");
        Buckets_[NameHashBucket(name)].emplace_front(std::move(name), value);
    }

    T* Find(std::string_view name) const {
        if (name.empty()) return nullptr;
        for (const auto& [key, value] : Buckets_[NameHashBucket(name)]) {
            if (TextEquals(key, name)) return value;
        }
        return nullptr;
    }

    void Clear() {
        for (auto& chain : Buckets_) chain.clear();
    }

private:
    std::array<std::forward_list<std::pair<std::string, T*>>, kBucketCount> Buckets_;
};

}  // namespace marlowen
