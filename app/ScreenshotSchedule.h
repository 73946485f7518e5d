// Timed screenshots and a timed exit, for looking at the running reef without a
// person at the screen (tests, the README's no-display run, benchmarks).
// Configured from the environment:
//   REEFSAVER_SCREENSHOTS="5000:/tmp/a.png,30000:/tmp/b.png"  (ms after the first frame)
//   REEFSAVER_QUIT_AFTER_MS=91000
// Both count real milliseconds, whatever clock the scene reads: with the scene's
// clock frozen (REEFSAVER_FROZEN_CLOCK_MS) a shot at 2 s is still taken at 2 s.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reef {

class ScreenshotSchedule {
public:
    struct Shot {
        uint32_t atMs = 0;
        std::string path;
    };

    // Reads the two variables; an unset or malformed one schedules nothing.
    void configureFromEnvironment();
    void configure(const std::string& shots, const std::string& quitAfterMs);

    // Called once per drawn frame, before the buffers are swapped; reads the back
    // buffer when a shot is due. Returns true when the run should end now.
    bool afterRender(int width, int height);

    const std::vector<Shot>& shots() const { return m_shots; }
    int64_t quitAfterMs() const { return m_quitAfterMs; }

private:
    // Milliseconds of the monotonic real-time clock.
    static uint64_t realMilliseconds();

    std::vector<Shot> m_shots;
    int64_t m_quitAfterMs = -1;
    bool m_started = false;
    uint64_t m_firstFrame = 0;
    std::vector<uint8_t> m_pixels;
};

}  // namespace reef
