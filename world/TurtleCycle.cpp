#include "world/TurtleCycle.h"

#include <cmath>
#include <iterator>

#include "core/Math.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"

namespace reef {

namespace {
constexpr float kSwimSpeed = 0.0011f;  // units per ms
constexpr int kLastRouteWaypoint = 9;
constexpr Vec3 kRoute[] = {{30, -4.8f, 40},   {20, -4.8f, 41},   {3.6f, -3.5f, 40.1f}, {-10, -5, 40},
                           {-20, -3.8f, 40},  {-40, -2.8f, 45},  {-20, -1.8f, 44},     {-10, -0.8f, 44},
                           {0, -0.8f, 60},    {15, -0.8f, 60}};

QModel* modelOf(ModelObject* object) { return object ? object->model() : nullptr; }
}  // namespace

TurtleCycle::TurtleCycle() {
    m_follower.setSpeed(kSwimSpeed);
    m_follower.clearFlags(PathFollower::kBank);
    m_follower.reserveWaypoints(std::size(kRoute));
}

void TurtleCycle::start() {
    if (!m_turtle) return;
    m_follower.setObject(m_swimmer);
    m_follower.pause();
    m_follower.clearWaypoints();
    for (const Vec3& p : kRoute) m_follower.addWaypoint(p);
    m_follower.setIndex(0);
    m_follower.initialise();
    m_follower.resume();
    m_follower.update();
    m_turtle->setFlags(SceneObject::kEulerPlacement);
    enter(State::Sit);
}

void TurtleCycle::enter(State next) {
    if (next == m_state) return;
    m_state = next;
    QModel* turtle = modelOf(m_turtle);
    QModel* swimmer = modelOf(m_swimmer);
    switch (next) {
    case State::NotStarted:
        break;
    case State::Sit:
        if (turtle) {
            turtle->setSequence("sit");
            turtle->setFramesPerSecond(0.7f);
            turtle->playLoops(static_cast<int>(std::trunc(randomFloat(2, 6, 2))));
        }
        break;
    case State::MoveIn:
        if (swimmer) swimmer->setAnimating(false);
        if (turtle) {
            turtle->setSequence("movein");
            turtle->setFramesPerSecond(3.0f);
            turtle->playLoops(-1);  // no loop limit, loop count from 0
        }
        break;
    case State::MoveOut:
        if (turtle) {
            turtle->setSequence("moveout");
            turtle->setFramesPerSecond(3.0f);
            turtle->playLoops(1);
        }
        break;
    case State::Swim:
        if (turtle) turtle->setAnimating(false);
        if (swimmer) swimmer->playLoops(-1);
        m_follower.setIndex(0);
        m_follower.initialise();
        m_follower.resume();
        m_follower.update();
        break;
    }
}

void TurtleCycle::update() {
    if (!m_turtle) return;
    QModel* turtle = modelOf(m_turtle);
    // Without a model the one-shot animations have nothing to wait for.
    auto oneShotOver = [&] {
        return !turtle || turtle->frameNumber() == turtle->lastFrame() || turtle->loopCount() > 0;
    };
    switch (m_state) {
    case State::NotStarted:
        break;
    case State::Sit:
        if (!turtle || !turtle->animating()) enter(State::MoveOut);
        break;
    case State::MoveIn:
        if (oneShotOver()) {
            if (turtle) turtle->setAnimating(false);
            enter(State::Sit);
        }
        break;
    case State::MoveOut:
        if (oneShotOver()) {
            if (turtle) turtle->setAnimating(false);
            enter(State::Swim);
        }
        break;
    case State::Swim:
        m_follower.update();
        // A route that cannot move (no waypoints reached) would strand the turtle;
        // the fixed route always has ten, so only the index ends the swim.
        if (m_follower.getIndex() >= kLastRouteWaypoint) {
            if (QModel* swimmer = modelOf(m_swimmer)) {
                swimmer->setAnimating(false);
                swimmer->setFrameNumber(swimmer->firstFrame());
            }
            enter(State::MoveIn);
        }
        break;
    }
}

void TurtleCycle::draw() {
    ModelObject* object = (m_state == State::Swim) ? m_swimmer : m_turtle;
    if (object) object->render();
}

}  // namespace reef
