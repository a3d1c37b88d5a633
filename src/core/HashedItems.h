#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

#include "core/CustomItems.h"
#include "core/HashTable.h"

namespace marlowen {

// An item of a hashed list. It remembers its bucket, so it can leave its list even while its key
// is being destroyed.
class THashedItem : public TCustomItem {
public:
    ~THashedItem() override { LeaveOwner(); }

private:
    friend class THashedItems;
    int32_t Bucket_ = 0;
};

// A linked list (insertion order, owning) plus a hash table over the items' keys. Adding enters
// the item at the head of its chain, so of equal keys the latest added is found first.
class THashedItems : public TCustomItems {
public:
    explicit THashedItems(int32_t bucketCount) : Table_(bucketCount) {}

    int32_t BucketCount() const { return Table_.BucketCount(); }

protected:
    // The item's bucket, from its key. Called only for accepted items.
    virtual int32_t BucketOf(const THashedItem& item) const = 0;
    // Whether the item is of the class this list keys.
    virtual bool Accepts(const THashedItem& item) const = 0;

    // The first item of the bucket's chain for which `matches` holds, newest first.
    template <class T, class Predicate>
    T* FindInBucket(int32_t bucket, Predicate matches) const {
        for (TCustomItem* item : Table_.Chain(bucket)) {
            auto* typed = static_cast<T*>(item);
            if (matches(*typed)) return typed;
        }
        return nullptr;
    }

    void ItemAdding(TCustomItem& item) override;
    void ItemRemoving(TCustomItem& item) noexcept override;
    void ItemsClearing() noexcept override { Table_.Clear(); }

private:
    THashTable Table_;
};

// An item of a TKeyIndex. The key is fixed for the item's life.
template <class TKeyTraits>
class TKeyedItem : public THashedItem {
public:
    using TKey = typename TKeyTraits::TKey;

    explicit TKeyedItem(TKey key) : Key_(std::move(key)) {}
    const TKey& Key() const { return Key_; }

private:
    TKey Key_;
};

// A hashed list keyed by `TKeyTraits` (key type, bucket function, equality) over items of class
// TItem, which expose `Key()`.
template <class TItem, class TKeyTraits>
class TKeyIndex : public THashedItems {
public:
    using TKey = typename TKeyTraits::TKey;
    using TKeyArg = typename TKeyTraits::TKeyArg;

    explicit TKeyIndex(int32_t bucketCount) : THashedItems(bucketCount) {}

    template <class T = TItem>
    T* Add(std::unique_ptr<T> item) {
        static_assert(std::is_base_of_v<TItem, T>);
        return TCustomItems::Add(std::move(item));
    }

    TItem* Find(TKeyArg key) const {
        return FindWhere(key, [](const TItem&) { return true; });
    }

    // The newest item with this key for which `matches` holds as well.
    template <class Predicate>
    TItem* FindWhere(TKeyArg key, Predicate matches) const {
        return this->template FindInBucket<TItem>(
            TKeyTraits::Bucket(key, BucketCount()),
            [&](const TItem& item) { return TKeyTraits::Equal(item.Key(), key) && matches(item); });
    }

    TItem* First() const { return static_cast<TItem*>(TCustomItems::First()); }
    TItem* Last() const { return static_cast<TItem*>(TCustomItems::Last()); }
    TItemRange<TItem> Items() const { return this->template ItemsAs<TItem>(); }

protected:
    int32_t BucketOf(const THashedItem& item) const override {
        return TKeyTraits::Bucket(static_cast<const TItem&>(item).Key(), BucketCount());
    }
    bool Accepts(const THashedItem& item) const override {
        return dynamic_cast<const TItem*>(&item) != nullptr;
    }
};

}  // namespace marlowen
