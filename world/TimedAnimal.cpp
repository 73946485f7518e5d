#include "world/TimedAnimal.h"

#include <cmath>

#include "core/Clock.h"
#include "core/Math.h"

namespace reef {

void TimedAnimal::activate() {
    drawStartTime();
    m_idle = false;
}

void TimedAnimal::finish() { m_idle = true; }

void TimedAnimal::drawStartTime() {
    if (!delaysSet()) {
        m_startTime = 0;
        return;
    }
    const float delay = randomFloat(static_cast<float>(m_minDelay), static_cast<float>(m_maxDelay), 2);
    m_startTime = static_cast<int64_t>(getTicks()) + static_cast<int64_t>(std::trunc(delay));
}

}  // namespace reef
