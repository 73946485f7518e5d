// Moves one scene object along a closed list of waypoints at a constant speed
// (world units per ms), on a Catmull-Rom spline (straight lines for short paths),
// facing a point a little ahead and banking into turns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Math.h"

namespace reef {

class SceneObject;

class PathFollower {
public:
    // Flag bits.
    static constexpr int kFaceAlong = 1;   // always set: the object faces along the path
    static constexpr int kBank = 2;        // roll into turns
    static constexpr int kSmoothBank = 4;  // limit the roll change per update
    static constexpr int kDefaultFlags = 7;

    PathFollower();

    // The object to move (not owned; may stay null).
    void setObject(SceneObject* object);
    SceneObject* object() const { return m_object; }
    // Appends a waypoint (world coordinates).
    void addWaypoint(float x, float y, float z);
    void addWaypoint(const Vec3& p) { addWaypoint(p.x, p.y, p.z); }
    // Drops the first waypoint and moves index back by one, so the same segment continues.
    void removeFirstWaypoint();
    // Empties the path; the capacity stays.
    void clearWaypoints();
    // Grows the capacity up front, so later additions do not allocate.
    void reserveWaypoints(size_t count) { m_waypoints.reserve(count); }
    // Sets the segment start when 0 <= i < count; other values are ignored.
    void setIndex(int i);
    int getIndex() const { return m_index; }
    // 0 forces straight segments at the next initialisation.
    void setSplineAllowed(int allowed) { m_splineAllowed = allowed; }
    // World units per ms.
    void setSpeed(float speed) { m_speed = speed; }
    void pause() { m_running = false; }
    // Continues from where it stopped: the paused time is not travelled.
    void resume();
    void clearFlags(int bits) { m_flags &= ~bits; }
    void setRollFactor(float factor) { m_rollFactor = factor; }
    // Degrees per update.
    void setMaxRollChange(float degrees) { m_maxRollChange = degrees; }
    // Places the object at the current waypoint and starts the segment from t = 0.
    void initialise();
    // One step; call once per frame.
    void update();
    // One lap of wrap-around: count -> 0, -1 -> count - 1.
    int wrapIndex(int i) const;

    int waypointCount() const { return static_cast<int>(m_waypoints.size()); }
    const Vec3& waypoint(int i) const { return m_waypoints[static_cast<size_t>(i)]; }
    const Vec3& position() const { return m_position; }
    float t() const { return m_t; }
    float step() const { return m_step; }
    float speed() const { return m_speed; }
    float roll() const { return m_roll; }
    float rollTarget() const { return m_rollTarget; }
    int flags() const { return m_flags; }
    bool initialised() const { return m_initialised; }
    bool running() const { return m_running; }
    bool stopped() const { return m_stopped; }
    bool linear() const { return m_linear; }

private:
    void loadSegment(int i);
    // The point at parameter u of the current segment; u > 1 reaches into the next one.
    Vec3 pointAt(float u);
    Vec3 evaluate(float u) const;
    void bank(const Vec3& direction);

    std::vector<Vec3> m_waypoints;
    SceneObject* m_object = nullptr;
    Vec3 m_position;
    Vec3 m_p0, m_p1, m_p2, m_p3;
    float m_t = 0.0f;
    int m_index = 0;
    int m_splineAllowed = 1;
    float m_speed = 0.002f;  // world units per ms
    float m_step = 0.001f;   // parameter increment of the last update
    uint32_t m_lastTicks = 0;
    bool m_initialised = false;
    int m_flags = kDefaultFlags;
    bool m_running = true;
    bool m_linear = false;
    bool m_stopped = false;
    float m_rollFactor = 10.0f;
    float m_maxRollChange = 2.0f;  // degrees per update
    float m_rollTarget = 0.0f;     // degrees
    float m_roll = 0.0f;           // degrees
    Vec2 m_previousHeading;
};

}  // namespace reef
