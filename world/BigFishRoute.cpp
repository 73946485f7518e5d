#include "world/BigFishRoute.h"

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/SceneObject.h"

namespace reef {

namespace {
constexpr float kRouteSpeed = 0.0006f;  // units per ms
}

BigFishRoute::BigFishRoute() : m_restStart(getTicks()) {
    m_follower.setSpeed(kRouteSpeed);
    m_follower.clearFlags(PathFollower::kBank);
}

void BigFishRoute::addWaypoint(float x, float y, float z) {
    m_route.push_back({x, y, z});
    // Rebuilding the follower's path each run then never allocates.
    m_follower.reserveWaypoints(m_route.size());
}

void BigFishRoute::addFish(SceneObject* fish) {
    if (fish) m_fish.push_back(fish);
}

void BigFishRoute::beginRun() {
    if (m_fish.empty()) return;
    m_reverse = (rand() % 2) == 1;
    m_current = m_fish[static_cast<size_t>(rand()) % m_fish.size()];
    m_follower.setObject(m_current);
    m_follower.pause();
    m_follower.clearWaypoints();
    if (m_reverse) {
        for (auto it = m_route.rbegin(); it != m_route.rend(); ++it) m_follower.addWaypoint(*it);
    } else {
        for (const Vec3& p : m_route) m_follower.addWaypoint(p);
    }
    m_follower.setIndex(0);
    m_follower.initialise();
    m_follower.resume();
    m_runState = RunState::Running;
}

void BigFishRoute::update() {
    if (m_fish.empty()) return;
    switch (m_runState) {
    case RunState::NeverStarted:
        break;
    case RunState::Running:
        m_follower.update();
        // NOTE: a route of fewer than two waypoints never moves; it counts as run
        // at once so the fish rests instead of standing still for good.
        if (m_follower.getIndex() == static_cast<int>(m_route.size()) - 1 || m_follower.stopped()) {
            m_runState = RunState::Resting;
            m_restDuration = rand() % 20000 + 10000;
            m_restStart = getTicks();
        }
        break;
    case RunState::Resting:
        if (static_cast<int32_t>(getTicks() - m_restStart) > m_restDuration) beginRun();
        break;
    }
}

void BigFishRoute::draw() {
    if (m_runState == RunState::Running && m_current) m_current->render();
}

}  // namespace reef
