#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/TreeItems.h"
#include "core/ValueItems.h"

namespace marlowen {

class TCustomMemStream;
class TXMLNode;

// One attribute of an element: its name and its value, with the type it was stored with.
class TXMLProperty : public TValueItem {
public:
    using TValueItem::TValueItem;
};

// The children of an element, in stored order. Holds element nodes only.
class TXMLNodes : public TCustomTreeItems {
public:
    TXMLNode* FirstNode() const;
    TXMLNode* LastNode() const;
    TItemRange<TXMLNode> Nodes() const { return ItemsAs<TXMLNode>(); }

protected:
    // Refuses items that are not TXMLNode, so the typed accessors stay sound.
    void ItemAdding(TCustomItem& item) override;
};

// An element of a stored document: a name, typed attribute values (looked up ignoring letter case)
// and ordered child elements. Documents come from the packs and are read-only once loaded.
class TXMLNode : public TCustomTreeItem {
public:
    // Deeper stored trees are refused, so that loading and freeing never exhaust the stack.
    static constexpr int32_t kMaxDepth = 256;

    explicit TXMLNode(std::string name = std::string());
    ~TXMLNode() override;

    const std::string& Name() const { return Name_; }
    void SetName(std::string name) { Name_ = std::move(name); }

    TValueItems& Attributes() { return Attributes_; }
    const TValueItems& Attributes() const { return Attributes_; }

    TXMLNodes& Nodes() const { return static_cast<TXMLNodes&>(Children()); }
    TXMLNode* ParentNode() const { return static_cast<TXMLNode*>(Parent()); }

    // The first direct child of that name, ignoring the case of ASCII letters; none when there is
    // no such child. Grandchildren are not searched.
    TXMLNode* FindChild(std::string_view name) const;
    // FindChild, or else a new node of the child class with that name, appended last.
    TXMLNode& FindOrAddChild(std::string_view name);
    // A new node of the child class, appended last (builders of documents).
    TXMLNode& AddChild(std::string name);

    // Reads the stored form: with readName the element name first; then the attributes and the
    // children, replacing what the node held. Attribute items come from CreateAttribute, child
    // nodes from CreateChildNode; OnChange of the attributes runs after each addition. Data cut
    // short raises the stream's ReadOverrun, a wrong tag, a negative count or a tree deeper than
    // kMaxDepth its UnexpectedDataType; counts are checked against the bytes left before any item
    // is made. A node that failed to load holds a partial tree and is not to be used.
    void LoadFromStream(TCustomMemStream& stream, bool readName);
    // Writes the stored form, element name first; each value keeps its variant type.
    void SaveToStream(TCustomMemStream& stream) const;

    // Number of nodes in this subtree, this one included.
    int32_t SubtreeCount() const;

protected:
    // The class of child nodes made while loading: the node's own class, so that a subclass
    // loads whole trees of its own kind.
    virtual std::unique_ptr<TXMLNode> CreateChildNode(std::string name) const;
    // The class of attribute items.
    virtual std::unique_ptr<TXMLProperty> CreateAttribute(std::string name, TVariant value) const;

private:
    void LoadNode(TCustomMemStream& stream, bool readName, int32_t depth);

    std::string Name_;
    TValueItems Attributes_{11};
};

}  // namespace marlowen
