#include <gtest/gtest.h>

#include "platform/shared/DoubleClickTracker.h"

namespace marlowen {
namespace {

const TDoubleClickTracker::TRule kRule{500, 4, 6};

TEST(DoubleClickTracker, APressCompletesADoubleClickOnlyNearInTimeAndPlace) {
    TDoubleClickTracker tracker;
    EXPECT_FALSE(tracker.Press(100, 100, 1000, kRule));
    EXPECT_TRUE(tracker.Press(102, 97, 1500, kRule)) << "at the rectangle's edge, at the time's end";
    // The press that completed one starts nothing: a third is a single press again.
    EXPECT_FALSE(tracker.Press(102, 97, 1600, kRule));
    EXPECT_FALSE(tracker.Press(102, 97, 2101, kRule)) << "one millisecond too late";
    EXPECT_FALSE(tracker.Press(105, 97, 2200, kRule)) << "three pixels to the side, of four";
    EXPECT_FALSE(tracker.Press(105, 101, 2300, kRule)) << "four pixels down, of six";
    EXPECT_TRUE(tracker.Press(105, 98, 2400, kRule));
}

TEST(DoubleClickTracker, TheClockMayWrapAndAForgottenPressCountsForNothing) {
    TDoubleClickTracker tracker;
    EXPECT_FALSE(tracker.Press(0, 0, 0xFFFFFF00u, kRule));
    EXPECT_FALSE(tracker.Press(0, 0, 0x100u, kRule)) << "512 ms later, across the wrap, is too late";
    EXPECT_FALSE(tracker.Press(0, 0, 0xFFFFFF80u, kRule));
    EXPECT_TRUE(tracker.Press(0, 0, 0x40u, kRule)) << "192 ms later, across the wrap";
    tracker.Press(-2000000000, 0, 10, kRule);
    EXPECT_FALSE(tracker.Press(2000000000, 0, 20, kRule)) << "no overflow in the distance";
    tracker.Press(7, 7, 100, kRule);
    tracker.Forget();
    EXPECT_FALSE(tracker.Press(7, 7, 150, kRule));
}

}  // namespace
}  // namespace marlowen
