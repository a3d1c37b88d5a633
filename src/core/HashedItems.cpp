#include "core/HashedItems.h"

#include "core/Exception.h"

namespace marlowen {

void THashedItems::ItemAdding(TCustomItem& item) {
    auto* hashed = dynamic_cast<THashedItem*>(&item);
    if (hashed == nullptr || !Accepts(*hashed)) {
        throw Exception("Элемент этого класса нельзя добавить в индекс.");
    }
    const int32_t bucket = BucketOf(*hashed);
    Table_.Insert(bucket, &item);
    hashed->Bucket_ = bucket;
}

void THashedItems::ItemRemoving(TCustomItem& item) noexcept {
    Table_.RemoveEntry(static_cast<THashedItem&>(item).Bucket_, &item);
}

}  // namespace marlowen
