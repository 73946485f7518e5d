#include "world/RandomTimer.h"

#include <algorithm>
#include <climits>

#include "core/Random.h"

namespace reef {

void RandomTimer::setRange(int minimum, int maximum) {
    m_elapsed = 0;
    m_minimum = minimum;
    m_maximum = maximum;
    drawThreshold();
}

bool RandomTimer::tick(int dt) {
    if (!m_enabled) return false;
    // Saturate instead of overflowing on absurd frame times.
    const long long sum = static_cast<long long>(m_elapsed) + dt;
    m_elapsed = static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
    if (m_elapsed < m_threshold) return false;
    m_elapsed = 0;
    drawThreshold();
    return true;
}

void RandomTimer::restart() {
    m_elapsed = 0;
    drawThreshold();
}

void RandomTimer::disable() { m_enabled = false; }

void RandomTimer::drawThreshold() {
    if (m_minimum == -1) return;
    if (m_maximum == -1) {
        m_threshold = m_minimum;
        return;
    }
    // NOTE: an empty or inverted range has nothing to draw from; it behaves as a
    // fixed interval of the minimum instead of taking a remainder by zero.
    const long long span = static_cast<long long>(m_maximum) - m_minimum;
    if (span <= 0) {
        m_threshold = m_minimum;
        return;
    }
    m_threshold = static_cast<int>(m_minimum + rand() % span);
}

}  // namespace reef
