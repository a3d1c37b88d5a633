#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/Exception.h"
#include "core/TreeItems.h"

namespace marlowen {
namespace {

struct TNode : TCustomTreeItem {
    explicit TNode(std::string name) : Name(std::move(name)) {}
    TNode* AddChild(const std::string& name) { return Children().Add(std::make_unique<TNode>(name)); }
    std::string Name;
};

std::string NameOf(const TCustomTreeItem* item) {
    return item != nullptr ? static_cast<const TNode*>(item)->Name : "-";
}

// root list: a (a1 (a11), a2), b
struct TTree {
    TTree() {
        a = roots.Add(std::make_unique<TNode>("a"));
        a1 = a->AddChild("a1");
        a11 = a1->AddChild("a11");
        a2 = a->AddChild("a2");
        b = roots.Add(std::make_unique<TNode>("b"));
    }
    TCustomTreeItems roots;
    TNode *a, *a1, *a11, *a2, *b;
};

TEST(TreeItems, PreOrderWalkBothWays) {
    TTree tree;
    std::string forward;
    for (TCustomTreeItem* item = tree.roots.FirstItem(); item != nullptr; item = item->NextInTree()) {
        forward += NameOf(item) + " ";
    }
    EXPECT_EQ(forward, "a a1 a11 a2 b ");

    std::string backward;
    for (TCustomTreeItem* item = tree.roots.LastInTree(); item != nullptr; item = item->PrevInTree()) {
        backward += NameOf(item) + " ";
    }
    EXPECT_EQ(backward, "b a2 a11 a1 a ");

    EXPECT_EQ(NameOf(tree.a11->NextSkippingChildren()), "a2");
    EXPECT_EQ(NameOf(tree.a->NextSkippingChildren()), "b");
    EXPECT_EQ(NameOf(tree.a2->NextSkippingChildren()), "b");
    EXPECT_EQ(tree.b->NextSkippingChildren(), nullptr);
    EXPECT_EQ(NameOf(tree.a->Children().LastInTree()), "a2");
}

TEST(TreeItems, AncestorsAndParents) {
    TTree tree;
    EXPECT_EQ(tree.a11->Parent(), tree.a1);
    EXPECT_EQ(tree.a->Parent(), nullptr);
    EXPECT_TRUE(TCustomTreeItem::IsAncestorOf(tree.a, tree.a11));
    EXPECT_FALSE(TCustomTreeItem::IsAncestorOf(tree.a11, tree.a));
    EXPECT_FALSE(TCustomTreeItem::IsAncestorOf(tree.a, tree.a));
    EXPECT_FALSE(TCustomTreeItem::IsAncestorOf(tree.b, tree.a11));
}

TEST(TreeItems, AddMovesAnItemFromAnotherListAndSetsItsParent) {
    TTree tree;
    tree.b->Children().Add(tree.a1);
    EXPECT_EQ(tree.a1->Parent(), tree.b);
    EXPECT_EQ(tree.a->Children().Count(), 1);
    EXPECT_EQ(tree.b->Children().Count(), 1);
    EXPECT_EQ(NameOf(tree.a11->NextInTree()), "-");  // a11 now ends the walk under b

    tree.b->Children().Add(tree.a1);  // already there: nothing
    EXPECT_EQ(tree.b->Children().Count(), 1);

    auto removed = tree.b->Children().Extract(tree.a1);
    EXPECT_EQ(tree.a1->Parent(), nullptr);
    tree.roots.Add(tree.a1);
    removed.release();
    EXPECT_EQ(tree.a1->Parent(), nullptr);
    EXPECT_EQ(tree.roots.Count(), 3);
}

TEST(TreeItems, AnItemCannotBecomeItsOwnDescendant) {
    TTree tree;
    EXPECT_THROW(tree.a11->Children().Add(tree.a), Exception);
    EXPECT_THROW(tree.a->Children().Add(tree.a), Exception);
    EXPECT_EQ(tree.a->Parent(), nullptr);
    EXPECT_EQ(tree.roots.Count(), 2);
}

TEST(TreeItems, FreeingAnItemFreesItsSubtreeAndLeavesItsList) {
    int alive = 0;
    struct TCounted : TCustomTreeItem {
        explicit TCounted(int* alive) : Alive(alive) { ++*Alive; }
        ~TCounted() override { --*Alive; }
        int* Alive;
    };
    TCustomTreeItems roots;
    auto* top = roots.Add(std::make_unique<TCounted>(&alive));
    auto* child = top->Children().Add(std::make_unique<TCounted>(&alive));
    child->Children().Add(std::make_unique<TCounted>(&alive));
    roots.Add(std::make_unique<TCounted>(&alive));
    EXPECT_EQ(alive, 4);
    delete top;
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(roots.Count(), 1);

    auto* other = roots.FirstItem();
    auto* grandchild = other->Children().Add(std::make_unique<TCounted>(&alive));
    delete grandchild;
    EXPECT_EQ(other->Children().Count(), 0);
}

}  // namespace
}  // namespace marlowen
