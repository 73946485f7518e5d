#include "world/CameraAuto.h"

#include <cstdint>

#include "core/Clock.h"
#include "world/Camera.h"

namespace reef {

namespace {
constexpr float kTopPitch = -25.0f;    // degrees: looking up toward the surface
constexpr float kBottomPitch = 0.0f;   // degrees: the level view

// Seconds from the settings to ms, saturating instead of overflowing.
int secondsToMs(int seconds) {
    const long long ms = static_cast<long long>(seconds) * 1000;
    if (ms > INT32_MAX) return INT32_MAX;
    if (ms < INT32_MIN) return INT32_MIN;
    return static_cast<int>(ms);
}
}  // namespace

CameraAuto::CameraAuto() : m_restStart(getTicks()) {}

void CameraAuto::updateAuto(Camera& camera, int dt, int cameraSpeed, int fixTop, int fixBottom) {
    const uint32_t now = getTicks();
    const float speed = static_cast<float>(cameraSpeed) * 0.001f;  // degrees per ms
    switch (m_motion) {
    case Motion::Up:
        if (camera.pitch() > kTopPitch) {
            camera.pitchBy(-speed * static_cast<float>(dt));
        } else {
            m_motion = Motion::Rest;
            m_restDuration = secondsToMs(fixTop);
            m_restStart = now;
            m_moving = false;
        }
        break;
    case Motion::Down:
        if (camera.pitch() < kBottomPitch) {
            camera.pitchBy(speed * static_cast<float>(dt));
        } else {
            m_motion = Motion::Rest;
            m_restDuration = secondsToMs(fixBottom);
            m_restStart = now;
            m_moving = false;
        }
        break;
    case Motion::Rest:
        // Signed difference, so a tick counter that wraps does not end a rest early.
        if (static_cast<int32_t>(now - m_restStart) > m_restDuration) {
            m_restStart = now;
            m_motion = camera.pitch() >= 0.0f ? Motion::Up : Motion::Down;
            // Only the frame in which the tilt starts: the frame update clears the
            // flag again, so the highlight shimmers on while the view tilts.
            m_moving = true;
        }
        break;
    }
}

}  // namespace reef
