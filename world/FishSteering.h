// The steering shared by the school's leader, the hunter and every single fish:
// cruise inside a four-cornered area at a fixed depth with random headings, swim
// home when outside, vary the speed at random, and (hunters) chase the leader
// every 15 seconds when it is within reach, scattering the school on arrival.
#pragma once

#include <cstdint>

#include "core/Math.h"
#include "world/RandomTimer.h"

namespace reef {

class ModelObject;
class Swarm;

class FishSteering {
public:
    enum class State { Cruise = 0, Return = 1, Chase = 3, Strike = 4 };

    FishSteering();

    // The steered object (not owned).
    void setObject(ModelObject* object) { m_object = object; }
    ModelObject* object() const { return m_object; }
    // The leader's position (world coordinates), once per frame for the hunter.
    void setHuntPoint(const Vec3& point) { m_huntPoint = point; }
    // Brings the object to its depth and starts the clocks; once, after the parameters.
    void start();
    // One step; once per frame.
    void update();

    // Parameters, set by scene assembly before start. Corners are (x, z) pairs;
    // speeds are world units per ms, rates degrees per ms.
    Vec2 corner1{-15.0f, 25.0f};
    Vec2 corner4{10.0f, 25.0f};
    Vec2 corner2{-6.0f, 2.0f};
    Vec2 corner3{-2.0f, 2.0f};
    Vec2 home{-5.0f, 12.0f};
    float baseTurnRate = 0.05f;
    int headingInterval = 4000;       // ms
    float animationFactor = 40000.0f; // frames per second per unit of speed
    float depth = -3.5f;
    float arrivalRadius = 1.0f;
    bool hunter = false;
    float huntRange = 10.0f;
    float chaseSpeed = 0.003f;
    float acceleration = 0.000004f;   // units per ms per ms
    float baseSpeed = 0.001f;
    float minSpeed = 0.0005f;
    bool variableSpeed = false;
    Swarm* swarm = nullptr;           // the school to scare (not owned)

    State state() const { return m_state; }
    float speed() const { return m_speed; }
    float targetSpeed() const { return m_targetSpeed; }
    float turnRate() const { return m_turnRate; }
    float heading() const { return m_heading; }
    float targetHeading() const { return m_targetHeading; }
    const Vec3& goal() const { return m_goal; }
    bool outside() const { return m_outside; }

private:
    // One pass of the state machine; false when the state changed and the update
    // must run again from the start.
    bool step();
    void cruise();
    void steerToGoal();
    void commonTail();
    void huntCheck();
    void enter(State next);
    // baseSpeed, made safe to divide by.
    float safeBaseSpeed() const;

    ModelObject* m_object = nullptr;
    State m_state = State::Cruise;
    uint32_t m_lastTicks = 0;  // ms
    int m_dt = 0;              // ms
    int m_headingElapsed = 0;  // ms
    int m_huntElapsed = 0;     // ms
    Vec3 m_desiredDirection;
    float m_targetHeading = 0.0f;  // degrees
    float m_heading = 0.0f;        // degrees
    Vec3 m_goal;
    float m_speed = 0.0f;
    float m_targetSpeed = 0.0f;
    float m_turnRate = 0.0f;
    Vec3 m_huntPoint;
    bool m_outside = false;
    Vec2 m_polygon[4];
    RandomTimer m_speedTimer;
};

}  // namespace reef
