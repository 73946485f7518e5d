#include "world/FishSteering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "world/BigFishRoute.h"
#include "world/Swarm.h"

namespace reef {
namespace {

using State = FishSteering::State;

struct Fish {
    ManualClock clock{500};
    QModel model;
    ModelObject object;
    FishSteering steering;

    Fish(Vec3 position, Vec3 target) {
        seedRandom(21);
        object.setModel(&model);
        object.clearFlags(SceneObject::kEulerPlacement);
        object.placeAt(position);
        object.setTarget(target);
        steering.setObject(&object);
    }
    void frame(uint32_t dt = 20) {
        clock.advance(dt);
        steering.update();
    }
};

TEST(FishSteering, StartsAtItsDepthAndKeepsItsHeadingFirst) {
    Fish fish({-5, -1, 12}, {-4, -1, 13});
    fish.steering.start();
    EXPECT_FLOAT_EQ(fish.object.getPosition().y, -3.5f);
    EXPECT_FLOAT_EQ(fish.object.getTarget().y, -3.5f);
    const Vec3 d0 = normalized(sub(fish.object.getTarget(), fish.object.getPosition()));
    // Heading and target heading start equal: no turn before the first 4 seconds.
    for (int i = 0; i < 199; ++i) fish.frame(20);
    const Vec3 d1 = normalized(sub(fish.object.getTarget(), fish.object.getPosition()));
    EXPECT_NEAR(dot(d0, d1), 1.0f, 1e-5f);
    EXPECT_EQ(fish.steering.state(), State::Cruise);
    EXPECT_NEAR(fish.object.getPosition().y, -3.5f, 1e-4f);
}

TEST(FishSteering, OutsideTheAreaReturnsHomeThenCruises) {
    // Far outside the default area, facing away from home.
    Fish fish({20, -3.5f, 30}, {21, -3.5f, 30});
    fish.steering.start();
    fish.frame();
    EXPECT_EQ(fish.steering.state(), State::Return);
    EXPECT_TRUE(fish.steering.outside());
    EXPECT_FLOAT_EQ(fish.steering.goal().x, -5);
    EXPECT_FLOAT_EQ(fish.steering.goal().z, 12);
    int frames = 0;
    while (fish.steering.state() == State::Return && frames < 20000) {
        fish.frame(20);
        ++frames;
    }
    EXPECT_EQ(fish.steering.state(), State::Cruise);
    EXPECT_LE(distance(fish.object.getPosition(), {-5, -3.5f, 12}), 1.0f + 0.05f);
}

TEST(FishSteering, ConstantSpeedWithoutVariableSpeed) {
    Fish fish({-5, -3.5f, 12}, {-4, -3.5f, 12});
    fish.steering.start();
    for (int i = 0; i < 3000; ++i) {
        fish.frame(static_cast<uint32_t>(5 + (i * 37) % 60));
        ASSERT_NE(fish.steering.state(), State::Chase);
        ASSERT_FLOAT_EQ(fish.steering.speed(), fish.steering.baseSpeed);
        ASSERT_FLOAT_EQ(fish.steering.turnRate(), fish.steering.baseTurnRate);
    }
    EXPECT_NEAR(fish.model.framesPerSecond(), 40000.0f * 0.001f, 1e-3f);
}

TEST(FishSteering, VariableSpeedDrawsNewTargetsEveryFewSeconds) {
    Fish fish({-5, -3.5f, 12}, {-4, -3.5f, 12});
    fish.steering.variableSpeed = true;
    fish.steering.baseSpeed = 0.002f;
    fish.steering.minSpeed = 0.0005f;
    fish.steering.start();
    std::set<float> targets;
    for (int i = 0; i < 1000; ++i) {  // 20 s: five to six draws
        fish.frame(20);
        targets.insert(fish.steering.targetSpeed());
        ASSERT_GE(fish.steering.targetSpeed(), 0.0005f);
        ASSERT_LT(fish.steering.targetSpeed(), 0.002f + 1e-7f);
        ASSERT_NEAR(fish.steering.turnRate(), 0.05f * fish.steering.speed() / 0.002f, 1e-6f);
    }
    EXPECT_GE(targets.size(), 5u);
    EXPECT_LE(targets.size(), 8u);
}

TEST(FishSteering, ZeroBaseSpeedNeverDividesByZero) {
    Fish fish({-5, -3.5f, 12}, {-4, -3.5f, 12});
    fish.steering.baseSpeed = 0;
    fish.steering.variableSpeed = true;
    fish.steering.start();
    for (int i = 0; i < 2000; ++i) {
        fish.frame(20);
        ASSERT_TRUE(std::isfinite(fish.steering.turnRate()));
        const Vec3 p = fish.object.getPosition();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.z));
    }
}

struct HuntRig {
    ManualClock clock{0};
    QModel model;
    ModelObject hunterObject;
    ModelObject memberObject;
    Swarm swarm;
    FishSteering hunter;
    HuntRig(Vec3 hunterAt) {
        seedRandom(8);
        hunterObject.setModel(&model);
        memberObject.setModel(&model);
        hunterObject.clearFlags(SceneObject::kEulerPlacement);
        hunterObject.placeAt(hunterAt);
        hunterObject.setTarget(hunterAt.x - 1, hunterAt.y, hunterAt.z);
        swarm.addMember(&memberObject);
        swarm.setGoal(0, -3.5f, 10);
        swarm.scatter();
        hunter.setObject(&hunterObject);
        hunter.depth = -4.2f;
        hunter.home = {-4, 5.5f};
        hunter.hunter = true;
        hunter.swarm = &swarm;
        hunter.baseSpeed = 0.00001f;  // barely moves, so it stays inside its area
        hunter.start();
    }
    void frame(uint32_t dt, const Vec3& leader) {
        clock.advance(dt);
        hunter.setHuntPoint(leader);
        hunter.update();
    }
};

