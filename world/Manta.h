// A manta: swims one pass of a back-and-forth route between two points each time
// it is activated, then rests (not drawn) at the far end until the next turn.
#pragma once

#include "core/Math.h"
#include "engine/ModelObject.h"
#include "world/PathFollower.h"
#include "world/TimedAnimal.h"

namespace reef {

class Manta : public TimedAnimal {
public:
    static constexpr int kBatchSize = 6;  // waypoints per pass

    // The body starts at (-17, -5, 4); the follower moves it.
    Manta();

    // The route's ends: the pass runs from b toward a and back (world coordinates).
    void setPoints(const Vec3& a, const Vec3& b) {
        m_pointA = a;
        m_pointB = b;
    }
    // Twelve waypoints: out from b to a, then back.
    void buildPath();
    // One step of the active pass. True when the pass has ended: the manta is idle
    // again and the caller no longer treats it as current.
    bool updateActive();

    ModelObject& body() { return m_body; }
    PathFollower& follower() { return m_follower; }
    const PathFollower& follower() const { return m_follower; }

private:
    void appendBatch(bool reversed);

    ModelObject m_body;
    PathFollower m_follower;
    Vec3 m_pointA;
    Vec3 m_pointB;
    bool m_reverseNext = false;
};

}  // namespace reef
