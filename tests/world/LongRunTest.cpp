// The reef's real population (the scene's Creatures, built from the generated
// creature sets in memory) for a simulated hour, and in the long suite a day,
// at irregular frame times: everything stays finite, in place and in a named
// state, and every kind of creature takes its turn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/Clock.h"
#include "core/Random.h"
#include "testsupport/ReefPopulation.h"

namespace reef {
namespace {

bool inside(const Vec3& p, float box) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::fabs(p.x) < box &&
           std::fabs(p.y) < box && std::fabs(p.z) < box;
}

struct RunTally {
    int frames = 0;
    std::vector<int> turtleStates = std::vector<int>(4, 0);
    int mantaPasses = 0;
    int chases = 0;
    int propsShown = 0;
};

// Checks one frame's creatures; false (with the failure reported) on the first fault.
void checkFrame(test::ReefPopulation& reef, RunTally& tally) {
    Creatures& c = reef.creatures();
    for (const SwarmMember& m : c.swarm().members()) ASSERT_TRUE(inside(m.object->getPosition(), 200)) << tally.frames;
    ASSERT_TRUE(inside(c.leader().getPosition(), 200));
    ASSERT_TRUE(inside(c.hunter().getPosition(), 200));
    for (const auto& fish : c.singleFish()) ASSERT_TRUE(inside(fish->object.getPosition(), 200));
    for (const auto& fish : c.bigFish()) ASSERT_TRUE(inside(fish->getPosition(), 200));
    ASSERT_TRUE(inside(c.swimmer().getPosition(), 200));
    ASSERT_TRUE(inside(c.gull().getPosition(), 200));
    for (const auto& manta : c.mantas()) ASSERT_TRUE(inside(manta->body().getPosition(), 200));
    ASSERT_TRUE(inside(reef.camera().worldCenter(), 200));
    ASSERT_TRUE(std::isfinite(c.gullFlight().follower().roll()));

    for (const SwarmMember& m : c.swarm().members()) {
        const int s = static_cast<int>(m.state);
        ASSERT_TRUE(s >= 0 && s <= 3) << s;
    }
    std::vector<const FishSteering*> steering{&c.leaderSteering(), &c.hunterSteering()};
    for (const auto& fish : c.singleFish()) steering.push_back(&fish->steering);
    for (const FishSteering* s : steering) {
        const int state = static_cast<int>(s->state());
        ASSERT_TRUE(state == 0 || state == 1 || state == 3) << state;  // strike lasts less than an update
        if (s == &c.hunterSteering() && state == 3) ++tally.chases;
    }
    const int turtle = static_cast<int>(c.turtleCycle().state());
    ASSERT_TRUE(turtle >= 0 && turtle <= 3) << turtle;
    ++tally.turtleStates[static_cast<size_t>(turtle)];
    const int run = static_cast<int>(c.bigFishRoute().runState());
    ASSERT_TRUE(run == 0 || run == 1) << run;
    const int motion = static_cast<int>(reef.cameraAuto().motion());
    ASSERT_TRUE(motion >= -1 && motion <= 1);
    ASSERT_GE(reef.camera().pitch(), -26.0f);
    ASSERT_LE(reef.camera().pitch(), 1.0f);
    int active = 0;
    for (TimedAnimal* t : c.timed()) active += t->idle() ? 0 : 1;
    ASSERT_LE(active, 1);
    for (const Creatures::Prop& prop : c.props()) tally.propsShown += prop.prop->idle() ? 0 : 1;
}

RunTally runReef(uint32_t simulatedMs, int schoolSize) {
    ManualClock clock(1000);
    seedRandom(2024);
    test::ReefPopulation reef;
    Creatures::Counts counts = test::ReefPopulation::defaultCounts();
    counts.boidCount = schoolSize;
    reef.build(counts);
    // The whole population is there: the run below means something only then.
    EXPECT_EQ(reef.creatures().boidsBuilt(), schoolSize);
    EXPECT_TRUE(reef.creatures().hasLeader());
    EXPECT_TRUE(reef.creatures().hunterBuilt());
    EXPECT_TRUE(reef.creatures().turtleBuilt());
    EXPECT_FALSE(reef.creatures().mantas().empty());
    EXPECT_FALSE(reef.creatures().props().empty());
    EXPECT_FALSE(reef.creatures().bigFish().empty());
    EXPECT_FALSE(reef.creatures().singleFish().empty());

    RunTally tally;
    uint32_t simulated = 0;
    while (simulated < simulatedMs) {
        const uint32_t dt = static_cast<uint32_t>(rand() % 251);  // 0 .. 250 ms
        clock.advance(dt);
        simulated += dt;
        const int mantaBefore = reef.creatures().currentManta();
        reef.frame(static_cast<int>(dt));
        ++tally.frames;
        if (mantaBefore >= 0 && reef.creatures().currentManta() != mantaBefore) ++tally.mantaPasses;
        checkFrame(reef, tally);
        if (::testing::Test::HasFatalFailure()) break;
    }
    return tally;
}

void expectEveryoneTookPart(const RunTally& tally, int hours) {
    EXPECT_GT(tally.frames, 20000 * hours);
    for (int n : tally.turtleStates) EXPECT_GT(n, 0);
    EXPECT_GT(tally.mantaPasses, 5 * hours);
    EXPECT_GT(tally.chases, 0);
    EXPECT_GT(tally.propsShown, 0);
}

TEST(LongRun, OneHourOfTheRealPopulationStaysFiniteAndInValidStates) {
    const RunTally tally = runReef(3600u * 1000u, 50);
    expectEveryoneTookPart(tally, 1);
}

// In the long suite only (CTest label "long"): a whole simulated day.
TEST(LongRun, ADayOfTheRealPopulationStaysFiniteAndInValidStates) {
    const RunTally tally = runReef(24u * 3600u * 1000u, 50);
    expectEveryoneTookPart(tally, 24);
}

}  // namespace
}  // namespace reef
