// One fish of the school: its scene object and its own steering state.
#pragma once

#include "core/Math.h"

namespace reef {

class ModelObject;

struct SwarmMember {
    enum class State { Follow = 0, Wander = 1, Flee = 2, Calm = 3 };

    ModelObject* object = nullptr;  // not owned
    Vec3 position;                  // world units, read from the object each update
    float speed = 0.0f;             // world units per ms
    float desiredSpeed = 0.0f;
    Vec3 desiredDirection;
    Vec3 direction;                 // current heading, not kept at unit length
    int wanderLimit = 0;            // ms
    int wanderElapsed = 0;          // ms
    int fleeElapsed = 0;            // ms
    State state = State::Follow;
};

}  // namespace reef
