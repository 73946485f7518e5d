// The turtle: sits at its place, moves out, swims a fixed route as a separate
// swimming model, moves back in and sits again, forever.
#pragma once

#include "world/PathFollower.h"

namespace reef {

class ModelObject;

class TurtleCycle {
public:
    enum class State { NotStarted = -1, Sit = 0, MoveIn = 1, MoveOut = 2, Swim = 3 };

    TurtleCycle();

    // The resting turtle and the swimming model (neither owned; either may be null).
    void setTurtle(ModelObject* turtle) { m_turtle = turtle; }
    void setSwimmer(ModelObject* swimmer) { m_swimmer = swimmer; }
    // Builds the swim route and starts sitting; nothing without a turtle.
    void start();
    // One step; once per frame.
    void update();
    // Draws the swimmer while swimming, else the turtle.
    void draw();

    State state() const { return m_state; }
    const PathFollower& follower() const { return m_follower; }

private:
    // The one place where states change, with each state's entry actions.
    void enter(State next);

    State m_state = State::NotStarted;
    ModelObject* m_turtle = nullptr;
    ModelObject* m_swimmer = nullptr;
    PathFollower m_follower;
};

}  // namespace reef
