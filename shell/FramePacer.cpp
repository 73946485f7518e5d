#include "shell/FramePacer.h"

#include <algorithm>

namespace reef {

FramePacer::FramePacer(int maxFramesPerSecond) : m_rate(std::clamp(maxFramesPerSecond, 0, kMaxFramesPerSecond)) {}

uint32_t FramePacer::frameTime() const { return static_cast<uint32_t>((1000 + m_rate - 1) / m_rate); }

uint32_t FramePacer::dueTime(uint64_t frame) const {
    return m_runStart + static_cast<uint32_t>(frame * 1000u / static_cast<uint64_t>(m_rate));
}

uint32_t FramePacer::millisecondsUntilDue(uint32_t now) const {
    if (!capped() || !m_running) return 0;
    // Differences of the wrapping millisecond count, read as signed.
    const int32_t ahead = static_cast<int32_t>(dueTime(m_framesInRun) - now);
    if (ahead <= 0) return 0;
    return std::min(static_cast<uint32_t>(ahead), frameTime());
}

void FramePacer::frameStarted(uint32_t now) {
    if (!capped()) return;
    const int32_t late = m_running ? static_cast<int32_t>(now - dueTime(m_framesInRun)) : 0;
    if (!m_running || late > static_cast<int32_t>(frameTime()) || late < -static_cast<int32_t>(frameTime())) {
        m_running = true;
        m_runStart = now;
        m_framesInRun = 0;
    }
    ++m_framesInRun;
}

}  // namespace reef
