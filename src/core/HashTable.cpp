#include "core/HashTable.h"

#include "core/Exception.h"

namespace marlowen {

THashTable::THashTable(int32_t bucketCount) {
    if (bucketCount <= 0) throw Exception("Неверное количество hash-корзин.");
    Buckets_.resize(static_cast<size_t>(bucketCount));
}

int32_t THashTable::CheckedBucket(int32_t bucket) const {
    if (bucket < 0 || bucket >= BucketCount()) throw Exception("Выход hash-кода за допустимые пределы.");
    return bucket;
}

void THashTable::Insert(int32_t bucket, TCustomItem* item) {
    Buckets_[CheckedBucket(bucket)].push_front(item);
}

void THashTable::RemoveEntry(int32_t bucket, TCustomItem* item) {
    TChain& chain = Buckets_[CheckedBucket(bucket)];
    for (auto before = chain.before_begin(), it = chain.begin(); it != chain.end(); before = it++) {
        if (*it == item) {
            chain.erase_after(before);
            return;
        }
    }
}

void THashTable::Clear() {
    for (TChain& chain : Buckets_) chain.clear();
}

}  // namespace marlowen
