// The school of small fish: every member seeks the same moving goal, wanders now
// and then, flees from the danger point when scared, and keeps to a depth band.
// Members never look at each other, so an update is linear in the member count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Math.h"
#include "world/SwarmMember.h"

namespace reef {

class ModelObject;

class Swarm {
public:
    Swarm();

    // Switches the object to look-at placement and adds a member for it (not owned).
    void addMember(ModelObject* object);
    // Capacity for count members, so adding them does not reallocate one by one.
    void reserve(size_t count) { m_members.reserve(count); }
    // World coordinates; both are the leader's position each frame.
    void setGoal(float x, float y, float z) { m_goal = {x, y, z}; }
    void setDanger(float x, float y, float z) { m_danger = {x, y, z}; }
    // Places every member in a small grid next to the goal and resets it to follow.
    void scatter();
    // Every member flees from the danger point.
    void scare();
    // One step of every member, in array order; once per frame.
    void update();

    const Vec3& goal() const { return m_goal; }
    const Vec3& danger() const { return m_danger; }
    const std::vector<SwarmMember>& members() const { return m_members; }
    int dt() const { return m_dt; }

private:
    void updateMember(SwarmMember& member, float dt);
    void wanderCheck(SwarmMember& member, int dt);
    void flee(SwarmMember& member, int dt);
    void depthBand(SwarmMember& member);

    Vec3 m_goal;
    Vec3 m_danger;
    std::vector<SwarmMember> m_members;
    uint32_t m_lastTicks = 0;  // ms
    int m_dt = 0;              // ms between the last two updates
};

}  // namespace reef
