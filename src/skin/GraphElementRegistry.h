#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/TextIndex.h"
#include "skin/SkinContext.h"

namespace marlowen {

class TCustomGraphControl;
class TXMLNode;

// Builds one control for one element: made detached, loaded from the element (its own
// attributes, the shared ones and, for classes that hold controls, its children) and handed to
// the caller, who appends it. `parent` is where it will go (none for a root); a class may read
// it (a condition block takes its parent's size) but never appends itself.
using TGraphControlFactory = std::unique_ptr<TCustomGraphControl> (*)(TCustomGraphControl* parent,
                                                                     const TSkinContext& context,
                                                                     const TXMLNode& node);

// The plain factory of a class: construct, LoadFromXML.
template <class T>
std::unique_ptr<TCustomGraphControl> CreateElementOf(TCustomGraphControl* /*parent*/, const TSkinContext& context,
                                                     const TXMLNode& node) {
    auto control = std::make_unique<T>(context);
    control->LoadFromXML(node);
    return control;
}

// One entry: the element name (matched ignoring letter case) and the factory of its class.
class TGraphControlClassItem : public TCustomTextItem {
public:
    TGraphControlClassItem(std::string elementName, TGraphControlFactory factory)
        : TCustomTextItem(std::move(elementName)), Factory(factory) {}

    const std::string& ElementName() const { return Key(); }
    const TGraphControlFactory Factory;
};

// The element vocabulary of screen documents: element name → control class.
class TGraphElementRegistry : public TTextIndex<TGraphControlClassItem> {
public:
    TGraphElementRegistry() : TTextIndex<TGraphControlClassItem>(1007) {}

    void Register(std::string elementName, TGraphControlFactory factory);
    const TGraphControlClassItem* Lookup(std::string_view elementName) const { return Find(elementName); }

    // The process-wide registry with every element of the framework, made on first use.
    static const TGraphElementRegistry& Standard();
};

}  // namespace marlowen
