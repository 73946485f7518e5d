#include "engine/WavyHeightField.h"

#include <cmath>

#include "core/Clock.h"
#include "core/Math.h"

namespace reef {

namespace {
constexpr float kPhaseXPerMs = 0.0035f;  // radians per ms
constexpr float kPhaseZPerMs = 0.0025f;  // radians per ms
constexpr float kAmplitudeX = 0.01f;     // world units
constexpr float kAmplitudeZ = 0.02f;     // world units
constexpr float kWavesX = 0.19f;
constexpr float kWavesZ = 0.13f;
}  // namespace

WavyHeightField::WavyHeightField() : m_lastTick(getTicks()) {}

void WavyHeightField::animate() {
    const uint32_t now = getTicks();
    const float dt = static_cast<float>(now - m_lastTick);
    m_lastTick = now;
    m_phaseX += dt * kPhaseXPerMs;
    m_phaseZ += dt * kPhaseZPerMs;
    // Kept below one turn even after a long pause, so the sines stay precise.
    if (m_phaseX >= kTwoPi) m_phaseX = std::fmod(m_phaseX, kTwoPi);
    if (m_phaseZ >= kTwoPi) m_phaseZ = std::fmod(m_phaseZ, kTwoPi);
    if (m_vertices.empty()) return;

    size_t n = 0;
    for (int i = 0; i < m_cellsX; ++i) {
        const float fi = static_cast<float>(i);
        const float aLeft = kAmplitudeX * std::sin(m_unitsPerPixelX * m_stepX * fi * kWavesX * kPi + m_phaseX);
        const float aRight =
            kAmplitudeX * std::sin((fi * m_stepX + m_stepX) * m_unitsPerPixelX * kWavesX * kPi + m_phaseX);
        const bool forward = i % 2 == 0;
        for (int r = 0; r < m_cellsZ && n + 1 < m_vertices.size(); ++r) {
            const int j = forward ? r : m_cellsZ - 1 - r;
            const float b =
                kAmplitudeZ * std::sin(static_cast<float>(j) * m_unitsPerPixelZ * m_stepZ * kWavesZ * kPi + m_phaseZ);
            // Forward columns emit the right edge first, backward ones the left edge.
            m_vertices[n++].displacement[1] = (forward ? aRight : aLeft) - b;
            m_vertices[n++].displacement[1] = (forward ? aLeft : aRight) - b;
        }
    }
}

}  // namespace reef
