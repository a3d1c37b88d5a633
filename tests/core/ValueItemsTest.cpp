#include <gtest/gtest.h>

#include "core/MultiLanguageException.h"
#include "core/ValueItems.h"

namespace marlowen {
namespace {

TEST(ValueItems, GettersIgnoreLetterCaseAndConvert) {
    TValueItems items;
    items.Add(std::make_unique<TValueItem>("Width", TVariant(5)));
    items.Add(std::make_unique<TValueItem>("Caption", u"Далее"));
    items.Add(std::make_unique<TValueItem>("TextColor", TVariant(int64_t{0xFF102030})));
    items.Add(std::make_unique<TValueItem>("Visible", TVariant("true")));
    EXPECT_EQ(items.GetInteger("width"), 5);
    EXPECT_EQ(items.GetText("WIDTH"), "5");
    EXPECT_EQ(items.GetWideText("caption"), u"Далее");
    EXPECT_EQ(items.GetText("caption"), "Далее");
    EXPECT_EQ(items.GetColor("textcolor"), 0xFF102030u);
    EXPECT_TRUE(items.GetBoolean("Visible"));
    EXPECT_THROW(items.GetInteger("Caption"), EVariantError);
}

// A number keeps its type whatever its C++ type (an int must not turn into a Boolean).
TEST(ValueItems, NumbersBuildNumberItems) {
    const TValueItem count("Count", 5);
    EXPECT_EQ(count.Kind(), TValueKind::Integer);
    EXPECT_EQ(count.Value(), TVariant(5));
    const TValueItem big("Big", int64_t{1} << 40);
    EXPECT_EQ(big.Kind(), TValueKind::Int64);
    EXPECT_EQ(big.Value().ToInt64(), int64_t{1} << 40);
    const TValueItem ratio("Ratio", 0.5);
    EXPECT_EQ(ratio.Kind(), TValueKind::Double);
    EXPECT_EQ(ratio.Value().ToDouble(), 0.5);
    const TValueItem flag("Flag", true);
    EXPECT_EQ(flag.Kind(), TValueKind::Boolean);
    EXPECT_EQ(flag.Value(), TVariant(true));
}

TEST(ValueItems, DefaultsAndMissingNames) {
    TValueItems items;
    EXPECT_EQ(items.GetTextDef("Caption", "x"), "x");
    EXPECT_EQ(items.GetWideTextDef("Caption", u"y"), u"y");
    EXPECT_EQ(items.GetIntegerDef("Left", -3), -3);
    EXPECT_EQ(items.GetColorDef("Color", 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_TRUE(items.GetBooleanDef("Enabled", true));
    try {
        items.GetText("Caption");
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Property Caption not found.");
    }
    EXPECT_EQ(items.Count(), 0);
}

TEST(ValueItems, NewestOfEqualNamesIsFound) {
    TValueItems items;
    TValueItem* first = items.Add(std::make_unique<TValueItem>("A", TVariant(1)));
    TValueItem* second = items.Add(std::make_unique<TValueItem>("A", TVariant(2)));
    EXPECT_EQ(items.Find("a"), second);
    items.Remove(second, true);
    EXPECT_EQ(items.Find("a"), first);
}

TEST(ValueItems, SettersFireOnChangeEveryTime) {
    TValueItems items;
    int changes = 0;
    items.OnChange = [&](TValueItems& sender) {
        EXPECT_EQ(&sender, &items);
        ++changes;
    };
    items.SetBoolean("Checked", true);
    ASSERT_NE(items.Find("checked"), nullptr);
    EXPECT_EQ(items.Find("checked")->Kind(), TValueKind::Boolean);
    EXPECT_EQ(changes, 1);
    items.SetBoolean("CHECKED", true);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(items.Count(), 1);
    items.SetWideText("Text", u"abc");
    EXPECT_EQ(items.Find("Text")->Kind(), TValueKind::WideString);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(std::string(ValueKindName(TValueKind::Boolean)), "Boolean");
}

TEST(ValueItems, AssignCopiesInOrderAndFiresPerItem) {
    TValueItems source;
    source.Add(std::make_unique<TValueItem>("One", TVariant(1)));
    source.SetWideText("Two", u"2");
    source.SetBoolean("Three", false);
    TValueItems target;
    target.Add(std::make_unique<TValueItem>("Old", TVariant(0)));
    int changes = 0;
    target.OnChange = [&](TValueItems&) { ++changes; };
    target.Assign(source);
    EXPECT_EQ(changes, 3);
    ASSERT_EQ(target.Count(), 3);
    EXPECT_EQ(target.First()->Name(), "One");
    EXPECT_EQ(target.Last()->Name(), "Three");
    EXPECT_EQ(target.Last()->Kind(), TValueKind::Boolean);
    EXPECT_EQ(target.Find("Old"), nullptr);
    EXPECT_EQ(target.GetText("Two"), "2");
    target.Assign(target);  // from itself: keeps what it has
    EXPECT_EQ(target.Count(), 3);
}

TEST(ValueItems, MergeFiresOnlyForAddedNames) {
    TValueItems target;
    target.Add(std::make_unique<TValueItem>("A", TVariant(1)));
    TValueItems source;
    source.Add(std::make_unique<TValueItem>("a", TVariant(2)));
    source.Add(std::make_unique<TValueItem>("B", TVariant(3)));
    int changes = 0;
    target.OnChange = [&](TValueItems&) { ++changes; };
    target.Merge(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target.GetInteger("A"), 2);
    EXPECT_EQ(target.GetInteger("B"), 3);
    EXPECT_EQ(target.Count(), 2);
}

}  // namespace
}  // namespace marlowen
