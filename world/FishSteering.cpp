#include "world/FishSteering.h"

#include <cmath>

#include "core/Clock.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "world/Swarm.h"

namespace reef {

namespace {
constexpr int kHuntInterval = 15000;    // ms
constexpr float kChaseTurnRate = 0.2f;  // degrees per ms
constexpr float kSmallestSpeed = 1e-6f; // units per ms
// A controller that keeps re-entering states within one update would be a bug;
// this bounds the passes so it can never spin.
constexpr int kMaxPasses = 4;
}  // namespace

FishSteering::FishSteering() : m_lastTicks(getTicks()) { m_speedTimer.setRange(3000, 4000); }

float FishSteering::safeBaseSpeed() const {
    // NOTE: the turn rate is scaled by speed / baseSpeed; a set with a zero or
    // negative track speed would divide by zero, so it counts as a crawl instead.
    return baseSpeed > kSmallestSpeed ? baseSpeed : kSmallestSpeed;
}

void FishSteering::start() {
    if (!m_object) return;
    m_lastTicks = getTicks();
    m_speed = m_targetSpeed = safeBaseSpeed();
    const Vec3 p = m_object->getPosition();
    const Vec3 d = sub(m_object->getTarget(), p);
    m_object->placeAt(p.x, depth, p.z);
    m_object->setTarget(p.x + d.x, depth + d.y, p.z + d.z);
    m_polygon[0] = corner1;
    m_polygon[1] = corner2;
    m_polygon[2] = corner3;
    m_polygon[3] = corner4;
    m_speedTimer.restart();
}

void FishSteering::update() {
    if (!m_object) return;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        if (step()) return;
    }
}

bool FishSteering::step() {
    const uint32_t now = getTicks();
    m_dt = static_cast<int>(now - m_lastTicks);
    m_lastTicks = now;

    switch (m_state) {
    case State::Cruise:
        cruise();
        return true;
    case State::Return:
    case State::Chase:
        if (distance(m_object->getPosition(), m_goal) > arrivalRadius) {
            m_desiredDirection = normalized(sub(m_goal, m_object->getPosition()));
            steerToGoal();
            commonTail();
            return true;
        }
        enter(m_state == State::Chase ? State::Strike : State::Cruise);
        return false;
    case State::Strike:
        if (swarm) swarm->scare();
        m_turnRate = baseTurnRate;
        m_targetSpeed = safeBaseSpeed();
        enter(State::Cruise);
        return false;
    }
    return true;
}

void FishSteering::enter(State next) { m_state = next; }

void FishSteering::cruise() {
    // Heading timer.
    m_headingElapsed += m_dt;
    if (m_headingElapsed >= headingInterval) {
        m_targetHeading = randomFloat(0, 359, 2);
        m_headingElapsed = 0;
    }
    // Area test.
    const Vec3 position = m_object->getPosition();
    m_outside = !pointInPolygon(m_polygon, 4, {position.x, position.z});
    if (m_outside) {
        m_goal = {home.x, depth, home.y};  // home is an (x, z) pair
        m_desiredDirection = normalized(sub(m_goal, position));
        enter(State::Return);
    }
    // Yaw: headings are plain numbers, so a turn may go the long way round.
    const float change = approach(m_heading, m_targetHeading, static_cast<float>(m_dt) * m_turnRate);
    m_object->turn(change);
    commonTail();
    if (hunter) huntCheck();
}

void FishSteering::steerToGoal() {
    const Vec3 position = m_object->getPosition();
    const Vec3 current = normalized(sub(m_object->getTarget(), position));
    const Vec3 next = rotateToward(current, m_desiredDirection, static_cast<float>(m_dt) * m_turnRate);
    m_object->setTarget(add(position, next));
}

void FishSteering::commonTail() {
    if (variableSpeed && m_state != State::Chase && m_speedTimer.tick(m_dt)) {
        m_targetSpeed = randomFloat(minSpeed, baseSpeed, 5);
    }
    approach(m_speed, m_targetSpeed, static_cast<float>(m_dt) * acceleration);
    m_turnRate = baseTurnRate * m_speed / safeBaseSpeed();
    m_object->moveForward(static_cast<float>(m_dt) * m_speed);
    if (QModel* model = m_object->model()) model->setFramesPerSecond(animationFactor * m_speed);
}

void FishSteering::huntCheck() {
    m_huntElapsed += m_dt;
    if (m_huntElapsed < kHuntInterval) return;
    m_huntElapsed = 0;
    const Vec3 position = m_object->getPosition();
    if (distance(position, m_huntPoint) > huntRange) return;
    m_huntPoint.y = depth;
    m_goal = m_huntPoint;
    m_desiredDirection = normalized(sub(m_goal, position));
    m_targetSpeed = chaseSpeed;
    m_turnRate = kChaseTurnRate;
    enter(State::Chase);
}

}  // namespace reef
