#include "world/PathFollower.h"

#include <cmath>

#include "core/Clock.h"
#include "engine/SceneObject.h"

namespace reef {

namespace {
constexpr float kLookAhead = 0.07f;    // parameter distance of the point the object faces
constexpr float kDefaultStep = 0.001f;
// At most one segment per update. The step is re-estimated from a probe one step
// ahead, and the probe can only follow the path into the next segment: beyond it
// the spline is extrapolated, its chord comes out far too long, and after one very
// long frame (a machine woken from suspend) the next step is too small for a float
// position to change: the object would stand still for hundreds of frames. One segment keeps
// the probe on the path.
constexpr float kMaxStep = 1.0f;
}  // namespace

PathFollower::PathFollower() : m_lastTicks(getTicks()) {}

void PathFollower::setObject(SceneObject* object) { m_object = object; }

void PathFollower::addWaypoint(float x, float y, float z) { m_waypoints.push_back({x, y, z}); }

void PathFollower::removeFirstWaypoint() {
    if (m_waypoints.empty()) return;
    m_waypoints.erase(m_waypoints.begin());
    m_index = wrapIndex(m_index - 1);
}

void PathFollower::clearWaypoints() { m_waypoints.clear(); }

void PathFollower::setIndex(int i) {
    if (i >= 0 && i < waypointCount()) m_index = i;
}

void PathFollower::resume() {
    m_running = true;
    m_lastTicks = getTicks();
}

int PathFollower::wrapIndex(int i) const {
    const int count = waypointCount();
    if (count == 0) return i < 0 ? -1 : 0;
    if (i < 0) return count - 1;
    if (i < count) return i;
    return 0;
}

void PathFollower::initialise() {
    m_index = wrapIndex(m_index);
    const int count = waypointCount();
    if (count > 0) {
        const Vec3& start = m_waypoints[static_cast<size_t>(m_index)];
        if (m_object) {
            m_object->setPosition(start);
            m_object->clearFlags(SceneObject::kEulerPlacement);
        }
        m_position = start;
    }
    if (count < 2) m_stopped = true;
    if (count < 4 || m_splineAllowed == 0) m_linear = true;
    if (count > 0) loadSegment(m_index);
    m_lastTicks = getTicks();
    m_initialised = true;
    m_t = 0.0f;
}

void PathFollower::loadSegment(int i) {
    if (m_waypoints.empty()) return;
    // wrapIndex goes at most one lap; the modulo keeps far indices in range too.
    const int count = waypointCount();
    auto at = [&](int k) -> const Vec3& {
        const int w = wrapIndex(k);
        return m_waypoints[static_cast<size_t>(((w % count) + count) % count)];
    };
    m_p1 = at(i);
    m_p2 = at(i + 1);
    if (!m_linear) {
        m_p0 = at(i - 1);
        m_p3 = at(i + 2);
    }
}

Vec3 PathFollower::evaluate(float u) const {
    return m_linear ? lerp(m_p1, m_p2, u) : catmullRom(m_p0, m_p1, m_p2, m_p3, u);
}

Vec3 PathFollower::pointAt(float u) {
    if (!(u > 1.0f)) return evaluate(u);
    loadSegment(m_index + 1);
    const Vec3 p = evaluate(u - 1.0f);
    loadSegment(m_index);
    return p;
}

void PathFollower::update() {
    if (!m_initialised) initialise();
    if (m_stopped || !m_running) return;

    if (m_t > 1.0f) {
        m_index = wrapIndex(m_index + 1);
        m_t = 0.0f;
        loadSegment(m_index);
    }
    m_position = pointAt(m_t);
    const Vec3 ahead = pointAt(m_t + kLookAhead);
    if (m_object) {
        m_object->placeAt(m_position);
        m_object->setTarget(ahead);
    }
    const Vec3 direction = sub(ahead, m_position);
    if ((m_flags & kBank) != 0) bank(direction);

    const uint32_t now = getTicks();
    const uint32_t dt = now - m_lastTicks;
    m_lastTicks = now;
    if (dt == 0) return;

    // Re-estimate the parameter step from the chord it spans here, so the object
    // covers speed * dt world units whatever the local curve length.
    const Vec3 probe = pointAt(m_t + m_step);
    const float chord = length(sub(m_position, probe));
    const float travel = static_cast<float>(dt) * m_speed;
    if (chord > 0.0f) {
        const float next = travel / chord * m_step;
        // NOTE: a zero speed would collapse the step to 0 for good; keep the last
        // usable step instead and simply do not move this update.
        if (std::isfinite(next) && next > 0.0f) {
            m_step = std::fmin(next, kMaxStep);
            m_t += m_step;
        }
        return;
    }
    // No chord: the probe landed on the same point (coincident waypoints). Never
    // divide by it; skip a zero-length segment outright, else walk on by the last step.
    if (!(travel > 0.0f)) return;
    if (!(m_step > 0.0f) || !std::isfinite(m_step)) m_step = kDefaultStep;
    if (equal(m_p1, m_p2)) {
        m_t = std::fmax(m_t, 1.0f) + kDefaultStep;
    } else {
        m_t += m_step;
    }
}

void PathFollower::bank(const Vec3& direction) {
    const Vec2 heading{direction.x, direction.z};
    const bool haveTurn = length2(heading) > 0.0f && length2(m_previousHeading) > 0.0f;
    if (m_object) m_object->setUp(0.0f, 1.0f, 0.0f);
    if (haveTurn) {
        const float turn = signedAngle2(heading, m_previousHeading);  // radians
        m_rollTarget = -(turn * kRadiansToDegrees * m_rollFactor);
        if ((m_flags & kSmoothBank) != 0) {
            approach(m_roll, m_rollTarget, m_maxRollChange);
        } else {
            m_roll = m_rollTarget;
        }
    }
    if (m_object) m_object->roll(m_roll);
    m_previousHeading = heading;
}

}  // namespace reef
