#include "skin/GraphAccessibleTree.h"

#include <algorithm>
#include <string>

#include "core/StringHash.h"
#include "core/Utf.h"

#include "skin/AccessKey.h"
#include "skin/GraphContainer.h"
#include "skin/GraphControl.h"
#include "skin/GraphLabels.h"

namespace marlowen {

namespace {

// The object a node stands for, while it lives.
const void* ObjectOf(const TWeakRef<TCustomGraphControl>& control, const TWeakRef<TAccessiblePart>& part) {
    if (const TCustomGraphControl* c = control.Get()) return c;
    return part.Get();
}

bool Inside(const TAccessibleDescription& d, int32_t x, int32_t y) {
    return x >= d.Left && y >= d.Top && int64_t{x} - d.Left < d.Width && int64_t{y} - d.Top < d.Height;
}

}  // namespace

TGraphAccessibleTree::TGraphAccessibleTree(TCustomGraphContainer& container) : Container_(container) {}

bool TGraphAccessibleTree::IsNode(const TCustomGraphControl& control) {
    return !control.AccHidden && control.AccessibleRole() != 0;
}

bool TGraphAccessibleTree::OwnsChildren(int32_t role) { return role == AccRole::List || role == AccRole::Grouping; }

// --- numbers ---

template <class T>
int32_t TGraphAccessibleTree::IdOfObject(const T& object, TNode node) const {
    const void* key = &object;
    auto known = Ids_.find(key);
    if (known != Ids_.end()) {
        auto entry = Nodes_.find(known->second);
        // The address may be a new object's where an old one lived: that one gets a new number.
        if (entry != Nodes_.end() && ObjectOf(entry->second.Control, entry->second.Part) == key) return known->second;
        if (entry != Nodes_.end()) Nodes_.erase(entry);
        Ids_.erase(known);
    }
    const int32_t id = NextId_++;
    Nodes_.emplace(id, std::move(node));
    Ids_.emplace(key, id);
    return id;
}

int32_t TGraphAccessibleTree::IdOf(const TCustomGraphControl& control) const {
    return IdOfObject(control, TNode{TWeakRef<TCustomGraphControl>(const_cast<TCustomGraphControl*>(&control)), {}});
}

int32_t TGraphAccessibleTree::IdOf(const TAccessiblePart& part) const {
    return IdOfObject(part, TNode{{}, TWeakRef<TAccessiblePart>(const_cast<TAccessiblePart*>(&part))});
}

TCustomGraphControl* TGraphAccessibleTree::ControlOf(int32_t id) const {
    if (id <= kClient) return nullptr;
    auto entry = Nodes_.find(id);
    if (entry == Nodes_.end()) return nullptr;
    TCustomGraphControl* control = entry->second.Control.Get();
    // A control that left the container is gone for its clients too.
    if (control == nullptr || control->GetContainer() != &Container_) return nullptr;
    return control;
}

const TAccessiblePart* TGraphAccessibleTree::PartOf(int32_t id) const {
    if (id <= kClient) return nullptr;
    auto entry = Nodes_.find(id);
    if (entry == Nodes_.end()) return nullptr;
    const TAccessiblePart* part = entry->second.Part.Get();
    if (part == nullptr || part->PartOwner().GetContainer() != &Container_) return nullptr;
    return part;
}

int32_t TGraphAccessibleTree::NodeOf(const TCustomGraphControl* control) const {
    for (const TCustomGraphControl* c = control; c != nullptr; c = c->ParentControl()) {
        if (c->AccHidden) return kClient;
        if (IsNode(*c)) return IdOf(*c);
    }
    return kClient;
}

int32_t TGraphAccessibleTree::NodeOfPart(const TAccessiblePart& part) const {
    return part.PartOwner().GetContainer() == &Container_ ? IdOf(part) : kNone;
}

// --- what a node says ---

bool TGraphAccessibleTree::Describe(int32_t id, TAccessibleDescription& description) const {
    description = TAccessibleDescription{};
    if (id == kClient) {
        description.Role = AccRole::Client;
        description.Width = Container_.DeviceWidth();
        description.Height = Container_.DeviceHeight();
        description.State = Container_.Host().Focused() ? AccState::Focused : 0;
        return true;
    }
    if (const TAccessiblePart* part = PartOf(id)) {
        part->DescribePart(description);
        ToDevicePixels(description);
        const TCustomGraphControl& owner = part->PartOwner();
        if (!owner.Showing() || !owner.ParentsShowing()) description.State |= AccState::Invisible;
        return true;
    }
    const TCustomGraphControl* control = ControlOf(id);
    if (control == nullptr) return false;
    control->Describe(description);
    ToDevicePixels(description);
    if (description.Name.empty() || description.KeyboardShortcut.empty()) {
        // The label that names the control gives what the control does not say itself.
        if (const TTextImageLabel* label = LabelFor(*control)) {
            if (description.Name.empty()) description.Name = Utf16ToUtf8(label->AccessibleCaption());
            if (description.KeyboardShortcut.empty()) {
                description.KeyboardShortcut = Utf16ToUtf8(AccessKeyShortcut(label->AccessKeyChar()));
            }
        }
    }
    if (!control->Showing() || !control->ParentsShowing()) description.State |= AccState::Invisible;
    return true;
}

const TTextImageLabel* TGraphAccessibleTree::LabelFor(const TCustomGraphControl& control) const {
    if (control.Name().empty()) return nullptr;
    for (const TCustomGraphControl* c = Container_.Controls().First(); c != nullptr; c = c->NextInTree()) {
        const auto* label = dynamic_cast<const TTextImageLabel*>(c);
        if (label != nullptr && !label->LabelFor.empty() && TextEquals(label->LabelFor, control.Name())) return label;
    }
    return nullptr;
}

// --- structure ---

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

void TGraphAccessibleTree::AppendParts(const std::vector<const TAccessiblePart*>& parts,
                                       std::vector<int32_t>& out) const {
    for (const TAccessiblePart* part : parts) out.push_back(IdOf(*part));
}

const TGraphControls& TGraphAccessibleTree::ListOf(int32_t id) const {
    const TCustomGraphControl* control = ControlOf(id);
    return control != nullptr ? control->Controls() : Container_.Controls();
}

std::vector<int32_t> TGraphAccessibleTree::Children(int32_t id) const {
    std::vector<int32_t> children;
    if (const TAccessiblePart* part = PartOf(id)) {
        AppendParts(part->ChildParts(), children);
        return children;
    }
    if (id != kClient) {
        const TCustomGraphControl* control = ControlOf(id);
        if (control == nullptr) return children;
        AppendParts(control->AccessibleParts(), children);
        if (!OwnsChildren(control->AccessibleRole())) return children;
    }
    AppendChildren(ListOf(id), children);
    return children;
}

int32_t TGraphAccessibleTree::Parent(int32_t id) const {
    if (const TAccessiblePart* part = PartOf(id)) {
        const TAccessiblePart* parent = part->ParentPart();
        return parent != nullptr ? IdOf(*parent) : NodeOf(&part->PartOwner());
    }
    const TCustomGraphControl* control = ControlOf(id);
    if (control == nullptr) return kNone;
    return NodeOf(control->ParentControl());
}

// --- hit testing and focus ---

int32_t TGraphAccessibleTree::HitInParts(const std::vector<const TAccessiblePart*>& parts, int32_t x,
                                         int32_t y) const {
    for (const TAccessiblePart* part : parts) {
        const int32_t inner = HitInParts(part->ChildParts(), x, y);
        if (inner != kNone) return inner;
        TAccessibleDescription description;
        part->DescribePart(description);
        if (Inside(description, x, y)) return IdOf(*part);
    }
    return kNone;
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
            const int32_t part = HitInParts(child.AccessibleParts(), x, y);
            if (part != kNone) return part;
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
    // An open menu holds the keys wherever the focus is.
    const TCustomGraphControl* focused = Container_.ActiveMenu();
    if (focused == nullptr) focused = Container_.FocusedControl();
    if (focused != nullptr) {
        if (const TAccessiblePart* part = focused->FocusedPart()) return IdOf(*part);
    }
    return NodeOf(focused);
}

// --- actions and events ---

bool TGraphAccessibleTree::DoDefaultAction(int32_t id) {
    if (const TAccessiblePart* part = PartOf(id)) {
        if (!part->HasPartAction()) return false;
        Pending_.push_back(TNode{{}, TWeakRef<TAccessiblePart>(const_cast<TAccessiblePart*>(part))});
    } else {
        TCustomGraphControl* control = ControlOf(id);
        if (control == nullptr || !control->HasAccessibleAction()) return false;
        Pending_.push_back(TNode{TWeakRef<TCustomGraphControl>(control), {}});
    }
    Container_.PostRepaint();
    return true;
}

void TGraphAccessibleTree::RunPendingActions() {
    std::vector<TNode> pending = std::move(Pending_);
    Pending_.clear();
    for (const TNode& node : pending) {
        // An earlier action may have freed the later ones' objects (a page that moved on).
        if (TCustomGraphControl* control = node.Control.Get()) {
            control->DoAccessibleAction();
        } else if (TAccessiblePart* part = node.Part.Get()) {
            part->DoPartAction();
        }
    }
}

void TGraphAccessibleTree::Notify(uint32_t event, const TCustomGraphControl* control) const {
    Container_.Host().NotifyAccessible(event, control != nullptr ? NodeOf(control) : kClient);
}

void TGraphAccessibleTree::NotifyPart(uint32_t event, const TAccessiblePart& part) const {
    const int32_t id = NodeOfPart(part);
    if (id != kNone) Container_.Host().NotifyAccessible(event, id);
}

}  // namespace marlowen
