// The sea floor with a slow vertical undulation of at most 0.03 world units,
// recomputed on every draw from the time since the previous one.
#pragma once

#include <cstdint>

#include "engine/HeightField.h"

namespace reef {

class WavyHeightField : public HeightField {
public:
    WavyHeightField();
    ~WavyHeightField() override = default;

    // Advances both phases by the time since the last call and sets every
    // vertex's vertical displacement.
    void animate() override;

    float phaseX() const { return m_phaseX; }
    float phaseZ() const { return m_phaseZ; }

private:
    float m_phaseX = 0.0f;  // radians
    float m_phaseZ = 0.0f;  // radians
    uint32_t m_lastTick;    // ms
};

}  // namespace reef