TEST(FishSteering, HunterChecksEvery15SecondsAndStrikes) {
    // Too far at the check (12 units away): no chase, next check 15 s later.
    HuntRig far({-2, -4.2f, 10});
    int chaseAt = -1;
    for (int ms = 0; ms < 40000; ms += 20) {
        const Vec3 hunterPos = far.hunterObject.getPosition();
        // The leader stays 12 units away for the first check, then comes close.
        const Vec3 leader = ms < 20000 ? add(hunterPos, {12, 0, 0}) : add(hunterPos, {3, 0, 0});
        far.frame(20, leader);
        if (far.hunter.state() == State::Chase && chaseAt < 0) chaseAt = ms + 20;
    }
    EXPECT_EQ(chaseAt, 30000);

    // A chase toward a point 0.5 units away ends in the next update with the school scared.
    HuntRig near({-2, -4.2f, 10});
    for (int ms = 20; ms < 15000; ms += 20) near.frame(20, {0, 30, 30});
    EXPECT_EQ(near.hunter.state(), State::Cruise);
    const Vec3 p = near.hunterObject.getPosition();
    near.frame(20, add(p, {0.3f, 0.4f, 0}));
    ASSERT_EQ(near.hunter.state(), State::Chase);
    EXPECT_FLOAT_EQ(near.hunter.goal().y, -4.2f);  // the hunt point is taken at the hunter's depth
    EXPECT_EQ(near.swarm.members()[0].state, SwarmMember::State::Follow);
    near.frame(20, {0, 0, 0});
    EXPECT_EQ(near.hunter.state(), State::Cruise);
    EXPECT_EQ(near.swarm.members()[0].state, SwarmMember::State::Flee);

    // Not a hunter (no school): never chases.
    HuntRig tame({-2, -4.2f, 10});
    tame.hunter.hunter = false;
    for (int ms = 0; ms < 60000; ms += 20) {
        tame.frame(20, tame.hunterObject.getPosition());
        ASSERT_NE(tame.hunter.state(), State::Chase);
    }
}

TEST(FishSteering, NoObjectDoesNothing) {
    ManualClock clock;
    FishSteering steering;
    steering.start();
    clock.advance(100);
    steering.update();
    EXPECT_EQ(steering.state(), State::Cruise);
    EXPECT_EQ(steering.speed(), 0.0f);
}

TEST(BigFishRoute, RunsRestsAndRunsAgain) {
    ManualClock clock(0);
    seedRandom(4);
    QModel model;
    ModelObject a, b;
    a.setModel(&model);
    b.setModel(&model);
    BigFishRoute route;
    const Vec3 points[] = {{24, -6, 32}, {10, -6, 27}, {4, -6, 20}, {0, -6, 14}, {-2, -6, 9}, {-11, -6, 1}};
    for (const Vec3& p : points) route.addWaypoint(p.x, p.y, p.z);
    EXPECT_EQ(route.runState(), BigFishRoute::RunState::NeverStarted);
    route.beginRun();  // no fish: nothing
    EXPECT_EQ(route.runState(), BigFishRoute::RunState::NeverStarted);
    route.addFish(&a);
    route.addFish(&b);
    std::set<SceneObject*> used;
    std::set<bool> directions;
    int runs = 0;
    for (int frame = 0; frame < 200000 && runs < 12; ++frame) {
        if (route.runState() == BigFishRoute::RunState::NeverStarted) {
            route.beginRun();
            // The run starts at its first waypoint: one end of the route.
            const Vec3 p = route.current()->getPosition();
            const Vec3& start = route.reverse() ? points[5] : points[0];
            EXPECT_NEAR(distance(p, start), 0.0f, 1e-4f);
        }
        const auto before = route.runState();
        clock.advance(50);
        route.update();
        if (before == BigFishRoute::RunState::Running && route.runState() == BigFishRoute::RunState::Resting) {
            ++runs;
            used.insert(route.current());
            directions.insert(route.reverse());
            // The fish has reached the last waypoint of its run.
            const Vec3& end = route.reverse() ? points[0] : points[5];
            EXPECT_LT(distance(route.current()->getPosition(), end), 0.5f);
            EXPECT_GE(route.restDuration(), 10000);
            EXPECT_LT(route.restDuration(), 30000);
            // Hidden for the rest, then sent again.
            int rest = 0;
            while (route.runState() == BigFishRoute::RunState::Resting) {
                clock.advance(50);
                route.update();
                rest += 50;
            }
            EXPECT_GT(rest, route.restDuration() - 50);
            EXPECT_LE(rest, route.restDuration() + 50);
        }
    }
    EXPECT_EQ(runs, 12);
    EXPECT_EQ(used.size(), 2u);
    EXPECT_EQ(directions.size(), 2u);
}

}  // namespace
}  // namespace reef
