#include "core/CustomItems.h"

#include "core/Exception.h"

namespace marlowen {

void TCustomItem::LeaveOwner() noexcept {
    if (Owner_ != nullptr && !Owner_->IsFreeing()) Owner_->Remove(this, false);
}

TCustomItems::~TCustomItems() { FreeAll(); }

void TCustomItems::AddItem(TCustomItem* item) {
    if (item->Owner_ != nullptr) throw Exception("Нельзя добавить элемент, уже относящийся к списку");
    ItemAdding(*item);
    item->Owner_ = this;
    item->Prev_ = Last_;
    item->Next_ = nullptr;
    if (Last_ != nullptr) {
        Last_->Next_ = item;
    } else {
        First_ = item;
    }
    Last_ = item;
    ++Count_;
}

void TCustomItems::Remove(TCustomItem* item, bool free) {
    if (item == nullptr) return;
    if (item->Owner_ != this) {
        throw Exception("Невозможно удалить элемент, принадлежащий другому списку.");
    }
    ItemRemoving(*item);
    Unlink(item);
    if (free) {
        Flags_ |= kFreeing;
        delete item;
        Flags_ &= ~kFreeing;
    }
}

std::unique_ptr<TCustomItem> TCustomItems::Extract(TCustomItem* item) {
    Remove(item, false);
    return std::unique_ptr<TCustomItem>(item);
}

void TCustomItems::MoveToEnd(TCustomItem* item) {
    if (item->Owner_ != this) throw Exception("Невозможно переместить элемент, принадлежащий другому списку.");
    if (item == Last_) return;
    Unlink(item);
    item->Owner_ = this;
    item->Prev_ = Last_;
    Last_->Next_ = item;
    Last_ = item;
    ++Count_;
}

void TCustomItems::Clear() {
    ItemsClearing();
    FreeAll();
}

void TCustomItems::FreeAll() noexcept {
    Flags_ |= kFreeing;
    TCustomItem* item = First_;
    while (item != nullptr) {
        TCustomItem* next = item->Next_;
        delete item;
        item = next;
    }
    Flags_ &= ~kFreeing;
    First_ = Last_ = nullptr;
    Count_ = 0;
}

void TCustomItems::Unlink(TCustomItem* item) noexcept {
    if (item->Prev_ != nullptr) {
        item->Prev_->Next_ = item->Next_;
    } else {
        First_ = item->Next_;
    }
    if (item->Next_ != nullptr) {
        item->Next_->Prev_ = item->Prev_;
    } else {
        Last_ = item->Prev_;
    }
    item->Owner_ = nullptr;
    item->Prev_ = item->Next_ = nullptr;
    --Count_;
}

}  // namespace marlowen
