#include "core/TreeItems.h"

#include "core/Exception.h"

namespace marlowen {

TCustomTreeItem::TCustomTreeItem(std::unique_ptr<TCustomTreeItems> children)
    : Children_(children ? std::move(children) : std::make_unique<TCustomTreeItems>()) {
    Children_->OwnerItem_ = this;
}

TCustomTreeItem::~TCustomTreeItem() {
    Children_->Clear();
    Children_.reset();
    LeaveOwner();  // while Parent_ is still ours
}

TCustomTreeItem* TCustomTreeItem::NextInTree() const {
    if (Children_->First() != nullptr) return Children_->FirstItem();
    return NextSkippingChildren();
}

TCustomTreeItem* TCustomTreeItem::NextSkippingChildren() const {
    for (const TCustomTreeItem* item = this; item != nullptr; item = item->Parent_) {
        if (item->Next() != nullptr) return item->NextItem();
    }
    return nullptr;
}

TCustomTreeItem* TCustomTreeItem::PrevInTree() const {
    TCustomTreeItem* item = PrevItem();
    if (item == nullptr) return Parent_;
    while (item->Children_->Last() != nullptr) item = item->Children_->LastItem();
    return item;
}

bool TCustomTreeItem::IsAncestorOf(const TCustomTreeItem* ancestor, const TCustomTreeItem* item) {
    for (const TCustomTreeItem* p = item->Parent_; p != nullptr; p = p->Parent_) {
        if (p == ancestor) return true;
    }
    return false;
}

TCustomTreeItem* TCustomTreeItems::Add(TCustomTreeItem* item) {
    if (item->Owner() == this) return item;
    CheckOutsideSubtreeOf(*item);
    if (item->Owner() != nullptr) item->Owner()->Remove(item, false);
    AddItem(item);
    return item;
}

TCustomTreeItem* TCustomTreeItems::LastInTree() const {
    TCustomTreeItem* item = LastItem();
    if (item == nullptr) return nullptr;
    while (item->Children().Last() != nullptr) item = item->Children().LastItem();
    return item;
}

void TCustomTreeItems::CheckOutsideSubtreeOf(const TCustomTreeItem& item) const {
    if (OwnerItem_ != nullptr &&
        (&item == OwnerItem_ || TCustomTreeItem::IsAncestorOf(&item, OwnerItem_))) {
        throw Exception("Нельзя переместить элемент внутрь его собственного поддерева.");
    }
}

void TCustomTreeItems::ItemAdding(TCustomItem& item) {
    auto* treeItem = dynamic_cast<TCustomTreeItem*>(&item);
    if (treeItem == nullptr) throw Exception("В список дерева можно добавить только элемент дерева.");
    CheckOutsideSubtreeOf(*treeItem);
    treeItem->Parent_ = OwnerItem_;
}

void TCustomTreeItems::ItemRemoving(TCustomItem& item) noexcept {
    static_cast<TCustomTreeItem&>(item).Parent_ = nullptr;
}

}  // namespace marlowen
