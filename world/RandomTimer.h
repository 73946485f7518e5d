// A timer that fires after random intervals drawn from a range of milliseconds.
// It does not read the clock: its owner feeds it the frame time.
#pragma once

namespace reef {

class RandomTimer {
public:
    RandomTimer() = default;

    // Resets the accumulated time and draws an interval in [minimum, maximum) ms.
    // A maximum of -1 means a fixed interval of exactly minimum ms.
    void setRange(int minimum, int maximum);
    // Adds dt ms; true (and a new interval) once the current interval is reached.
    // A timer whose range was never set fires on every tick.
    bool tick(int dt);
    // Starts a new interval from zero.
    void restart();
    // Stops the timer for good: tick answers false from now on.
    void disable();

    int elapsed() const { return m_elapsed; }
    int threshold() const { return m_threshold; }
    bool enabled() const { return m_enabled; }

private:
    void drawThreshold();

    int m_elapsed = 0;    // ms since the last firing
    int m_minimum = -1;   // ms, -1 when unset
    int m_maximum = -1;   // ms, -1 when unset or without a maximum
    int m_threshold = -1; // ms, the current interval
    bool m_enabled = true;
};

}  // namespace reef
