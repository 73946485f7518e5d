#include <gtest/gtest.h>

#include <vector>

#include "shell/FramePacer.h"

namespace reef {
namespace {

// Draws frames the way the loop does: wait until due (the clock moves on by
// the wait), then start the frame and spend `work` milliseconds on it.
std::vector<uint32_t> frameStarts(FramePacer& pacer, uint32_t& now, int frames, uint32_t work) {
    std::vector<uint32_t> starts;
    for (int i = 0; i < frames; ++i) {
        now += pacer.millisecondsUntilDue(now);
        starts.push_back(now);
        pacer.frameStarted(now);
        now += work;
    }
    return starts;
}

TEST(FramePacer, FramesAreDueAtTheRateWithoutDrift) {
    FramePacer uncapped(0);
    uint32_t now = 1000;
    EXPECT_EQ(frameStarts(uncapped, now, 3, 7), (std::vector<uint32_t>{1000, 1007, 1014}));

    FramePacer ten(10);
    now = 1000;
    EXPECT_EQ(frameStarts(ten, now, 4, 30), (std::vector<uint32_t>{1000, 1100, 1200, 1300}));

    // 1000 / 30 is no whole number: the frames still keep 30 a second on average.
    FramePacer thirty(30);
    now = 0;
    const std::vector<uint32_t> starts = frameStarts(thirty, now, 31, 5);
    EXPECT_EQ(starts[1], 33u);
    EXPECT_EQ(starts[2], 66u);
    EXPECT_EQ(starts[3], 100u);
    EXPECT_EQ(starts[30], 1000u);

    // Across the wrap of the 32-bit millisecond count.
    FramePacer wrapping(10);
    now = 0xFFFFFFFFu - 150;
    const std::vector<uint32_t> wrapped = frameStarts(wrapping, now, 3, 10);
    EXPECT_EQ(wrapped[1], 0xFFFFFFFFu - 50);
    EXPECT_EQ(wrapped[2], 49u);
}

TEST(FramePacer, SlowFramesAreNotMadeUpAndOddClocksDoNotStopTheLoop) {
    // Frames that take longer than the frame time are drawn at once, and the
    // loop does not draw a burst afterwards to catch up.
    FramePacer pacer(10);
    uint32_t now = 0;
    pacer.frameStarted(now);
    now = 450;  // the frame took 450 ms
    EXPECT_EQ(pacer.millisecondsUntilDue(now), 0u);
    pacer.frameStarted(now);
    EXPECT_EQ(pacer.millisecondsUntilDue(now + 20), 80u);

    // A clock that jumps back asks for no more than one frame's wait.
    EXPECT_EQ(pacer.millisecondsUntilDue(now - 10000), 100u);
    // A clock that stands still: one frame's wait, every time.
    FramePacer still(20);
    still.frameStarted(777);
    EXPECT_EQ(still.millisecondsUntilDue(777), 50u);
    still.frameStarted(777);
    EXPECT_EQ(still.millisecondsUntilDue(777), 50u);

    // Rates beyond the limit are capped; none below zero.
    FramePacer fast(1000000);
    fast.frameStarted(0);
    EXPECT_EQ(fast.millisecondsUntilDue(0), 1u);
    EXPECT_FALSE(FramePacer(-5).capped());
}

}  // namespace
}  // namespace reef
