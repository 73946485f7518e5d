#include "world/RandomTimer.h"

#include <gtest/gtest.h>

#include "core/Random.h"

namespace reef {
namespace {

// Ticks 1 ms at a time and returns how many ms it took to fire.
int msUntilFire(RandomTimer& timer, int limit = 100000) {
    for (int ms = 1; ms <= limit; ++ms) {
        if (timer.tick(1)) return ms;
    }
    return -1;
}

TEST(RandomTimer, FiresWithinItsRangeAndRedraws) {
    seedRandom(3);
    RandomTimer timer;
    timer.setRange(3000, 4000);
    int lo = 1 << 30, hi = 0;
    for (int i = 0; i < 200; ++i) {
        const int ms = msUntilFire(timer);
        ASSERT_GE(ms, 3000);
        ASSERT_LE(ms, 3999);
        lo = std::min(lo, ms);
        hi = std::max(hi, ms);
        EXPECT_EQ(timer.elapsed(), 0);
    }
    EXPECT_LT(lo, 3100);  // the draws spread over the range
    EXPECT_GT(hi, 3900);
}

TEST(RandomTimer, BigTicksFireOnceAndDropTheOvershoot) {
    seedRandom(3);
    RandomTimer timer;
    timer.setRange(20000, 30000);
    EXPECT_FALSE(timer.tick(19999));
    EXPECT_TRUE(timer.tick(10001));
    EXPECT_EQ(timer.elapsed(), 0);
    EXPECT_GE(timer.threshold(), 20000);
    EXPECT_LT(timer.threshold(), 30000);
}

TEST(RandomTimer, SpecialRanges) {
    // Never set: the threshold -1 is reached on every tick, even a 0 ms one.
    RandomTimer never;
    EXPECT_TRUE(never.tick(0));
    EXPECT_TRUE(never.tick(5));
    // No maximum: exactly the minimum every time.
    RandomTimer fixed;
    fixed.setRange(10000, -1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(msUntilFire(fixed), 10000);
    // An empty or inverted range never takes a remainder by zero.
    RandomTimer empty;
    empty.setRange(500, 500);
    EXPECT_EQ(msUntilFire(empty), 500);
    empty.setRange(700, 200);
    EXPECT_EQ(msUntilFire(empty), 700);
    // Disabled: never again, even past the threshold.
    RandomTimer off;
    off.setRange(10, 20);
    off.disable();
    EXPECT_EQ(msUntilFire(off, 1000), -1);
    // Restart forgets the time gathered so far.
    RandomTimer timer;
    timer.setRange(1000, -1);
    EXPECT_FALSE(timer.tick(900));
    timer.restart();
    EXPECT_FALSE(timer.tick(900));
    EXPECT_TRUE(timer.tick(100));
}

}  // namespace
}  // namespace reef
