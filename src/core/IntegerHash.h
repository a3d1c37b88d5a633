#pragma once

#include <cstdint>
#include <forward_list>
#include <utility>
#include <vector>

#include "core/Exception.h"

namespace marlowen {

// Chains of (unsigned 32-bit key, value reference) in key mod BucketCount buckets. Add does not
// look for duplicates; of equal keys the newest is found. Values are borrowed, never freed.
template <class T>
class TIntegerHash {
public:
    explicit TIntegerHash(int32_t bucketCount) {
        if (bucketCount <= 0) throw Exception("Неверное количество hash-корзин.");
        Buckets_.resize(static_cast<size_t>(bucketCount));
    }

    int32_t BucketCount() const { return static_cast<int32_t>(Buckets_.size()); }

    void Add(uint32_t key, T* value) { Buckets_[key % Buckets_.size()].emplace_front(key, value); }

    T* Find(uint32_t key) const {
        for (const auto& [k, value] : Buckets_[key % Buckets_.size()]) {
            if (k == key) return value;
        }
        return nullptr;
    }

    void Clear() {
        for (auto& chain : Buckets_) chain.clear();
    }

private:
    std::vector<std::forward_list<std::pair<uint32_t, T*>>> Buckets_;
};

}  // namespace marlowen
