// Sends one big fish at a time along a fixed route (forward or backward at
// random), hides it for 10 to 30 seconds at the end, then sends a random one again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Math.h"
#include "world/PathFollower.h"

namespace reef {

class SceneObject;

class BigFishRoute {
public:
    enum class RunState { NeverStarted = -1, Running = 0, Resting = 1 };

    BigFishRoute();

    // World coordinates.
    void addWaypoint(float x, float y, float z);
    // A big fish that may be sent (not owned).
    void addFish(SceneObject* fish);
    // Picks a fish and a direction and starts it at the first waypoint of the run.
    void beginRun();
    // One step; once per frame.
    void update();
    // Draws the current fish while it runs; nothing while resting.
    void draw();

    RunState runState() const { return m_runState; }
    SceneObject* current() const { return m_current; }
    bool reverse() const { return m_reverse; }
    int restDuration() const { return m_restDuration; }
    const PathFollower& follower() const { return m_follower; }

private:
    bool m_reverse = true;
    SceneObject* m_current = nullptr;
    RunState m_runState = RunState::NeverStarted;
    uint32_t m_restStart = 0;  // ms
    int m_restDuration = 0;    // ms
    PathFollower m_follower;
    std::vector<Vec3> m_route;
    std::vector<SceneObject*> m_fish;
};

}  // namespace reef
