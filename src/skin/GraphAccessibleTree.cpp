#include "skin/GraphAccessibleTree.h"

#include <algorithm>
#include <string>

#include "core/StringHash.h"
#include "core/Utf.h"

#include "skin/GraphContainer.h"
#include "skin/GraphControl.h"
#include "skin/GraphLabels.h"

namespace marlowen {

TGraphAccessibleTree::TGraphAccessibleTree(TCustomGraphContainer& container) : Container_(container) {}

bool TGraphAccessibleTree::IsNode(const TCustomGraphControl& control) {
    return !control.AccHidden && control.AccessibleRole() != 0;
}

bool TGraphAccessibleTree::OwnsChildren(int32_t role) { return role == AccRole::List || role == AccRole::Grouping; }

int32_t TGraphAccessibleTree::IdOf(const TCustomGraphControl& control) const {
    auto known = Ids_.find(&control);
    if (known != Ids_.end()) {
        auto entry = Controls_.find(known->second);
        // The address may be a new control's where an old one lived: that one gets a new number.
        if (entry != Controls_.end() && entry->second.Get() == &control) return known->second;
        if (entry != Controls_.end()) Controls_.erase(entry);
        Ids_.erase(known);
    }
    const int32_t id = NextId_++;
    Controls_.emplace(id, TWeakRef<TCustomGraphControl>(const_cast<TCustomGraphControl*>(&control)));
    Ids_.emplace(&control, id);
    return id;
}

TCustomGraphControl* TGraphAccessibleTree::ControlOf(int32_t id) const {
    if (id <= kClient) return nullptr;
    auto entry = Controls_.find(id);
    if (entry == Controls_.end()) return nullptr;
    TCustomGraphControl* control = entry->second.Get();
    // A control that left the container is gone for its clients too.
    if (control == nullptr || control->GetContainer() != &Container_) return nullptr;
    return control;
}

int32_t TGraphAccessibleTree::NodeOf(const TCustomGraphControl* control) const {
    for (const TCustomGraphControl* c = control; c != nullptr; c = c->ParentControl()) {
        if (c->AccHidden) return kClient;
        if (IsNode(*c)) return IdOf(*c);
    }
    return kClient;
}

bool TGraphAccessibleTree::Describe(int32_t id, TAccessibleDescription& description) const {
    description = TAccessibleDescription{};
    if (id == kClient) {
        description.Role = AccRole::Client;
        description.Width = Container_.DeviceWidth();
        description.Height = Container_.DeviceHeight();
        description.State = Container_.Host().Focused() ? AccState::Focused : 0;
        return true;
    }
    const TCustomGraphControl* control = ControlOf(id);
    if (control == nullptr) return false;
    control->Describe(description);
    ToDevicePixels(description);
    if (description.Name.empty()) description.Name = Utf16ToUtf8(LabelTextFor(*control));
    if (!control->Showing() || !control->ParentsShowing()) description.State |= AccState::Invisible;
    return true;
}

std::u16string TGraphAccessibleTree::LabelTextFor(const TCustomGraphControl& control) const {
    if (control.Name().empty()) return {};
    for (const TCustomGraphControl* c = Container_.Controls().First(); c != nullptr; c = c->NextInTree()) {
        const auto* label = dynamic_cast<const TTextImageLabel*>(c);
        if (label != nullptr && !label->LabelFor.empty() && TextEquals(label->LabelFor, control.Name())) {
            return label->AccessibleCaption();
        }
    }
    return {};
}

void TGraphAccessibleTree::AppendChildren(const TGraphControls& list, std::vector<int32_t>& out) const {
    for (const TCustomGraphControl* child : list.Controls()) {
        if (!child->Visible() || child->AccHidden) continue;
        if (IsNode(*child)) {
            out.push_back(IdOf(*child));
        } else {
            AppendChildren(child->Controls(), out);
        }
    }
}

const TGraphControls& TGraphAccessibleTree::ListOf(int32_t id) const {
    const TCustomGraphControl* control = ControlOf(id);
    return control != nullptr ? control->Controls() : Container_.Controls();
}

std::vector<int32_t> TGraphAccessibleTree::Children(int32_t id) const {
    std::vector<int32_t> children;
    if (id != kClient) {
        const TCustomGraphControl* control = ControlOf(id);
        if (control == nullptr || !OwnsChildren(control->AccessibleRole())) return children;
    }
    AppendChildren(ListOf(id), children);
    return children;
}

int32_t TGraphAccessibleTree::Parent(int32_t id) const {
    const TCustomGraphControl* control = ControlOf(id);
    if (control == nullptr) return kNone;
    return NodeOf(control->ParentControl());
}

int32_t TGraphAccessibleTree::HitIn(const TGraphControls& list, int32_t x, int32_t y) const {
    // The control painted last lies on top: walk backwards.
    std::vector<const TCustomGraphControl*> children(list.Controls().begin(), list.Controls().end());
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const TCustomGraphControl& child = **it;
        if (!child.Visible() || child.AccHidden) continue;
        const TPoint at = child.ClientToContainer(0, 0);
        const bool inside = x >= at.X && y >= at.Y && x - at.X < child.Width() && y - at.Y < child.Height();
        if (IsNode(child)) {
            if (!inside) continue;
            if (OwnsChildren(child.AccessibleRole())) {
                const int32_t inner = HitIn(child.Controls(), x, y);
                if (inner != kNone) return inner;
            }
            return IdOf(child);
        }
        // A control without a role may hold nodes outside its own rectangle (a drop-down).
        const int32_t inner = HitIn(child.Controls(), x, y);
        if (inner != kNone) return inner;
    }
    return kNone;
}

