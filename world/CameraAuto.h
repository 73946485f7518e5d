// The automatic camera tilt: rest at the level view, tilt up toward the surface,
// rest, tilt back down, and so on, at a speed and with rest times from the settings.
#pragma once

#include <cstdint>

namespace reef {

class Camera;

class CameraAuto {
public:
    enum class Motion { Down = -1, Rest = 0, Up = 1 };

    // Resting, for 10000 ms from now.
    CameraAuto();

    // Steps the tilt by one frame of dt ms. cameraSpeed is in thousandths of a
    // degree per ms; fixTop and fixBottom are the rest times in seconds.
    void updateAuto(Camera& camera, int dt, int cameraSpeed, int fixTop, int fixBottom);

    void setAutomatic(bool on) { m_automatic = on; }
    bool automatic() const { return m_automatic; }
    // The frame update clears the flag first; it is set only in the frame in which an
    // automatic tilt starts or a key tilts the view.
    void clearMoving() { m_moving = false; }
    void setMoving() { m_moving = true; }
    bool moving() const { return m_moving; }
    Motion motion() const { return m_motion; }
    int restDuration() const { return m_restDuration; }

private:
    bool m_automatic = false;
    bool m_moving = false;
    Motion m_motion = Motion::Rest;
    uint32_t m_restStart = 0;   // ms
    int m_restDuration = 10000; // ms
};

}  // namespace reef
