// One simulated hour of the whole reef population at irregular frame times.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "testsupport/WorldTestSupport.h"
#include "tests/world/WorldPopulation.h"
#include "world/Clock.h"
#include "world/Random.h"

namespace reef {
namespace {

bool inside(const Vec3& p, float box) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::fabs(p.x) < box &&
           std::fabs(p.y) < box && std::fabs(p.z) < box;
}

TEST(LongRun, OneHourOfEverythingStaysFiniteAndInValidStates) {
    ManualClock clock(1000);
    seedRandom(2024);
    test::WorldPopulation world(50);
    world.build();

    uint32_t simulated = 0;
    int frames = 0;
    std::vector<int> turtleStates(4, 0);
    int mantaPasses = 0;
    int chases = 0;
    while (simulated < 3600u * 1000u) {
        const uint32_t dt = static_cast<uint32_t>(rand() % 251);  // 0 .. 250 ms
        clock.advance(dt);
        simulated += dt;
        const int mantaBefore = world.scheduler.currentManta();
        world.frame(static_cast<int>(dt));
        ++frames;
        if (mantaBefore >= 0 && world.scheduler.currentManta() != mantaBefore) ++mantaPasses;

        // Every position is finite and inside a generous box around the reef.
        for (const SwarmMember& m : world.swarm.members()) ASSERT_TRUE(inside(m.object->getPosition(), 200)) << frames;
        ASSERT_TRUE(inside(world.leader.getPosition(), 200));
        ASSERT_TRUE(inside(world.hunterObject.getPosition(), 200));
        for (const auto& fish : world.singleFish) ASSERT_TRUE(inside(fish->getPosition(), 200));
        for (const auto& fish : world.bigFish) ASSERT_TRUE(inside(fish->getPosition(), 200));
        ASSERT_TRUE(inside(world.swimmer.getPosition(), 200));
        ASSERT_TRUE(inside(world.gull.getPosition(), 200));
        for (const auto& manta : world.mantas) ASSERT_TRUE(inside(manta->body().getPosition(), 200));
        ASSERT_TRUE(inside(world.camera.worldCenter(), 200));
        ASSERT_TRUE(std::isfinite(world.gullFlight.follower().roll()));

        // Every state is one of the named ones.
        for (const SwarmMember& m : world.swarm.members()) {
            const int s = static_cast<int>(m.state);
            ASSERT_TRUE(s >= 0 && s <= 3) << s;
        }
        for (const FishSteering* steering : world.allSteering()) {
            const int s = static_cast<int>(steering->state());
            ASSERT_TRUE(s == 0 || s == 1 || s == 3) << s;  // strike lasts less than an update
            if (steering == &world.hunter && s == 3) ++chases;
        }
        const int turtle = static_cast<int>(world.turtle.state());
        ASSERT_TRUE(turtle >= 0 && turtle <= 3) << turtle;
        ++turtleStates[static_cast<size_t>(turtle)];
        const int run = static_cast<int>(world.bigRoute.runState());
        ASSERT_TRUE(run == 0 || run == 1) << run;
        const int motion = static_cast<int>(world.cameraAuto.motion());
        ASSERT_TRUE(motion >= -1 && motion <= 1);
        ASSERT_GE(world.camera.pitch(), -26.0f);
        ASSERT_LE(world.camera.pitch(), 1.0f);
        int active = 0;
        for (TimedAnimal* t : world.timed) active += t->idle() ? 0 : 1;
        ASSERT_LE(active, 1);
    }
    EXPECT_GT(frames, 20000);
    // Everything took part: the turtle went through all four states, mantas swam,
    // the hunter chased.
    for (int n : turtleStates) EXPECT_GT(n, 0);
    EXPECT_GT(mantaPasses, 5);
    EXPECT_GT(chases, 0);
}

}  // namespace
}  // namespace reef
