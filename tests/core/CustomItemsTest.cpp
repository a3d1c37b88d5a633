#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/CustomItems.h"
#include "core/Exception.h"

namespace marlowen {
namespace {

struct TNumber : TCustomItem {
    explicit TNumber(int value) : Value(value) {}
    int Value;
};

std::vector<int> Forward(const TCustomItems& list) {
    std::vector<int> values;
    for (TNumber* item : list.ItemsAs<TNumber>()) values.push_back(item->Value);
    return values;
}

std::vector<int> Backward(const TCustomItems& list) {
    std::vector<int> values;
    for (TCustomItem* item = list.Last(); item != nullptr; item = item->Prev()) {
        values.push_back(static_cast<TNumber*>(item)->Value);
    }
    return values;
}

TEST(CustomItems, FreeingAnItemUnlinksItFromItsOwner) {
    TCustomItems list;
    list.Add(std::make_unique<TNumber>(1));
    TNumber* middle = list.Add(std::make_unique<TNumber>(2));
    list.Add(std::make_unique<TNumber>(3));
    delete middle;
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Forward(list), (std::vector<int>{1, 3}));
    EXPECT_EQ(Backward(list), (std::vector<int>{3, 1}));

    delete list.First();
    delete list.Last();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Last(), nullptr);
}

TEST(CustomItems, RemoveWithoutFreeHandsTheItemBack) {
    TCustomItems list;
    TNumber* first = list.Add(std::make_unique<TNumber>(1));
    list.Add(std::make_unique<TNumber>(2));
    std::unique_ptr<TCustomItem> taken = list.Extract(first);
    EXPECT_EQ(taken->Owner(), nullptr);
    EXPECT_EQ(taken->Next(), nullptr);
    EXPECT_EQ(Forward(list), (std::vector<int>{2}));

    list.Remove(nullptr, true);  // nothing
    list.Remove(list.First(), true);
    EXPECT_EQ(list.Count(), 0);
}

TEST(CustomItems, ItemsOfAnotherListAreRefusedAndNothingChanges) {
    TCustomItems a, b;
    TNumber* item = a.Add(std::make_unique<TNumber>(1));
    EXPECT_THROW(b.Remove(item, true), Exception);
    try {
        b.Add(std::unique_ptr<TNumber>(item));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Нельзя добавить элемент, уже относящийся к списку");
    }
    EXPECT_EQ(a.Count(), 1);
    EXPECT_EQ(b.Count(), 0);
    EXPECT_EQ(item->Owner(), &a);
}

TEST(CustomItems, MoveToEndRelinksWithoutLeavingTheList) {
    struct THooked : TCustomItems {
        int Removals = 0;
        void ItemRemoving(TCustomItem& /*item*/) noexcept override { ++Removals; }
    };
    THooked list;
    TNumber* first = list.Add(std::make_unique<TNumber>(1));
    list.Add(std::make_unique<TNumber>(2));
    list.Add(std::make_unique<TNumber>(3));
    list.MoveToEnd(first);
    list.MoveToEnd(first);  // already last: nothing
    EXPECT_EQ(Forward(list), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(Backward(list), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(first->Owner(), &list);
    EXPECT_EQ(list.Removals, 0);
    TCustomItems other;
    EXPECT_THROW(other.MoveToEnd(first), Exception);
    EXPECT_EQ(Forward(list), (std::vector<int>{2, 3, 1}));
}

TEST(CustomItems, ClearFreesEveryItem) {
    int alive = 0;
    struct TCounted : TCustomItem {
        explicit TCounted(int* alive) : Alive(alive) { ++*Alive; }
        ~TCounted() override { --*Alive; }
        int* Alive;
    };
    {
        TCustomItems list;
        for (int i = 0; i < 5; ++i) list.Add(std::make_unique<TCounted>(&alive));
        list.Clear();
        EXPECT_EQ(alive, 0);
        EXPECT_EQ(list.Count(), 0);
        list.Add(std::make_unique<TCounted>(&alive));
    }
    EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace marlowen
