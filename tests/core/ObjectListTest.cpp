#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/ObjectList.h"

namespace marlowen {
namespace {

// Counts its own destructions, so a test sees which objects a list freed.
struct TTracked {
    TTracked(int value, std::vector<int>* freed) : Value(value), Freed(freed) {}
    ~TTracked() { Freed->push_back(Value); }
    int Value;
    std::vector<int>* Freed;
};

std::vector<int> Values(const TCustomObjectList<TTracked>& list) {
    std::vector<int> values;
    for (TTracked* item : list) values.push_back(item->Value);
    return values;
}

TEST(ObjectList, CapacityGrowsByHalfPlusOne) {
    std::vector<int> freed;
    TObjectList<TTracked> list;
    EXPECT_EQ(list.Capacity(), 10);
    for (int i = 0; i < 11; ++i) list.Add(std::make_unique<TTracked>(i, &freed));
    EXPECT_EQ(list.Capacity(), 16);
    EXPECT_EQ(list.Count(), 11);
    list.SetCapacity(3);  // never below the count
    EXPECT_EQ(list.Capacity(), 11);
}

TEST(ObjectList, DeleteRangeClosesTheGapAndFreesOnlyWhatItDrops) {
    std::vector<int> freed;
    TObjectList<TTracked> list;
    for (int i = 0; i < 5; ++i) list.Add(std::make_unique<TTracked>(i, &freed));
    list.DeleteRange(1, 2);
    EXPECT_EQ(Values(list), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(freed, (std::vector<int>{1, 2}));

    list.DeleteRange(-5, 6);  // clipped to 0..0
    EXPECT_EQ(Values(list), (std::vector<int>{3, 4}));
    list.DeleteRange(1, INT32_MAX);  // no overflow in index + count
    EXPECT_EQ(Values(list), (std::vector<int>{3}));
    list.DeleteRange(5, 1);
    list.DeleteRange(0, 0);
    EXPECT_EQ(list.Count(), 1);
}

TEST(ObjectList, SetCountFreesOnlyInOwningLists) {
    std::vector<int> freed;
    TTracked a(1, &freed), b(2, &freed);
    {
        TObjectRefList<TTracked> refs;
        refs.Add(&a);
        refs.Add(&b);
        refs.SetCount(0);
        refs.Add(&a);
    }
    EXPECT_TRUE(freed.empty());

    TObjectList<TTracked> owned;
    owned.Add(std::make_unique<TTracked>(3, &freed));
    owned.Add(std::make_unique<TTracked>(4, &freed));
    owned.SetCount(1);
    EXPECT_EQ(freed, (std::vector<int>{4}));
    owned.SetCount(20);  // grows with empty slots; the array grows to exactly 20
    EXPECT_EQ(owned.Capacity(), 20);
    EXPECT_EQ(owned.Items(19), nullptr);
    owned.Clear();
    EXPECT_EQ(freed, (std::vector<int>{4, 3}));
    EXPECT_THROW(owned.SetCount(-1), Exception);
}

TEST(ObjectList, RefListInsertSpaceOpensSlots) {
    int a = 1, b = 2, c = 3;
    TObjectRefList<int> list;
    list.Add(&a);
    list.Add(&b);
    list.InsertSpace(1, 2);
    EXPECT_EQ(list.Count(), 4);
    list.SetItem(1, &c);
    list.SetItem(2, &c);
    EXPECT_EQ(list[0], &a);
    EXPECT_EQ(list[1], &c);
    EXPECT_EQ(list[3], &b);
    list.InsertSpace(-3, 20);  // at 0; capacity first doubles what is needed
    EXPECT_EQ(list.Count(), 24);
    EXPECT_EQ(list.Capacity(), 48);
    EXPECT_EQ(list[23], &b);
}

TEST(ObjectList, IndexOutOfRangeRaises) {
    TObjectRefList<int> list;
    EXPECT_THROW(list.Items(0), Exception);
    int a = 0;
    list.Add(&a);
    EXPECT_THROW(list.Items(-1), Exception);
    EXPECT_THROW(list.SetItem(1, &a), Exception);
}

TEST(ObjectList, SortOrdersAndRequiresACompareFunction) {
    std::vector<int> values = {5, 3, 9, 1, 7, 3, 8, 2, 6, 4, 0};
    TObjectRefList<int> list;
    for (int& v : values) list.Add(&v);
    EXPECT_THROW(list.Sort(nullptr), Exception);
    list.Sort([](int* x, int* y) { return *x - *y; });
    for (int i = 1; i < list.Count(); ++i) EXPECT_LE(*list[i - 1], *list[i]);

    TObjectRefList<int> single;
    single.Add(&values[0]);
    single.Sort(nullptr);  // fewer than two: nothing to do, no compare needed
}

TEST(ObjectList, SortLeavesEqualElementsInTheQuicksortsOrder) {
    // Three equal keys in distinct objects: the middle pivot meets equal elements from both ends;
    // equal pairs are stepped over without a swap, so the original order stays.
    int a = 1, b = 1, c = 1;
    TObjectRefList<int> list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    list.Sort([](int* x, int* y) { return *x - *y; });
    EXPECT_EQ(list[0], &a);
    EXPECT_EQ(list[1], &b);
    EXPECT_EQ(list[2], &c);
}

TEST(ObjectList, SortSurvivesAnInconsistentCompareFunction) {
    std::vector<int> values(50);
    TObjectRefList<int> list;
    for (int& v : values) list.Add(&v);
    list.Sort([](int*, int*) { return -1; });  // always "less": must not run off the array
    EXPECT_EQ(list.Count(), 50);
}

}  // namespace
}  // namespace marlowen
