#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "core/LifeToken.h"

namespace marlowen {
namespace {

// An object that ends its token where its destruction begins, as the owners do.
class TOwner {
public:
    virtual ~TOwner() { Life_.End(); }
    const TLifeToken& LifeToken() const { return Life_; }
    int Value = 0;

private:
    TLifeToken Life_;
};

class TDerived : public TOwner {
public:
    // A reference read while the derived part goes: the object is already gone.
    ~TDerived() override {
        if (Probe != nullptr) *Seen = Probe->Get();
    }
    const TWeakRef<TOwner>* Probe = nullptr;
    TOwner** Seen = nullptr;
};

TEST(LifeToken, EmptyReferenceAnswersNone) {
    const TWeakRef<TOwner> ref;
    EXPECT_EQ(ref.Get(), nullptr);
    const TWeakRef<TOwner> none(nullptr);
    EXPECT_EQ(none.Get(), nullptr);
}

TEST(LifeToken, ReferenceAnswersTheObjectUntilItIsFreed) {
    auto owner = std::make_unique<TOwner>();
    const TWeakRef<TOwner> ref(owner.get());
    const TWeakRef<TOwner> copy = ref;
    EXPECT_EQ(ref.Get(), owner.get());
    EXPECT_EQ(copy.Get(), owner.get());
    owner.reset();
    EXPECT_EQ(ref.Get(), nullptr);
    EXPECT_EQ(copy.Get(), nullptr);
}

TEST(LifeToken, EndedTokenAnswersNoneAtOnce) {
    TLifeToken token;
    EXPECT_TRUE(token.Alive());
    token.End();
    EXPECT_FALSE(token.Alive());
}

TEST(LifeToken, ObjectIsGoneFromTheStartOfItsDestruction) {
    auto derived = std::make_unique<TDerived>();
    const TWeakRef<TOwner> ref(derived.get());
    TOwner* seen = derived.get();
    derived->Probe = &ref;
    derived->Seen = &seen;
    derived.reset();
    // The base ends the token after the derived destructor ran: that one still saw it.
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(ref.Get(), nullptr);
}

TEST(LifeToken, CopiedObjectHasALifeOfItsOwn) {
    auto first = std::make_unique<TOwner>();
    auto second = std::make_unique<TOwner>(*first);
    const TWeakRef<TOwner> toFirst(first.get());
    const TWeakRef<TOwner> toSecond(second.get());
    *second = *first;  // assignment keeps each token
    first.reset();
    EXPECT_EQ(toFirst.Get(), nullptr);
    EXPECT_EQ(toSecond.Get(), second.get());
}

TEST(LifeToken, ReferenceToADerivedClassConvertsToTheBase) {
    auto derived = std::make_unique<TDerived>();
    const TWeakRef<TDerived> exact(derived.get());
    const TWeakRef<TOwner> base = exact;
    EXPECT_EQ(base.Get(), derived.get());
    derived.reset();
    EXPECT_EQ(base.Get(), nullptr);
    EXPECT_EQ(TWeakRef<TOwner>(exact).Get(), nullptr);
}

TEST(LifeToken, ReassignedReferenceFollowsTheNewObject) {
    auto first = std::make_unique<TOwner>();
    auto second = std::make_unique<TOwner>();
    TWeakRef<TOwner> ref(first.get());
    ref = TWeakRef<TOwner>(second.get());
    first.reset();
    EXPECT_EQ(ref.Get(), second.get());
    ref = TWeakRef<TOwner>();
    EXPECT_EQ(ref.Get(), nullptr);
}

}  // namespace
}  // namespace marlowen
