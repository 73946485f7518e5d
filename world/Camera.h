// The viewer's camera: a fixed eye whose view only tilts. Eye, center and up are
// kept with z negated (the GL frame), ready to be handed to gluLookAt as stored;
// drawing code does that, this class holds no GL.
#pragma once

#include <cstdint>

#include "core/Math.h"

namespace reef {

class Camera {
public:
    // Eye (0, 10, 20), center (0, 0, 0), up (0, 1, 0), pitch 0.
    Camera();

    // Places the camera from world coordinates; the accumulated pitch returns to 0.
    void set(const Vec3& eye, const Vec3& center, const Vec3& up);
    // Tilts the view by degrees about the camera's side axis (negative raises the
    // view); the accumulated pitch is kept within -89..89 degrees.
    void pitchBy(float degrees);
    // One key step per frame (0.5 degrees): down first, then up, whichever is held.
    void keyTilt(bool up, bool down);

    // The stored vectors (z negated), as gluLookAt takes them.
    const Vec3& eye() const { return m_eye; }
    const Vec3& center() const { return m_center; }
    const Vec3& up() const { return m_up; }
    // The same points in world coordinates.
    Vec3 worldEye() const { return {m_eye.x, m_eye.y, -m_eye.z}; }
    Vec3 worldCenter() const { return {m_center.x, m_center.y, -m_center.z}; }

    // Degrees accumulated since the last set.
    float pitch() const { return m_pitch; }
    uint32_t lastTicks() const { return m_lastTicks; }

private:
    Vec3 m_eye{0.0f, 10.0f, 20.0f};
    Vec3 m_center{0.0f, 0.0f, 0.0f};
    Vec3 m_up{0.0f, 1.0f, 0.0f};
    float m_pitch = 0.0f;       // degrees
    uint32_t m_lastTicks = 0;   // ms
    float m_tiltStep = 0.5f;    // degrees per key frame
};

}  // namespace reef
