#include "world/TurtleCycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "testsupport/WorldTestSupport.h"
#include "world/Manta.h"
#include "world/TimedProp.h"
#include "world/TimedScheduler.h"

namespace reef {
namespace {

using TurtleState = TurtleCycle::State;

struct TurtleRig {
    ManualClock clock{0};
    QModel turtleModel;
    QModel swimModel;
    ModelObject turtle;
    ModelObject swimmer;
    TurtleCycle cycle;
    TurtleRig() {
        seedRandom(17);
        EXPECT_TRUE(test::loadFrames(turtleModel, 231));
        EXPECT_TRUE(test::loadFrames(swimModel, 20));
        turtleModel.addSequence(0, 100, "movein");
        turtleModel.addSequence(100, 125, "sit");
        turtleModel.addSequence(127, 230, "moveout");
        turtleModel.setAnimating(false);
        swimModel.addSequence(0, 19, "swim");
        swimModel.setAnimating(false);
        turtle.setModel(&turtleModel);
        swimmer.setModel(&swimModel);
        turtle.setPosition(5, -5, 20);
        swimmer.setPosition(30, -4.8f, 40);
        cycle.setTurtle(&turtle);
        cycle.setSwimmer(&swimmer);
    }
    // One frame: the controller, then the draw pass that advances the models.
    void frame(uint32_t dt = 40) {
        clock.advance(dt);
        cycle.update();
        test::drawTick(turtleModel);
        test::drawTick(swimModel);
    }
};

TEST(TurtleCycle, CyclesSitMoveOutSwimMoveIn) {
    TurtleRig rig;
    EXPECT_EQ(rig.cycle.state(), TurtleState::NotStarted);
    rig.cycle.start();
    ASSERT_EQ(rig.cycle.state(), TurtleState::Sit);
    EXPECT_NE(rig.turtle.flags() & SceneObject::kEulerPlacement, 0u);
    EXPECT_EQ(rig.turtleModel.currentSequence()->name, "sit");
    EXPECT_EQ(rig.turtleModel.loopLimit() >= 2 && rig.turtleModel.loopLimit() <= 5, true);
    const int loops = rig.turtleModel.loopLimit();

    std::vector<TurtleState> seen{TurtleState::Sit};
    int sitMs = 0;
    uint32_t enteredAt = rig.clock.now();
    for (int i = 0; i < 200000 && seen.size() < 9; ++i) {
        rig.frame();
        const TurtleState s = rig.cycle.state();
        if (s != seen.back()) {
            if (seen.back() == TurtleState::Sit && sitMs == 0) sitMs = static_cast<int>(rig.clock.now() - enteredAt);
            seen.push_back(s);
            enteredAt = rig.clock.now();
            if (s == TurtleState::Swim) {
                EXPECT_TRUE(rig.swimModel.animating());
                EXPECT_FALSE(rig.turtleModel.animating());
            }
            if (s == TurtleState::MoveIn) {
                EXPECT_FALSE(rig.swimModel.animating());
                EXPECT_EQ(rig.swimModel.frameNumber(), rig.swimModel.firstFrame());
                EXPECT_EQ(rig.turtleModel.currentSequence()->name, "movein");
                // The swimmer has reached the last route waypoint.
                EXPECT_LT(distance(rig.swimmer.getPosition(), {15, -0.8f, 60}), 1.0f);
            }
        }
    }
    const std::vector<TurtleState> expected = {TurtleState::Sit,  TurtleState::MoveOut, TurtleState::Swim,
                                               TurtleState::MoveIn, TurtleState::Sit,   TurtleState::MoveOut,
                                               TurtleState::Swim, TurtleState::MoveIn, TurtleState::Sit};
    EXPECT_EQ(seen, expected);
    // 26 frames a loop at 0.7 frames per second.
    const float loopMs = 26.0f / 0.7f * 1000.0f;
    EXPECT_NEAR(static_cast<float>(sitMs), loops * loopMs, 200.0f);
}

TEST(TurtleCycle, WithoutATurtleNothingHappens) {
    ManualClock clock;
    TurtleCycle cycle;
    cycle.start();
    clock.advance(100);
    cycle.update();
    EXPECT_EQ(cycle.state(), TurtleState::NotStarted);
}

TEST(Manta, PathRunsFromBToAAndBack) {
    ManualClock clock;
    seedRandom(2);
    Manta manta;
    manta.setPoints({-20, 3, 10}, {20, 4, 30});
    manta.buildPath();
    const PathFollower& f = manta.follower();
    ASSERT_EQ(f.waypointCount(), 12);
    for (int j = 0; j < 6; ++j) {
        EXPECT_FLOAT_EQ(f.waypoint(j).x, 20.0f - 40.0f * 0.2f * static_cast<float>(j));
        EXPECT_FLOAT_EQ(f.waypoint(11 - j).x, f.waypoint(j).x);
    }
    for (int j = 0; j < 12; ++j) {
        EXPECT_GE(f.waypoint(j).y, -5.0f);
        EXPECT_LE(f.waypoint(j).y, -3.0f);
        EXPECT_GE(f.waypoint(j).z, 25.0f);
        EXPECT_LT(f.waypoint(j).z, 35.0f);
    }
    // Without points, everything lies around the origin.
    Manta plain;
    plain.buildPath();
    for (int j = 0; j < 12; ++j) {
        EXPECT_EQ(plain.follower().waypoint(j).x, 0.0f);
        EXPECT_LE(std::fabs(plain.follower().waypoint(j).y), 1.0f);
        EXPECT_LE(std::fabs(plain.follower().waypoint(j).z), 5.0f);
    }
}

TEST(TimedScheduler, OneMantaSwimsPassesInTurn) {
    ManualClock clock(0);
    seedRandom(9);
    Manta manta;
    manta.setPoints({-20, 3, 10}, {20, 4, 30});
    manta.follower().setSpeed(0.004f);
    manta.buildPath();
    std::vector<Manta*> mantas{&manta};
    std::vector<TimedAnimal*> timed{&manta};
    TimedScheduler scheduler;
    EXPECT_EQ(scheduler.schedule(timed, mantas), 0);
    EXPECT_FALSE(manta.idle());
    int passes = 0;
    std::vector<bool> directions;
    for (int i = 0; i < 20000 && passes < 3; ++i) {
        clock.advance(20);
        scheduler.updateActiveManta(mantas);
        if (scheduler.currentManta() < 0) {
            ++passes;
            EXPECT_TRUE(manta.idle());
            EXPECT_FALSE(manta.follower().running());
            EXPECT_EQ(manta.follower().getIndex(), 0);
            EXPECT_EQ(manta.follower().waypointCount(), 12);
            // The far end of this pass: near A on odd passes, near B on even ones.
            const float x = manta.body().getPosition().x;
            directions.push_back(x < 0);
            // One animal: activated again at once.
            EXPECT_EQ(scheduler.schedule(timed, mantas), 0);
            EXPECT_TRUE(manta.follower().running());
        }
    }
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(directions, (std::vector<bool>{true, false, true}));
}

TEST(TimedProp, WaitsPlaysOnceAndFinishes) {
    ManualClock clock(1000);
    seedRandom(6);
    QModel bodyModel, partModel;
    ASSERT_TRUE(test::loadFrames(bodyModel, 10));
    ASSERT_TRUE(test::loadFrames(partModel, 10));
    bodyModel.addSequence(0, 9, "wabbel");
    partModel.addSequence(0, 9, "wabbel");
    bodyModel.setAnimating(false);
    partModel.setAnimating(false);
    TimedProp prop;
    prop.body().setModel(&bodyModel);
    ModelObject part;
    part.setModel(&partModel);
    prop.addPart(part);
    prop.setDelays(2000, 3000);

    TimedScheduler scheduler;
    std::vector<TimedAnimal*> timed{&prop};
    scheduler.schedule(timed, {});
    ASSERT_FALSE(prop.idle());
    EXPECT_GE(prop.startTime(), 3000);
    EXPECT_LT(prop.startTime(), 4000);
    const int64_t start = prop.startTime();
    int playedAt = -1, finishedAt = -1;
    for (int ms = 0; ms < 10000; ms += 20) {
        clock.advance(20);
        scheduler.schedule(timed, {});
        prop.update();
        test::drawTick(bodyModel);
        test::drawTick(partModel);
        if (prop.playing() && playedAt < 0) {
            playedAt = static_cast<int>(clock.now());
            EXPECT_TRUE(partModel.animating());
            EXPECT_EQ(prop.startTime(), -1);
        }
        if (playedAt >= 0 && prop.idle() && finishedAt < 0) finishedAt = static_cast<int>(clock.now());
    }
    ASSERT_GE(playedAt, 0);
    EXPECT_GE(playedAt, start);
    EXPECT_LT(playedAt, start + 20);
    ASSERT_GE(finishedAt, 0);
    // Ten frames at the default 15 frames per second.
    EXPECT_NEAR(finishedAt - playedAt, 667, 60);
}

TEST(TimedScheduler, PicksAmongSeveralNeverTwiceInARow) {
    ManualClock clock(0);
    seedRandom(13);
    TimedProp a, b, c;  // no delays: once active they stay active
    Manta m1, m2;
    m1.buildPath();
    m2.buildPath();
    std::vector<TimedAnimal*> timed{&a, &m1, &b, &m2, &c};
    std::vector<Manta*> mantas{&m1, &m2};
    TimedScheduler scheduler;
    std::vector<int> counts(5, 0);
    int previous = -1;
    for (int round = 0; round < 300; ++round) {
        const int current = scheduler.schedule(timed, mantas);
        const int pick = scheduler.lastPick();
        ASSERT_NE(pick, previous);
        previous = pick;
        ++counts[static_cast<size_t>(pick)];
        // Only one is ever active.
        int active = 0;
        for (TimedAnimal* t : timed) active += t->idle() ? 0 : 1;
        ASSERT_EQ(active, 1);
        // Nothing new while one is active.
        scheduler.schedule(timed, mantas);
        ASSERT_EQ(scheduler.lastPick(), pick);
        if (pick == 1) {
            EXPECT_EQ(current, 0);
        }
        if (pick == 3) {
            EXPECT_EQ(current, 1);
        }
        timed[static_cast<size_t>(pick)]->finish();
    }
    for (int n : counts) EXPECT_GT(n, 30);
    // A prop without delays never plays and never becomes idle by itself.
    TimedProp stuck;
    std::vector<TimedAnimal*> one{&stuck};
    TimedScheduler s2;
    s2.schedule(one, {});
    for (int i = 0; i < 100; ++i) {
        clock.advance(20);
        stuck.update();
        s2.schedule(one, {});
    }
    EXPECT_FALSE(stuck.idle());
    EXPECT_EQ(stuck.startTime(), 0);
    // No timed animals at all: nothing.
    TimedScheduler none;
    EXPECT_EQ(none.schedule({}, {}), -1);
    EXPECT_EQ(none.lastPick(), -1);
}

}  // namespace
}  // namespace reef
