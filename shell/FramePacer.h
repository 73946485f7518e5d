// Paces the frame loop to at most a number of frames a second. Times are
// milliseconds from the clock the frame update reads, so the pace and the
// measured frame time agree; motion stays scaled by the measured time, so a
// capped loop moves the reef just as far, in fewer steps.
//
// Frame k after the start of a run of frames is due at start + k * 1000 / rate
// (whole milliseconds, without drift); a loop that falls more than a frame
// behind starts a new run rather than drawing a burst to catch up.
#pragma once

#include <cstdint>

namespace reef {

class FramePacer {
public:
    static constexpr int kMaxFramesPerSecond = 1000;

    // 0 draws as fast as the loop goes; rates above the maximum are capped.
    explicit FramePacer(int maxFramesPerSecond = 0);

    bool capped() const { return m_rate > 0; }
    // How long to wait at now before the next frame is due: 0 to draw now, and
    // never more than one frame's time (a clock that stands still or jumps back
    // must not stop the loop).
    uint32_t millisecondsUntilDue(uint32_t now) const;
    // A frame is drawn, starting at now.
    void frameStarted(uint32_t now);

private:
    uint32_t frameTime() const;
    uint32_t dueTime(uint64_t frame) const;

    int m_rate;
    bool m_running = false;
    uint32_t m_runStart = 0;
    uint64_t m_framesInRun = 0;
};

}  // namespace reef
