#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/LifeToken.h"
#include "platform/Accessibility.h"
#include "skin/AccessiblePart.h"

namespace marlowen {

class TCustomGraphContainer;
class TCustomGraphControl;
class TGraphControls;
class TTextImageLabel;

// What a container's window tells assistive technology: its controls that have a role
// (TCustomGraphControl::AccessibleRole), in tree order. A control without a role (a frame, a
// slot, a panel) is left out and its children stand in its place; a control marked AccHidden is
// left out with everything below it, and so is a hidden one. Only lists and groupings have
// children of their own: the parts of a button (its caption label) are the button. A control
// may add nodes that are not controls (TAccessiblePart: a menu's items) as its children.
//
// Bounds and hit-test points are device pixels of the window: the container's scale maps them.
//
// Nodes are numbered as they are first asked for and a number is never given to another
// control, so an object that a client held on to after its control went answers "gone".
// Default actions asked for by a client run from the window's own message loop, not inside the
// client's call.
class TGraphAccessibleTree : public TAccessibleTree {
public:
    explicit TGraphAccessibleTree(TCustomGraphContainer& container);

    bool Describe(int32_t id, TAccessibleDescription& description) const override;
    std::vector<int32_t> Children(int32_t id) const override;
    int32_t Parent(int32_t id) const override;
    int32_t HitTest(int32_t x, int32_t y) const override;
    int32_t Focus() const override;
    bool DoDefaultAction(int32_t id) override;

    // The node that stands for the control: the control itself or the nearest ancestor that is a
    // node; kClient when none is.
    int32_t NodeOf(const TCustomGraphControl* control) const;
    // The control of a node; none for the client and for a node that is gone.
    TCustomGraphControl* ControlOf(int32_t id) const;
    // The node of a part; kNone when its owner is not in this container.
    int32_t NodeOfPart(const TAccessiblePart& part) const;
    // Tells the window's clients of a change to the control's node (an AccEvent value).
    void Notify(uint32_t event, const TCustomGraphControl* control) const;
    void NotifyPart(uint32_t event, const TAccessiblePart& part) const;
    // Runs the default actions that clients asked for since the last call.
    void RunPendingActions();
    bool HasPendingActions() const { return !Pending_.empty(); }

    // Whether the control is a node of the tree, and whether a node's children are its own.
    static bool IsNode(const TCustomGraphControl& control);
    static bool OwnsChildren(int32_t role);

private:
    // What a number stands for: a control or a part (the other reference stays empty).
    struct TNode {
        TWeakRef<TCustomGraphControl> Control;
        TWeakRef<TAccessiblePart> Part;
    };

    int32_t IdOf(const TCustomGraphControl& control) const;
    int32_t IdOf(const TAccessiblePart& part) const;
    template <class T>
    int32_t IdOfObject(const T& object, TNode node) const;
    const TAccessiblePart* PartOf(int32_t id) const;
    // A node's bounds (container units) as device pixels of the window.
    void ToDevicePixels(TAccessibleDescription& description) const;
    void AppendChildren(const TGraphControls& list, std::vector<int32_t>& out) const;
    void AppendParts(const std::vector<const TAccessiblePart*>& parts, std::vector<int32_t>& out) const;
    int32_t HitIn(const TGraphControls& list, int32_t x, int32_t y) const;
    int32_t HitInParts(const std::vector<const TAccessiblePart*>& parts, int32_t x, int32_t y) const;
    const TGraphControls& ListOf(int32_t id) const;
    // The label whose LabelFor names the control (letter case ignored); none when there is none.
    const TTextImageLabel* LabelFor(const TCustomGraphControl& control) const;

    TCustomGraphContainer& Container_;
    mutable int32_t NextId_ = 1;
    mutable std::unordered_map<int32_t, TNode> Nodes_;
    mutable std::unordered_map<const void*, int32_t> Ids_;
    std::vector<TNode> Pending_;
};

}  // namespace marlowen
