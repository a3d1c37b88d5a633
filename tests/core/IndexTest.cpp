#include <gtest/gtest.h>

#include <memory>

#include "core/Exception.h"
#include "core/HashTable.h"
#include "core/Int64Index.h"
#include "core/StringIndex.h"
#include "core/TextIndex.h"

namespace marlowen {
namespace {

struct TTextEntry : TCustomTextItem {
    TTextEntry(std::string key, int value) : TCustomTextItem(std::move(key)), Value(value) {}
    int Value;
};

TEST(HashTable, BucketOutOfRangeRaises) {
    THashTable table(19);
    TCustomItem item;
    try {
        table.Insert(19, &item);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Выход hash-кода за допустимые пределы.");
    }
    EXPECT_THROW(table.Insert(-1, &item), Exception);
    table.Insert(18, &item);
    table.Insert(18, nullptr);
    EXPECT_EQ(table.Chain(18).front(), nullptr);  // newest at the head
    table.RemoveEntry(18, &item);
    table.RemoveEntry(18, &item);  // absent: nothing
    EXPECT_EQ(std::distance(table.Chain(18).begin(), table.Chain(18).end()), 1);
}

TEST(TextIndex, FindsWithoutRegardToCaseNewestFirst) {
    TTextIndex<TTextEntry> index(19);
    TTextEntry* older = index.Add(std::make_unique<TTextEntry>("Button", 1));
    EXPECT_EQ(index.Find("BUTTON"), older);
    TTextEntry* newer = index.Add(std::make_unique<TTextEntry>("button", 2));
    EXPECT_EQ(index.Find("Button"), newer);
    EXPECT_EQ(index.First(), older);  // the list keeps insertion order

    index.Remove(newer, true);
    EXPECT_EQ(index.Find("button"), older);
    delete older;  // freeing an item takes it out of the table too
    EXPECT_EQ(index.Find("button"), nullptr);
    EXPECT_EQ(index.Count(), 0);
}

TEST(StringIndex, ComparesExactBytes) {
    TCustomStringIndex index(10007);
    TCustomStringItem* item = index.Add(std::make_unique<TCustomStringItem>("XML\\Global\\Styles.xml"));
    EXPECT_EQ(index.Find("XML\\Global\\Styles.xml"), item);
    EXPECT_EQ(index.Find("xml\\global\\styles.xml"), nullptr);
    EXPECT_EQ(index.Find(""), nullptr);
}

TEST(Int64Index, NegativeKeysAndClear) {
    TCustomInt64Index index(11);
    auto* negative = index.Add(std::make_unique<TCustomInt64Item>(-23));  // bucket |-23 rem 11| = 1
    auto* positive = index.Add(std::make_unique<TCustomInt64Item>(12));   // bucket 1 as well
    auto* extreme = index.Add(std::make_unique<TCustomInt64Item>(INT64_MIN));
    EXPECT_EQ(index.Find(-23), negative);
    EXPECT_EQ(index.Find(12), positive);
    EXPECT_EQ(index.Find(INT64_MIN), extreme);
    EXPECT_EQ(index.Find(23), nullptr);
    EXPECT_EQ(TInt64KeyTraits::Bucket(-23, 11), 1);
    index.Clear();
    EXPECT_EQ(index.Find(12), nullptr);
    EXPECT_EQ(index.Count(), 0);
    index.Add(std::make_unique<TCustomInt64Item>(12));
    EXPECT_NE(index.Find(12), nullptr);
}

TEST(Indexes, RefuseItemsOfAnotherClass) {
    TTextIndex<TTextEntry> index(19);
    EXPECT_THROW(index.TCustomItems::Add(std::make_unique<TCustomTextItem>("plain")), Exception);
    EXPECT_EQ(index.Count(), 0);
    EXPECT_EQ(index.Find("plain"), nullptr);
}

}  // namespace
}  // namespace marlowen
