#include "world/Swarm.h"

#include <cmath>

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"

namespace reef {

namespace {
constexpr float kCruiseSpeed = 0.002f;     // units per ms
constexpr float kWanderSpeed = 0.001f;
constexpr float kFleeSpeed = 0.005f;
constexpr float kCalmSpeed = 0.001f;
constexpr float kMinFollowSpeed = 0.0006f;
constexpr float kTurnRate = 0.002f;        // direction change per ms, per component
constexpr float kAcceleration = 0.000004f; // units per ms per ms
constexpr float kFramesPerSpeed = 25000.0f;
constexpr float kBandTop = -3.0f;          // the school keeps between these depths
constexpr float kBandBottom = -4.0f;
constexpr float kSurfaceLimit = -1.0f;
constexpr float kFloorLimit = -6.0f;
}  // namespace

Swarm::Swarm() : m_lastTicks(getTicks()) {}

void Swarm::addMember(ModelObject* object) {
    if (object) object->clearFlags(SceneObject::kEulerPlacement);
    SwarmMember member;
    member.object = object;
    m_members.push_back(member);
}

void Swarm::scatter() {
    for (SwarmMember& member : m_members) {
        const int a = rand() % 10;
        const int b = rand() % 10;
        if (member.object) {
            member.object->setPosition(m_goal.x - 2.0f + 0.3f * static_cast<float>(b), m_goal.y,
                                       m_goal.z + 0.3f * static_cast<float>(a));
        }
        member.state = SwarmMember::State::Follow;
        member.fleeElapsed = 0;
        member.speed = 0.0f;
        member.wanderElapsed = 0;
        member.wanderLimit = 1000;
    }
    m_lastTicks = getTicks();
}

void Swarm::scare() {
    for (SwarmMember& member : m_members) {
        member.state = SwarmMember::State::Flee;
        member.fleeElapsed = 0;
    }
}

void Swarm::update() {
    const uint32_t now = getTicks();
    m_dt = static_cast<int>(now - m_lastTicks);
    m_lastTicks = now;
    for (SwarmMember& member : m_members) updateMember(member, static_cast<float>(m_dt));
}

void Swarm::updateMember(SwarmMember& member, float dt) {
    ModelObject* object = member.object;
    if (!object) return;
    member.position = object->getPosition();
    member.direction = sub(object->getTarget(), member.position);
    member.desiredDirection = member.direction;
    member.desiredSpeed = kCruiseSpeed;

    switch (member.state) {
    case SwarmMember::State::Follow: {
        // Seek; a member exactly at the goal keeps its own heading.
        if (!equal(member.position, m_goal)) member.desiredDirection = normalized(sub(m_goal, member.position));
        // Pace: slow near the goal, full speed from 7 units out.
        float x = std::fabs(distance(m_goal, member.position)) - 3.0f;
        if (x < 0.0f) x = 0.0f;
        float speed = x * 0.0005f;
        if (speed > kCruiseSpeed) speed = kCruiseSpeed;
        if (speed < kMinFollowSpeed) speed = kMinFollowSpeed;
        member.desiredSpeed = speed;
        wanderCheck(member, m_dt);
        break;
    }
    case SwarmMember::State::Wander:
        wanderCheck(member, m_dt);
        break;
    case SwarmMember::State::Flee:
    case SwarmMember::State::Calm:
        flee(member, m_dt);
        break;
    }
    depthBand(member);

    const float maxTurn = dt * kTurnRate;
    approach(member.direction.x, member.desiredDirection.x, maxTurn);
    approach(member.direction.y, member.desiredDirection.y, maxTurn);
    approach(member.direction.z, member.desiredDirection.z, maxTurn);
    object->setTarget(add(member.position, member.direction));
    approach(member.speed, member.desiredSpeed, dt * kAcceleration);
    object->moveForward(dt * member.speed);
    if (QModel* model = object->model()) model->setFramesPerSecond(member.speed * kFramesPerSpeed);
}

void Swarm::wanderCheck(SwarmMember& member, int dt) {
    member.wanderElapsed += dt;
    if (member.wanderElapsed <= member.wanderLimit) return;
    member.wanderElapsed = 0;
    if (rand() % 2 == 0) {
        const float x = randomFloat(-50, 50, 2);
        const float y = randomFloat(-50, 50, 2);
        const float z = randomFloat(-50, 50, 2);
        member.desiredDirection = normalized({x, y, z});
        member.wanderLimit = 600;
        member.desiredSpeed = kWanderSpeed;
        member.state = SwarmMember::State::Wander;
    } else {
        member.wanderLimit = 1000;
        member.state = SwarmMember::State::Follow;
    }
}

void Swarm::flee(SwarmMember& member, int dt) {
    member.fleeElapsed += dt;
    if (member.state == SwarmMember::State::Flee) {
        if (member.fleeElapsed > 1000) {
            member.fleeElapsed = 0;
            member.state = SwarmMember::State::Calm;
        }
        member.desiredDirection = normalized(sub(member.position, m_danger));
        member.desiredSpeed = member.speed = kFleeSpeed;
        return;
    }
    if (member.fleeElapsed > 2000) {
        member.fleeElapsed = 0;
        member.state = SwarmMember::State::Follow;
    }
    member.desiredDirection = normalized(sub(member.position, m_danger));
    member.desiredSpeed = kCalmSpeed;
}

void Swarm::depthBand(SwarmMember& member) {
    ModelObject* object = member.object;
    const float y = member.position.y;
    auto moveTo = [&](float depth) {
        object->placeAt(member.position.x, depth, member.position.z);
        member.position = object->getPosition();
    };
    if (member.state == SwarmMember::State::Wander) {
        if (y > kBandBottom && y < kBandTop) return;
        if (y >= kSurfaceLimit) {
            moveTo(kBandTop);
        } else if (y <= kFloorLimit) {
            moveTo(kBandBottom);
        }
        member.state = SwarmMember::State::Follow;
        return;
    }
    if (y >= kBandTop) {
        if (y >= kSurfaceLimit) moveTo(kBandTop);
        member.desiredDirection.y -= 1.5f;
        normalize(member.desiredDirection);
    } else if (y <= kBandBottom) {
        if (y <= kFloorLimit) moveTo(kBandBottom);
        member.desiredDirection.y += 1.5f;
        normalize(member.desiredDirection);
    }
}

}  // namespace reef
