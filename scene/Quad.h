// A flat textured rectangle in its own x-y plane, centred on its placement:
// the sky plane, billboards, the light-pattern layer and the fog gradient.
#pragma once

#include <array>

#include "engine/SceneObject.h"

namespace reef {

class Quad : public SceneObject {
public:
    // One corner as drawn: texture coordinate, then position (world units).
    struct Corner {
        float u, v;
        float x, y, z;
    };

    // Width and height in world units; the halves follow.
    void setSize(float width, float height);
    // How often the texture repeats across the quad.
    void setRepeat(float u, float v);
    float width() const { return m_width; }
    float height() const { return m_height; }

    // The four corners in drawing order: top right, top left, bottom left, bottom right.
    std::array<Corner, 4> corners() const;

    // Pushes the matrix, then the base placement and material.
    void beginDraw() override;
    void draw() override;
    // Pops the matrix, then the base clean-up.
    void endDraw() override;

private:
    float m_width = 1.0f, m_height = 1.0f;
    float m_halfWidth = 0.5f, m_halfHeight = 0.5f;
    float m_repeatU = 1.0f, m_repeatV = 1.0f;
};

}  // namespace reef
