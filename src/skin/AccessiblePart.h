#pragma once

#include <vector>

#include "core/LifeToken.h"
#include "platform/Accessibility.h"

namespace marlowen {

class TCustomGraphControl;

// A node of the accessible tree that belongs to a control without being a control of its own: a
// menu's items. The control hands out its top parts (TCustomGraphControl::AccessibleParts); a
// part hands out its own children. The tree refers to parts only through their life tokens, so
// a part freed while a client holds its object is seen as gone.
class TAccessiblePart {
public:
    virtual ~TAccessiblePart() = default;

    virtual const TLifeToken& LifeToken() const = 0;
    // The control the part belongs to.
    virtual const TCustomGraphControl& PartOwner() const = 0;
    // The enclosing part; none for the control's top parts.
    virtual const TAccessiblePart* ParentPart() const = 0;
    // The parts shown below it now, in reading order.
    virtual std::vector<const TAccessiblePart*> ChildParts() const = 0;
    // Role, name, states, default action, and bounds in the owner's container coordinates.
    virtual void DescribePart(TAccessibleDescription& description) const = 0;
    virtual bool HasPartAction() const = 0;
    // Runs from the window's message loop, as the person would do it; may free the part.
    virtual void DoPartAction() = 0;
};

}  // namespace marlowen
