// A visitor that appears now and then: the scheduler activates one idle animal at
// a time; the animal plays its turn and becomes idle again with finish.
#pragma once

#include <cstdint>

namespace reef {

class TimedAnimal {
public:
    TimedAnimal() = default;
    virtual ~TimedAnimal() = default;
    TimedAnimal(const TimedAnimal&) = delete;
    TimedAnimal& operator=(const TimedAnimal&) = delete;

    // Leaves idle; with both delays set, the turn starts after a random delay
    // (startTime in clock ms), otherwise at once (startTime 0).
    virtual void activate();
    // Back to idle.
    virtual void finish();

    bool idle() const { return m_idle; }
    // Delays in ms; -1 leaves them unset.
    void setDelays(int minDelay, int maxDelay) {
        m_minDelay = minDelay;
        m_maxDelay = maxDelay;
    }
    int minDelay() const { return m_minDelay; }
    int maxDelay() const { return m_maxDelay; }
    bool delaysSet() const { return m_minDelay != -1 && m_maxDelay != -1; }
    int64_t startTime() const { return m_startTime; }
    // The delay draw of activate alone (scene assembly arms a prop's first wait so).
    void drawStartTime();

protected:
    int m_minDelay = -1;       // ms
    int m_maxDelay = -1;       // ms
    int64_t m_startTime = -1;  // clock ms, -1 when not scheduled
    bool m_idle = true;
};

}  // namespace reef
