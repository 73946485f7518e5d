// The frame update's order as the scene runs it, on the real population.
#include <gtest/gtest.h>

#include <vector>

#include "core/Clock.h"
#include "core/Random.h"
#include "testsupport/ReefPopulation.h"

namespace reef {
namespace {

using Step = Creatures::Step;

void record(void* steps, Step step) { static_cast<std::vector<Step>*>(steps)->push_back(step); }

TEST(CreatureFrameOrder, OneFrameUpdatesTheControllersInTheScenesOrder) {
    ManualClock clock(1000);
    seedRandom(5);
    test::ReefPopulation reef;
    reef.build(test::ReefPopulation::defaultCounts());
    Creatures& creatures = reef.creatures();
    for (int i = 0; i < 10; ++i) {
        clock.advance(30);
        reef.frame(30);
    }

    std::vector<Step> steps;
    creatures.setStepObserver(&record, &steps);
    const Vec3 leaderBefore = creatures.leader().getPosition();
    clock.advance(40);
    reef.frame(40);
    creatures.setStepObserver(nullptr, nullptr);

    const std::vector<Step> expected = {Step::Gull,    Step::ActiveManta, Step::SchoolGoal, Step::School,
                                        Step::Leader,  Step::Hunter,      Step::BigFish,    Step::Turtle,
                                        Step::SingleFish, Step::TimedSchedule, Step::Props};
    EXPECT_EQ(steps, expected);

    // What the order means: the school and the hunter aim at where the leader
    // was when the frame began, and the leader moves after them.
    const Vec3 leaderAfter = creatures.leader().getPosition();
    ASSERT_TRUE(leaderBefore.x != leaderAfter.x || leaderBefore.z != leaderAfter.z) << "the leader did not move";
    const Vec3 goal = creatures.swarm().goal();
    EXPECT_EQ(goal.x, leaderBefore.x);
    EXPECT_EQ(goal.y, leaderBefore.y);
    EXPECT_EQ(goal.z, leaderBefore.z);
}

}  // namespace
}  // namespace reef
