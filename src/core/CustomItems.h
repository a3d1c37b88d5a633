#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <type_traits>

namespace marlowen {

class TCustomItems;

// An element of an intrusive doubly linked list. It knows its owner, and an item that is
// destroyed while it has an owner leaves that owner first.
//
// A derived class whose owner reads the derived part while removing it (a key, a parent) calls
// LeaveOwner() in its own destructor, so that removal happens while that part is still alive.
class TCustomItem {
public:
    TCustomItem() = default;
    TCustomItem(const TCustomItem&) = delete;
    TCustomItem& operator=(const TCustomItem&) = delete;
    virtual ~TCustomItem() { LeaveOwner(); }

    TCustomItem* Prev() const { return Prev_; }
    TCustomItem* Next() const { return Next_; }
    TCustomItems* Owner() const { return Owner_; }

protected:
    // Unlinks the item from its owner, unless the owner is itself freeing its items.
    void LeaveOwner() noexcept;

private:
    friend class TCustomItems;
    TCustomItem* Prev_ = nullptr;
    TCustomItem* Next_ = nullptr;
    TCustomItems* Owner_ = nullptr;
};

// Forward iteration over a list's items as a given item class.
template <class T>
class TItemRange {
public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T**;
        using reference = T*;

        explicit iterator(TCustomItem* item) : Item_(item) {}
        T* operator*() const { return static_cast<T*>(Item_); }
        iterator& operator++() {
            Item_ = Item_->Next();
            return *this;
        }
        bool operator==(const iterator& other) const { return Item_ == other.Item_; }
        bool operator!=(const iterator& other) const { return Item_ != other.Item_; }

    private:
        TCustomItem* Item_;
    };

    explicit TItemRange(TCustomItem* first) : First_(first) {}
    iterator begin() const { return iterator(First_); }
    iterator end() const { return iterator(nullptr); }

private:
    TCustomItem* First_;
};

// An intrusive doubly linked list that owns its items.
class TCustomItems {
public:
    TCustomItems() = default;
    TCustomItems(const TCustomItems&) = delete;
    TCustomItems& operator=(const TCustomItems&) = delete;
    virtual ~TCustomItems();

    int32_t Count() const { return Count_; }
    TCustomItem* First() const { return First_; }
    TCustomItem* Last() const { return Last_; }
    // True while the list itself is freeing items.
    bool IsFreeing() const { return (Flags_ & kFreeing) != 0; }

    // Appends a free item and takes ownership of it. An item that already has an owner raises
    // (and stays with that owner).
    template <class T>
    T* Add(std::unique_ptr<T> item) {
        static_assert(std::is_base_of_v<TCustomItem, T>);
        T* raw = item.get();
        if (raw->Owner() != nullptr) item.release();  // belongs to a list; AddItem raises
        AddItem(raw);
        item.release();
        return raw;
    }

    // Unlinks the item; with `free` it is destroyed, without it the caller takes it over.
    virtual void Remove(TCustomItem* item, bool free);
    // Removes the item without freeing it and hands it to the caller.
    std::unique_ptr<TCustomItem> Extract(TCustomItem* item);
    // Relinks an item of this list as its last item. The item never leaves the list, so no hook
    // runs and whatever refers to it keeps referring to it. An item of another list raises.
    void MoveToEnd(TCustomItem* item);
    virtual void Clear();

    template <class T>
    TItemRange<T> ItemsAs() const {
        return TItemRange<T>(First_);
    }

protected:
    // Links an item that belongs to no list at the end.
    void AddItem(TCustomItem* item);

    // Hooks for lists that keep more than the links. ItemAdding runs before the item is linked
    // and may refuse it by raising; ItemRemoving runs before it is unlinked; ItemsClearing runs
    // before all items are freed.
    virtual void ItemAdding(TCustomItem& /*item*/) {}
    virtual void ItemRemoving(TCustomItem& /*item*/) noexcept {}
    virtual void ItemsClearing() noexcept {}

    // Frees every item without calling the hooks (destruction).
    void FreeAll() noexcept;

private:
    static constexpr uint8_t kFreeing = 1;

    void Unlink(TCustomItem* item) noexcept;

    int32_t Count_ = 0;
    uint8_t Flags_ = 0;
    TCustomItem* First_ = nullptr;
    TCustomItem* Last_ = nullptr;
};

}  // namespace marlowen
