#pragma once

#include <cstdint>
#include <forward_list>
#include <vector>

namespace marlowen {

class TCustomItem;

// Buckets of chains of item references; new entries go to the head of a chain, so of equal keys
// the newest is met first. The table does not own the items.
class THashTable {
public:
    using TChain = std::forward_list<TCustomItem*>;

    explicit THashTable(int32_t bucketCount);

    int32_t BucketCount() const { return static_cast<int32_t>(Buckets_.size()); }

    void Insert(int32_t bucket, TCustomItem* item);
    // Unlinks the first entry of the chain that refers to item; nothing when there is none.
    void RemoveEntry(int32_t bucket, TCustomItem* item);
    void Clear();

    const TChain& Chain(int32_t bucket) const { return Buckets_[CheckedBucket(bucket)]; }

private:
    int32_t CheckedBucket(int32_t bucket) const;

    std::vector<TChain> Buckets_;
};

}  // namespace marlowen
