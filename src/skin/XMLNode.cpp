#include "skin/XMLNode.h"

#include "core/StringHash.h"
#include "storage/MemStream.h"

namespace marlowen {

namespace {

// A stored count, checked against the bytes left: every item takes at least bytesPerItem.
int32_t ReadCount(TCustomMemStream& stream, int32_t bytesPerItem) {
    const int32_t count = stream.ReadInteger();
    if (count < 0) throw EStreamException::UnexpectedDataType(stream.ClassName());
    if (count > (int64_t{stream.Size()} - stream.Position()) / bytesPerItem) {
        throw EStreamException::ReadOverrun(stream.ClassName());
    }
    return count;
}

// The smallest stored attribute: an empty name and a one-byte value.
constexpr int32_t kMinAttributeBytes = 2;
// The smallest stored child: an empty name and two zero counts.
constexpr int32_t kMinNodeBytes = 3;

}  // namespace

TXMLNode* TXMLNodes::FirstNode() const { return static_cast<TXMLNode*>(First()); }

TXMLNode* TXMLNodes::LastNode() const { return static_cast<TXMLNode*>(Last()); }

void TXMLNodes::ItemAdding(TCustomItem& item) {
    if (dynamic_cast<TXMLNode*>(&item) == nullptr) {
        throw Exception("В список узлов XML можно добавить только узел XML.");
    }
    TCustomTreeItems::ItemAdding(item);
}

TXMLNode::TXMLNode(std::string name) : TCustomTreeItem(std::make_unique<TXMLNodes>()), Name_(std::move(name)) {}

// The attributes go first, then the children with the tree item.
TXMLNode::~TXMLNode() = default;

TXMLNode* TXMLNode::FindChild(std::string_view name) const {
    for (TXMLNode* child : Nodes().Nodes()) {
        if (TextEquals(child->Name_, name)) return child;
    }
    return nullptr;
}

TXMLNode& TXMLNode::FindOrAddChild(std::string_view name) {
    TXMLNode* child = FindChild(name);
    return child != nullptr ? *child : AddChild(std::string(name));
}

TXMLNode& TXMLNode::AddChild(std::string name) { return *Nodes().Add(CreateChildNode(std::move(name))); }

std::unique_ptr<TXMLNode> TXMLNode::CreateChildNode(std::string name) const {
    return std::make_unique<TXMLNode>(std::move(name));
}

std::unique_ptr<TXMLProperty> TXMLNode::CreateAttribute(std::string name, TVariant value) const {
    return std::make_unique<TXMLProperty>(std::move(name), std::move(value));
}

void TXMLNode::LoadFromStream(TCustomMemStream& stream, bool readName) { LoadNode(stream, readName, 0); }

void TXMLNode::LoadNode(TCustomMemStream& stream, bool readName, int32_t depth) {
    if (depth >= kMaxDepth) throw EStreamException::UnexpectedDataType(stream.ClassName());
    if (readName) Name_ = stream.ReadString();

    Attributes_.Clear();
    const int32_t attributeCount = ReadCount(stream, kMinAttributeBytes);
    for (int32_t i = 0; i < attributeCount; ++i) {
        std::string name = stream.ReadString();
        TVariant value = stream.ReadVariant();
        Attributes_.Add(CreateAttribute(std::move(name), std::move(value)));
        if (Attributes_.OnChange) Attributes_.OnChange(Attributes_);
    }

    Children().Clear();
    const int32_t childCount = ReadCount(stream, kMinNodeBytes);
    for (int32_t i = 0; i < childCount; ++i) {
        AddChild(stream.ReadString()).LoadNode(stream, false, depth + 1);
    }
}

void TXMLNode::SaveToStream(TCustomMemStream& stream) const {
    stream.WriteString(Name_);
    stream.WriteInteger(Attributes_.Count());
    for (const TValueItem* attribute : Attributes_.Items()) {
        stream.WriteString(attribute->Name());
        stream.WriteVariant(attribute->Value());
    }
    stream.WriteInteger(Nodes().Count());
    for (const TXMLNode* child : Nodes().Nodes()) child->SaveToStream(stream);
}

int32_t TXMLNode::SubtreeCount() const {
    int32_t count = 1;
    for (const TXMLNode* child : Nodes().Nodes()) count += child->SubtreeCount();
    return count;
}

}  // namespace marlowen
