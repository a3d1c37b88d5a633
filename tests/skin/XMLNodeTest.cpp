#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/XMLNode.h"
#include "storage/MemStream.h"
#include "storage/StreamException.h"

namespace marlowen {
namespace {

std::vector<uint8_t> Bytes(const TCustomMemStream& stream) {
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

void LoadBytes(TXMLNode& node, const std::vector<uint8_t>& bytes, bool readName = true) {
    TMemStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    node.LoadFromStream(stream, readName);
    EXPECT_TRUE(stream.AtEnd());
}

std::vector<std::string> ChildNames(const TXMLNode& node) {
    std::vector<std::string> names;
    for (const TXMLNode* child : node.Nodes().Nodes()) names.push_back(child->Name());
    return names;
}

// <Frame Left="5" Caption="Привет"><Frames><Image/></Frames><Button/></Frame>
std::unique_ptr<TXMLNode> SampleTree() {
    auto root = std::make_unique<TXMLNode>("Frame");
    root->Attributes().Add(std::make_unique<TXMLProperty>("Left", TVariant(int32_t{5})));
    root->Attributes().Add(std::make_unique<TXMLProperty>("Caption", TVariant(u"Привет")));
    root->AddChild("Frames").AddChild("Image");
    root->AddChild("Button");
    return root;
}

TEST(XMLNode, StoredFormBytesAndRoundTrip) {
    TXMLNode root("A");
    root.Attributes().Add(std::make_unique<TXMLProperty>("x", TVariant(int32_t{5})));
    root.AddChild("B");
    TMemStream stream;
    root.SaveToStream(stream);
    const std::vector<uint8_t> expected = {6, 1, 'A', 1, 1, 6, 1, 'x', 1, 5, 1, 1, 6, 1, 'B', 0, 0};
    EXPECT_EQ(Bytes(stream), expected);

    const auto sample = SampleTree();
    TMemStream saved;
    sample->SaveToStream(saved);
    TXMLNode loaded("old");
    LoadBytes(loaded, Bytes(saved));
    EXPECT_EQ(loaded.Name(), "Frame");
    EXPECT_EQ(ChildNames(loaded), (std::vector<std::string>{"Frames", "Button"}));
    EXPECT_EQ(ChildNames(*loaded.FindChild("Frames")), std::vector<std::string>{"Image"});
    EXPECT_EQ(loaded.SubtreeCount(), 4);
    EXPECT_EQ(loaded.Nodes().FirstNode()->ParentNode(), &loaded);
    TMemStream again;
    loaded.SaveToStream(again);
    EXPECT_EQ(Bytes(again), Bytes(saved));
}

TEST(XMLNode, AttributeValuesKeepTheirStoredTypes) {
    const auto sample = SampleTree();
    TMemStream saved;
    sample->SaveToStream(saved);
    TXMLNode loaded;
    LoadBytes(loaded, Bytes(saved));
    const TValueItems& attributes = loaded.Attributes();
    EXPECT_EQ(attributes.GetText("left"), "5");
    EXPECT_EQ(attributes.GetInteger("LEFT"), 5);
    EXPECT_EQ(attributes.Find("Left")->Value().Type(), TVarType::Integer);
    EXPECT_EQ(attributes.GetWideText("Caption"), u"Привет");
    EXPECT_EQ(attributes.Find("Caption")->Value().Type(), TVarType::WideString);
}

TEST(XMLNode, EmptyNodeAndLoadingWithoutName) {
    TXMLNode node("Kept");
    node.Attributes().Add(std::make_unique<TXMLProperty>("Old", TVariant(int32_t{1})));
    node.AddChild("Old");
    LoadBytes(node, {0, 0}, false);  // no name, no attributes, no children
    EXPECT_EQ(node.Name(), "Kept");
    EXPECT_EQ(node.Attributes().Count(), 0);
    EXPECT_EQ(node.Nodes().Count(), 0);
    EXPECT_EQ(node.FindChild("Old"), nullptr);

    TXMLNode empty;
    LoadBytes(empty, {6, 4, 'R', 'o', 'o', 't', 0, 0});
    EXPECT_EQ(empty.Name(), "Root");
    EXPECT_EQ(empty.FindChild("Root"), nullptr);
}

TEST(XMLNode, FindChildIgnoresAsciiCaseAndStaysAtOneLevel) {
    const auto root = SampleTree();
    TXMLNode* frames = root->FindChild("frames");
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->Name(), "Frames");
    EXPECT_EQ(root->FindChild("IMAGE"), nullptr);  // a grandchild

    EXPECT_EQ(&root->FindOrAddChild("BUTTON"), root->FindChild("Button"));
    EXPECT_EQ(root->Nodes().Count(), 2);
    TXMLNode& added = root->FindOrAddChild("Label");
    EXPECT_EQ(root->Nodes().Count(), 3);
    EXPECT_EQ(root->Nodes().LastNode(), &added);
    EXPECT_EQ(added.Name(), "Label");
}

// A node class of its own: loading makes every node of it, and counts attribute additions.
class TCountingNode : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    static inline int Made = 0;

protected:
    std::unique_ptr<TXMLNode> CreateChildNode(std::string name) const override {
        return std::make_unique<TCountingNode>(std::move(name));
    }
    std::unique_ptr<TXMLProperty> CreateAttribute(std::string name, TVariant value) const override {
        ++Made;
        return TXMLNode::CreateAttribute(std::move(name), std::move(value));
    }
};

TEST(XMLNode, SubclassesLoadTreesOfTheirOwnClass) {
    const auto sample = SampleTree();
    TMemStream saved;
    sample->SaveToStream(saved);
    TCountingNode root;
    int changes = 0;
    root.Attributes().OnChange = [&](TValueItems& items) { EXPECT_EQ(items.Count(), ++changes); };
    TCountingNode::Made = 0;
    LoadBytes(root, Bytes(saved));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(TCountingNode::Made, 2);
    EXPECT_NE(dynamic_cast<TCountingNode*>(root.FindChild("Frames")->FindChild("Image")), nullptr);
    EXPECT_NE(dynamic_cast<TCountingNode*>(&root.FindOrAddChild("New")), nullptr);
}

TEST(XMLNode, CutShortTreesRaiseTheStreamError) {
    const auto sample = SampleTree();
    TMemStream saved;
    sample->SaveToStream(saved);
    const std::vector<uint8_t> full = Bytes(saved);
    for (size_t size = 0; size < full.size(); ++size) {
        TMemStream stream;
        stream.WriteBuffer(full.data(), static_cast<int32_t>(size));
        stream.SetPosition(0);
        TXMLNode node;
        EXPECT_THROW(node.LoadFromStream(stream, true), EStreamException) << size;
    }
    TXMLNode node;  // an attribute value of a tag no variant has: a block
    TMemStream block;
    block.WriteString("A");
    block.WriteInteger(1);
    block.WriteString("x");
    block.WriteBlock("ab", 2);
    block.WriteInteger(0);
    block.SetPosition(0);
    EXPECT_THROW(node.LoadFromStream(block, true), EStreamException);
}

TEST(XMLNode, HostileCountsRaiseBeforeMakingItems) {
    const auto expectError = [](const std::vector<uint8_t>& bytes, const std::string& message) {
        TMemStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
        stream.SetPosition(0);
        TXMLNode node;
        try {
            node.LoadFromStream(stream, true);
            ADD_FAILURE() << "no error";
        } catch (const EStreamException& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(node.Attributes().Count(), 0);
        EXPECT_EQ(node.Nodes().Count(), 0);
    };
    const std::string overrun = "Выход за пределы потока TMemStream при попытке чтения данных.";
    const std::string unexpected = "TMemStream: Unexpected data type.";
    // 2^31 - 1 attributes in a few bytes; then 3 children where 2 bytes are left.
    expectError({5, 4, 0xFF, 0xFF, 0xFF, 0x7F, 5, 0, 0, 0}, overrun);
    expectError({5, 0, 1, 3, 5, 0}, overrun);
    expectError({5, 39, 1}, unexpected);     // attribute count -1
    expectError({5, 0, 39, 5}, unexpected);  // child count -5
}

TEST(XMLNode, DepthIsLimited) {
    const auto chain = [](int32_t depth) {
        TMemStream stream;
        for (int32_t level = 0; level < depth; ++level) {
            if (level == 0) stream.WriteString("N");
            stream.WriteInteger(0);
            stream.WriteInteger(level + 1 < depth ? 1 : 0);
            if (level + 1 < depth) stream.WriteString("N");
        }
        stream.SetPosition(0);
        return Bytes(stream);
    };
    TXMLNode deep;
    LoadBytes(deep, chain(TXMLNode::kMaxDepth));
    EXPECT_EQ(deep.SubtreeCount(), TXMLNode::kMaxDepth);

    const std::vector<uint8_t> tooDeep = chain(TXMLNode::kMaxDepth + 1);
    TMemStream stream;
    stream.WriteBuffer(tooDeep.data(), static_cast<int32_t>(tooDeep.size()));
    stream.SetPosition(0);
    TXMLNode node;
    EXPECT_THROW(node.LoadFromStream(stream, true), EStreamException);
}

TEST(XMLNode, ChildListsHoldOnlyElements) {
    TXMLNode root("Root");
    EXPECT_THROW(root.Nodes().Add(std::make_unique<TCustomTreeItem>()), Exception);
    EXPECT_EQ(root.Nodes().Count(), 0);
}

}  // namespace
}  // namespace marlowen
