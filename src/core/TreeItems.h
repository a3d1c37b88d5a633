#pragma once

#include <memory>

#include "core/CustomItems.h"

namespace marlowen {

class TCustomTreeItems;

// A list item that is also a tree node: it owns a list of children and knows its parent.
class TCustomTreeItem : public TCustomItem {
public:
    // `children` lets a derived class choose the class of its child list; by default a plain
    // TCustomTreeItems. Either way the list belongs to this item.
    explicit TCustomTreeItem(std::unique_ptr<TCustomTreeItems> children = nullptr);
    ~TCustomTreeItem() override;

    TCustomTreeItem* Parent() const { return Parent_; }
    TCustomTreeItems& Children() const { return *Children_; }

    TCustomTreeItem* PrevItem() const { return static_cast<TCustomTreeItem*>(Prev()); }
    TCustomTreeItem* NextItem() const { return static_cast<TCustomTreeItem*>(Next()); }

    // Pre-order walk: children come before later siblings.
    TCustomTreeItem* NextInTree() const;
    TCustomTreeItem* NextSkippingChildren() const;
    TCustomTreeItem* PrevInTree() const;

    // True when `ancestor` is item's parent, its parent's parent, and so on.
    static bool IsAncestorOf(const TCustomTreeItem* ancestor, const TCustomTreeItem* item);

private:
    friend class TCustomTreeItems;
    TCustomTreeItem* Parent_ = nullptr;
    std::unique_ptr<TCustomTreeItems> Children_;
};

// A list of tree items. The children of an item have that item as OwnerItem; a list without one
// holds roots.
class TCustomTreeItems : public TCustomItems {
public:
    TCustomTreeItems() = default;

    TCustomTreeItem* OwnerItem() const { return OwnerItem_; }
    TCustomTreeItem* FirstItem() const { return static_cast<TCustomTreeItem*>(First()); }
    TCustomTreeItem* LastItem() const { return static_cast<TCustomTreeItem*>(Last()); }

    using TCustomItems::Add;
    // Moves an item here: nothing when it is already in this list; an item of another list is
    // first removed from it (not freed). Moving an item under itself or its own descendant raises.
    TCustomTreeItem* Add(TCustomTreeItem* item);

    // From Last, the deepest last descendant.
    TCustomTreeItem* LastInTree() const;

protected:
    void ItemAdding(TCustomItem& item) override;
    void ItemRemoving(TCustomItem& item) noexcept override;

private:
    friend class TCustomTreeItem;
    // Refuses a cycle: an item cannot become a child of itself or of its own descendant.
    void CheckOutsideSubtreeOf(const TCustomTreeItem& item) const;

    TCustomTreeItem* OwnerItem_ = nullptr;
};

}  // namespace marlowen
