#include "world/Camera.h"

#include "core/Clock.h"

namespace reef {

Camera::Camera() : m_lastTicks(getTicks()) {}

void Camera::set(const Vec3& eye, const Vec3& center, const Vec3& up) {
    m_eye = {eye.x, eye.y, -eye.z};
    m_center = {center.x, center.y, -center.z};
    m_up = {up.x, up.y, -up.z};
    m_pitch = 0.0f;
}

void Camera::pitchBy(float degrees) {
    float a = degrees;
    if (m_pitch + a >= 90.0f) {
        a = 89.0f - m_pitch;
        m_pitch = 89.0f;
    } else if (m_pitch + a <= -90.0f) {
        a = -89.0f - m_pitch;
        m_pitch = -89.0f;
    } else {
        m_pitch += a;
    }
    const Vec3 d = sub(m_center, m_eye);
    const Vec3 axis = normalized(cross(d, m_up));
    Quat q = fromAxisAngle(axis, a);
    normalize(q);
    // transformPoint with a quaternion's matrix turns by the inverse, so d turns by -a.
    const Vec3 turned = transformPoint(d, toMatrix(q));
    m_center = add(m_eye, turned);
}

void Camera::keyTilt(bool up, bool down) {
    m_lastTicks = getTicks();
    if (down) pitchBy(m_tiltStep);
    if (up) pitchBy(-m_tiltStep);
}

}  // namespace reef
