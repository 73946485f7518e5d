#include "world/Swarm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"

namespace reef {
namespace {

using State = SwarmMember::State;

struct School {
    ManualClock clock{100};
    QModel model;
    std::vector<std::unique_ptr<ModelObject>> fish;
    Swarm swarm;

    explicit School(int count, Vec3 goal = {0, -3.5f, 10}) {
        seedRandom(11);
        for (int i = 0; i < count; ++i) {
            fish.push_back(std::make_unique<ModelObject>());
            fish.back()->setModel(&model);
            swarm.addMember(fish.back().get());
        }
        swarm.setGoal(goal.x, goal.y, goal.z);
        swarm.setDanger(goal.x, goal.y, goal.z);
    }
    void frame(uint32_t dt = 20) {
        clock.advance(dt);
        swarm.update();
    }
    const SwarmMember& member(int i) const { return swarm.members()[static_cast<size_t>(i)]; }
};

TEST(Swarm, EmptySwarmAndScatter) {
    School empty(0);
    empty.frame();
    EXPECT_TRUE(empty.swarm.members().empty());

    School school(30, {2, -3.5f, 8});
    school.swarm.scatter();
    for (int i = 0; i < 30; ++i) {
        const Vec3 p = school.fish[static_cast<size_t>(i)]->getPosition();
        EXPECT_GE(p.x, 0.0f - 1e-4f);
        EXPECT_LE(p.x, 2.7f + 1e-4f);
        EXPECT_FLOAT_EQ(p.y, -3.5f);
        EXPECT_GE(p.z, 8.0f - 1e-4f);
        EXPECT_LE(p.z, 10.7f + 1e-4f);
        EXPECT_EQ(school.member(i).state, State::Follow);
        EXPECT_EQ(school.member(i).wanderLimit, 1000);
        // Look-at placement, so the target drives the heading.
        EXPECT_EQ(school.fish[static_cast<size_t>(i)]->flags() & SceneObject::kEulerPlacement, 0u);
    }
}

TEST(Swarm, FollowersAccelerateAtLimitedRatesAndSlowNearTheGoal) {
    School school(1, {0, -3.5f, 100});
    school.swarm.scatter();
    school.fish[0]->placeAt(0, -3.5f, 0);
    school.fish[0]->setTarget(0, -3.5f, 1);
    float lastSpeed = 0;
    for (int i = 0; i < 300; ++i) {
        school.frame(20);
        const SwarmMember& m = school.member(0);
        // With dt = 20 ms the speed changes by at most 0.00008 per update.
        ASSERT_LE(std::fabs(m.speed - lastSpeed), 0.00008f + 1e-7f);
        lastSpeed = m.speed;
    }
    // Far from the goal: full speed, and the shared model plays at speed * 25000.
    EXPECT_NEAR(school.member(0).speed, 0.002f, 0.0005f);
    EXPECT_NEAR(school.model.framesPerSecond(), school.member(0).speed * 25000.0f, 1e-3f);

    // Within 4.2 units of the goal a follower settles at 0.0006.
    School close(1, {0, -3.5f, 2});
    close.swarm.scatter();
    close.fish[0]->placeAt(0, -3.5f, 0);
    close.fish[0]->setTarget(0, -3.5f, 1);
    close.frame(20);
    ASSERT_EQ(close.member(0).state, State::Follow);
    EXPECT_FLOAT_EQ(close.member(0).desiredSpeed, 0.0006f);
}

TEST(Swarm, DirectionComponentsTurnAtMost004PerFrame) {
    School school(1, {0, -3.5f, -30});
    school.swarm.scatter();
    school.fish[0]->placeAt(0, -3.5f, 0);
    school.fish[0]->setTarget(0, -3.5f, 1);  // heading +z, the goal lies toward -z
    seedRandom(5);
    school.frame(20);
    const SwarmMember& m = school.member(0);
    // The heading was (0, 0, 1); the desired one (0, 0, -1): one step of 0.04.
    EXPECT_NEAR(m.direction.z, 1.0f - 0.04f, 1e-5f);
    EXPECT_NEAR(m.direction.x, 0.0f, 1e-6f);
}

TEST(Swarm, ScaredMembersFleeThenCalmThenFollow) {
    School school(1, {0, -3.5f, 10});
    school.swarm.scatter();
    school.fish[0]->placeAt(0, -3.5f, 5);
    school.fish[0]->setTarget(0, -3.5f, 4);  // already facing away from the leader
    school.frame();
    school.swarm.scare();
    int t = 0;
    // Flee: bolts at 0.005 away from the danger for just over one second.
    while (school.member(0).state == State::Flee) {
        const float before = distance(school.fish[0]->getPosition(), school.swarm.danger());
        school.frame(20);
        t += 20;
        EXPECT_FLOAT_EQ(school.member(0).speed, 0.005f);
        if (t > 20) {
            EXPECT_GT(distance(school.fish[0]->getPosition(), school.swarm.danger()), before);
        }
        ASSERT_LE(t, 2000);
    }
    EXPECT_EQ(t, 1020);
    EXPECT_EQ(school.member(0).state, State::Calm);
    // Calm: slows toward 0.001 for just over two seconds.
    int calm = 0;
    while (school.member(0).state == State::Calm) {
        school.frame(20);
        calm += 20;
        ASSERT_LE(calm, 4000);
    }
    EXPECT_EQ(calm, 2020);
    EXPECT_LE(school.member(0).speed, 0.0012f);
    EXPECT_EQ(school.member(0).state, State::Follow);
}

TEST(Swarm, DepthBand) {
    // Near the surface in the follow state: back to -3 at once and steering down.
    {
        School school(1, {0, -0.5f, 20});
        school.swarm.scatter();
        school.fish[0]->placeAt(0, -0.5f, 0);
        school.fish[0]->setTarget(0, -0.5f, 1);
        school.frame(20);
        const SwarmMember& m = school.member(0);
        EXPECT_LT(m.desiredDirection.y, -0.5f);
        EXPECT_LT(m.direction.y, 0.0f);
        EXPECT_NEAR(school.fish[0]->getPosition().y, -3.0f, 0.01f);
    }
    // Inside the band at -3.5: left alone (the goal at the same depth gives no vertical pull).
    {
        School school(1, {0, -3.5f, 20});
        school.swarm.scatter();
        school.fish[0]->placeAt(0, -3.5f, 0);
        school.fish[0]->setTarget(0, -3.5f, 1);
        for (int i = 0; i < 20; ++i) {
            school.frame(20);
            if (school.member(0).state != State::Follow) continue;
            EXPECT_EQ(school.member(0).desiredDirection.y, 0.0f);
            EXPECT_FLOAT_EQ(school.fish[0]->getPosition().y, -3.5f);
        }
    }
    // Deep below the floor limit: lifted to -4 and steering up.
    {
        School school(1, {0, -8, 20});
        school.swarm.scatter();
        school.fish[0]->placeAt(0, -8, 0);
        school.fish[0]->setTarget(0, -8, 1);
        school.frame(20);
        EXPECT_GT(school.member(0).desiredDirection.y, 0.5f);
        EXPECT_NEAR(school.fish[0]->getPosition().y, -4.0f, 0.01f);
    }
}

TEST(Swarm, MemberAtTheGoalKeepsItsHeading) {
    School school(1, {1, -3.5f, 1});
    school.swarm.scatter();
    school.fish[0]->placeAt(1, -3.5f, 1);
    school.fish[0]->setTarget(2, -3.5f, 1);
    school.frame(20);
    const SwarmMember& m = school.member(0);
    EXPECT_TRUE(std::isfinite(m.desiredDirection.x));
    EXPECT_FLOAT_EQ(m.desiredDirection.x, 1.0f);
    EXPECT_FLOAT_EQ(m.desiredDirection.z, 0.0f);
}

TEST(Swarm, MembersWanderNowAndThenAndReturn) {
    School school(20, {0, -3.5f, 10});
    school.swarm.scatter();
    int wanderSeen = 0;
    int returns = 0;
    std::vector<State> last(20, State::Follow);
    for (int f = 0; f < 1500; ++f) {  // 30 s
        school.frame(20);
        for (int i = 0; i < 20; ++i) {
            const State s = school.member(i).state;
            if (s == State::Wander && last[static_cast<size_t>(i)] != State::Wander) ++wanderSeen;
            if (s == State::Follow && last[static_cast<size_t>(i)] == State::Wander) ++returns;
            last[static_cast<size_t>(i)] = s;
            const Vec3 p = school.fish[static_cast<size_t>(i)]->getPosition();
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        }
    }
    EXPECT_GT(wanderSeen, 50);
    EXPECT_GT(returns, 50);
    // The school stays together around its goal.
    for (int i = 0; i < 20; ++i) {
        EXPECT_LT(distance(school.fish[static_cast<size_t>(i)]->getPosition(), school.swarm.goal()), 15.0f);
    }
}

}  // namespace
}  // namespace reef