void TGraphAccessibleTree::ToDevicePixels(TAccessibleDescription& description) const {
    const TDisplayScale& scale = Container_.Scale();
    if (scale.IsIdentity()) return;
    const TRect device = scale.DeviceRect({description.Left, description.Top,
                                           SaturateInt32(int64_t{description.Left} + description.Width),
                                           SaturateInt32(int64_t{description.Top} + description.Height)});
    description.Left = device.Left;
    description.Top = device.Top;
    description.Width = SaturateInt32(int64_t{device.Right} - device.Left);
    description.Height = SaturateInt32(int64_t{device.Bottom} - device.Top);
}

int32_t TGraphAccessibleTree::HitTest(int32_t x, int32_t y) const {
    // A client's point (device pixels of the window) is checked before it is mapped.
    if (x < 0 || y < 0 || x >= Container_.DeviceWidth() || y >= Container_.DeviceHeight()) return kNone;
    const TPoint units = Container_.DeviceToUnits(x, y);
    const int32_t hit = HitIn(Container_.Controls(), units.X, units.Y);
    return hit != kNone ? hit : kClient;
}

int32_t TGraphAccessibleTree::Focus() const {
    if (!Container_.Host().Focused()) return kNone;
    return NodeOf(Container_.FocusedControl());
}

bool TGraphAccessibleTree::DoDefaultAction(int32_t id) {
    TCustomGraphControl* control = ControlOf(id);
    if (control == nullptr || !control->HasAccessibleAction()) return false;
    Pending_.emplace_back(control);
    Container_.PostRepaint();
    return true;
}

void TGraphAccessibleTree::RunPendingActions() {
    std::vector<TWeakRef<TCustomGraphControl>> pending = std::move(Pending_);
    Pending_.clear();
    for (const TWeakRef<TCustomGraphControl>& ref : pending) {
        // An earlier action may have freed the later ones' controls (a page that moved on).
        if (TCustomGraphControl* control = ref.Get()) control->DoAccessibleAction();
    }
}

void TGraphAccessibleTree::Notify(uint32_t event, const TCustomGraphControl* control) const {
    Container_.Host().NotifyAccessible(event, control != nullptr ? NodeOf(control) : kClient);
}

}  // namespace marlowen
