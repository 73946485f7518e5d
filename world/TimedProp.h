// A scenery animal that now and then plays its animation once: when activated it
// waits a random delay, plays body and parts one loop, and becomes idle again.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/ModelObject.h"
#include "world/TimedAnimal.h"

namespace reef {

class TimedProp : public TimedAnimal {
public:
    TimedProp() = default;

    // One step; once per frame.
    void update();

    ModelObject& body() { return m_body; }
    std::vector<ModelObject>& parts() { return m_parts; }
    // Appends a copy of the part.
    void addPart(const ModelObject& part) { m_parts.push_back(part); }
    // 0: drawn early, with its parts; 1 or more: drawn late (after fog, without parts).
    void setDrawLate(int drawLate) { m_drawLate = drawLate; }
    int drawLate() const { return m_drawLate; }
    bool playing() const { return m_playing; }

private:
    ModelObject m_body;
    std::vector<ModelObject> m_parts;
    int m_drawLate = 0;
    bool m_playing = false;
};

}  // namespace reef
