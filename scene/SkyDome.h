// The cloudy sky: a paraboloid cap of (n + 1)^2 vertices seen from below,
// turning slowly about the vertical axis. Lighting is off while it draws and
// restored afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/SceneObject.h"

namespace reef {

class SkyDome : public SceneObject {
public:
    static constexpr int kMinDivisions = 1;
    static constexpr int kMaxDivisions = 256;

    // One vertex: position (world units), then texture coordinate.
    struct Vertex {
        float x, y, z;
        float u, v;
    };

    SkyDome();

    // Shape parameters, used by the next build (world units).
    void setRadius(float radius) { m_radius = radius; }
    void setDivisions(int divisions) { m_divisions = divisions; }
    void setRepeat(float u, float v);
    // Degrees per second about the vertical axis; negative turns the other way.
    void setSpinSpeed(float degreesPerSecond) { m_spinSpeed = degreesPerSecond; }
    float spinSpeed() const { return m_spinSpeed; }

    // Rebuilds the vertex and index arrays. False (and no geometry) when the
    // outer radius is not larger than the radius, which leaves no cap to span.
    bool build();

    // Turns the dome by the time since the last call (called by beginDraw).
    void updateSpin();

    // Saves the lighting state, pushes the matrix, spins, places and lifts the dome.
    void beginDraw() override;
    void draw() override;
    // Restores lighting, pops the matrix, then the base clean-up.
    void endDraw() override;
    // Frees the geometry and empties the texture lists.
    void reset() override;

    int builtDivisions() const { return m_builtDivisions; }
    float verticalOffset() const { return m_verticalOffset; }
    const std::vector<Vertex>& vertices() const { return m_vertices; }
    // NOTE: 32-bit, since 256 divisions give 66049 vertices, more than 16 bits can number.
    const std::vector<uint32_t>& indices() const { return m_indices; }

private:
    float m_radius = 500.0f;
    float m_outerRadius = 900.0f;
    int m_divisions = 16;
    float m_repeatU = 1.0f, m_repeatV = 1.0f;
    float m_spinSpeed = 2.0f;  // degrees per second
    float m_verticalOffset = 0.0f;
    uint32_t m_lastTick = 0;   // ms
    int m_builtDivisions = 0;
    std::vector<Vertex> m_vertices;
    std::vector<uint32_t> m_indices;
    bool m_lightingWasOn = false;
};

}  // namespace reef
