// The menu from the keyboard, as a system menu bar answers it.
//
// Focused and passive, the top row shows the focus on one item: Left and Right move it (going
// round); Return, Space, Down and Up open its popup, the menu becoming active (Up highlights the
// last item); Return and Space click a top item without children.
// Active: Up and Down walk the deepest open list; Right opens the current item's popup, or from a
// leaf moves on to the next top item's popup; Left closes the deepest popup below the first, or
// moves back to the previous top item's popup; Return and Space open a branch or click a leaf
// (leaving the active state first, as a click with the mouse does); Escape leaves.

#include <algorithm>
#include <vector>

#include "platform/WindowHost.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphContainer.h"
#include "skin/GraphMenus.h"

namespace marlowen {

namespace {

bool Usable(const TCustomMenuItem& item) { return item.Visible && item.Enabled; }

// The usable item after `from` in the list (none or not in it: the first; backwards: the last),
// going round; none when no other item is usable.
TCustomMenuItem* Step(const TMenuItems& list, const TCustomMenuItem* from, bool forward) {
    std::vector<TCustomMenuItem*> items;
    for (TCustomMenuItem* item : list.MenuItems()) {
        if (Usable(*item) || item == from) items.push_back(item);
    }
    const auto at = std::find(items.begin(), items.end(), from);
    if (at == items.end()) {
        if (items.empty()) return nullptr;
        return forward ? items.front() : items.back();
    }
    const size_t n = items.size();
    const auto i = static_cast<size_t>(at - items.begin());
    TCustomMenuItem* next = items[forward ? (i + 1) % n : (i + n - 1) % n];
    return next != from ? next : nullptr;
}

const TCustomMenuItem* TopItemOf(const TCustomMenuItem* item) {
    while (item != nullptr && !item->TopLevel()) item = item->ParentItem();
    return item;
}

bool IsOpenKey(uint32_t key) {
    return key == VirtualKey::Return || key == VirtualKey::Space || key == VirtualKey::Down || key == VirtualKey::Up;
}

bool IsClickKey(uint32_t key) { return key == VirtualKey::Return || key == VirtualKey::Space; }

}  // namespace

TCustomMenuItem* TGraphMenu::KeyItem() const {
    if (TCustomMenuItem* deepest = Deepest_.Get(); deepest != nullptr && deepest->Expanded()) {
        if (TCustomMenuItem* selected = deepest->Items().SelectedItem()) return selected;
        return deepest;
    }
    return Items_->SelectedItem();
}

const TAccessiblePart* TGraphMenu::FocusedPart() const {
    if (State_ != TState::Active && !Focused()) return nullptr;
    return KeyItem();
}

std::vector<const TAccessiblePart*> TGraphMenu::AccessibleParts() const {
    std::vector<const TAccessiblePart*> parts;
    for (const TCustomMenuItem* item : Items_->MenuItems()) {
        if (item->Visible) parts.push_back(item);
    }
    return parts;
}

void TGraphMenu::NotifyItem(uint32_t event, const TCustomMenuItem& item) const {
    if (const TCustomGraphContainer* container = GetContainer()) container->Accessible().NotifyPart(event, item);
}

// --- focus ---

void TGraphMenu::DoEnter() {
    if (Items_->SelectedItem() == nullptr) {
        if (TCustomMenuItem* first = Step(*Items_, nullptr, true)) Select(first);
    } else if (TCustomMenuItem* item = Items_->SelectedItem()) {
        NotifyItem(AccEvent::Focus, *item);
    }
    Invalidate();
}

void TGraphMenu::DoExit() {
    if (State_ == TState::Passive) Select(nullptr);
    Invalidate();
}

// --- keys ---

void TGraphMenu::DoKeyDown(uint32_t virtualKey, bool /*extended*/, bool /*repeated*/, bool& processed) {
    if (State_ == TState::Active) {
        ActiveKeyDown(virtualKey, processed);
    } else {
        PassiveKeyDown(virtualKey, processed);
    }
}

void TGraphMenu::PassiveKeyDown(uint32_t virtualKey, bool& processed) {
    processed = false;
    if (virtualKey == VirtualKey::Left || virtualKey == VirtualKey::Right) {
        processed = true;
        StepTopRow(Items_->SelectedItem(), virtualKey == VirtualKey::Right, false);
        Invalidate();
        return;
    }
    if (!IsOpenKey(virtualKey)) return;
    TCustomMenuItem* item = Items_->SelectedItem();
    if (item == nullptr || !Usable(*item)) item = Step(*Items_, nullptr, true);
    if (item == nullptr) return;
    processed = true;
    if (!item->HasChildren()) {
        // The click may free the menu: it is the last thing done.
        if (IsClickKey(virtualKey)) item->Click();
        return;
    }
    const bool atLast = virtualKey == VirtualKey::Up;
    EnterWith(*item, [this, atLast](TCustomMenuItem& chosen) {
        Select(&chosen);
        OpenByKey(chosen, atLast);
    });
}

void TGraphMenu::ActiveKeyDown(uint32_t virtualKey, bool& processed) {
    processed = true;
    TCustomMenuItem* current = KeyItem();
    switch (virtualKey) {
        case VirtualKey::Escape: Leave(); return;
        case VirtualKey::Up:
        case VirtualKey::Down: {
            if (current == nullptr) {
                StepTopRow(nullptr, true, false);
            } else if (current->TopLevel()) {
                if (current->HasChildren()) OpenByKey(*current, virtualKey == VirtualKey::Up);
            } else if (TCustomMenuItem* next =
                           Step(current->ParentItem()->Items(), current, virtualKey == VirtualKey::Down)) {
                CollapseOthers(next);
                Select(next);
            }
            return;
        }
        case VirtualKey::Right:
            if (current != nullptr && !current->TopLevel() && current->HasChildren() && current->Enabled) {
                OpenByKey(*current, false);
                return;
            }
            StepTopRow(TopItemOf(current), true, true);
            return;
        case VirtualKey::Left:
            if (current != nullptr && !current->TopLevel() && !current->ParentItem()->TopLevel()) {
                Collapse(*current->ParentItem());
                return;
            }
            StepTopRow(TopItemOf(current), false, true);
            return;
        case VirtualKey::Return:
        case VirtualKey::Space:
            if (current != nullptr) ItemAction(*current);
            return;
        default: processed = false; return;
    }
}

void TGraphMenu::OpenByKey(TCustomMenuItem& item, bool atLast) {
    Tasks_.clear();
    Expand(item);
    if (!item.Expanded()) return;
    if (TCustomMenuItem* first = Step(item.Items(), nullptr, !atLast)) Select(first);
}

void TGraphMenu::StepTopRow(const TCustomMenuItem* from, bool forward, bool open) {
    TCustomMenuItem* next = Step(*Items_, from, forward);
    if (next == nullptr) return;
    Tasks_.clear();
    CollapseOthers(next);
    Select(next);
    if (open && next->HasChildren()) OpenByKey(*next, false);
}

void TGraphMenu::EnterWith(TCustomMenuItem& item, std::function<void(TCustomMenuItem&)> then) {
    const TWeakRef<TCustomMenuItem> chosen(&item);
    if (TCustomGraphContainer* container = GetContainer()) {
        container->SetActiveMenu(this);
    } else {
        Activate();
    }
    // The activation's handlers may have freed the menu (and the item with it).
    TCustomMenuItem* still = chosen.Get();
    if (still == nullptr || State_ != TState::Active || !still->Enabled) return;
    then(*still);
}

// --- the person's default action ---

void TGraphMenu::ItemAction(TCustomMenuItem& item) {
    // Only what shows can be acted on: a closed popup's items do not.
    if (!item.Enabled || (!item.TopLevel() && !item.ParentItem()->Expanded())) return;
    if (!item.HasChildren()) {
        const TWeakRef<TCustomMenuItem> clicked(&item);
        if (State_ == TState::Active) Leave();
        if (TCustomMenuItem* still = clicked.Get()) still->Click();
        return;
    }
    if (item.Expanded()) {
        Collapse(item);
        return;
    }
    if (State_ == TState::Active) {
        Select(&item);
        OpenByKey(item, false);
        return;
    }
    EnterWith(item, [this](TCustomMenuItem& chosen) {
        Select(&chosen);
        OpenByKey(chosen, false);
    });
}

}  // namespace marlowen
