#include "world/GullFlight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "engine/SoundPlayer.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/WorldTestSupport.h"

namespace reef {
namespace {

struct GullRig {
    ManualClock clock{0};
    QModel model;
    ModelObject gull;
    GullFlight flight;
    explicit GullRig(uint32_t seed) {
        seedRandom(seed);
        EXPECT_TRUE(test::loadFrames(model, 43));
        model.addSequence(0, 19, "glide");
        model.addSequence(23, 42, "fly");
        model.setSequence("fly");
        model.setFramesPerSecond(20);
        gull.setModel(&model);
        gull.clearFlags(SceneObject::kEulerPlacement);
        gull.setScale(0.05f);
        gull.setPosition(0, 5.5f, 0);
        flight.setGull(&gull);
        flight.buildFlight();
    }
    void frame(uint32_t dt) {
        clock.advance(dt);
        flight.updateGull();
        test::drawTick(model);
    }
};

TEST(GullFlight, CrossingBatches) {
    ManualClock clock;
    GullFlight flight;
    seedRandom(1);
    flight.buildFlight();
    const PathFollower& f = flight.follower();
    ASSERT_EQ(f.waypointCount(), 8);
    const float xs[] = {30, 10, -10, -30, -30, -10, 10, 30};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f.waypoint(i).x, xs[i]);
        EXPECT_GE(f.waypoint(i).y, 2.5f);
        EXPECT_LT(f.waypoint(i).y, 4.5f);
        EXPECT_GE(f.waypoint(i).z, 5.0f);
        EXPECT_LT(f.waypoint(i).z, 35.0f);
    }
    EXPECT_FALSE(flight.crossReversed());
    // z is drawn before y for each waypoint.
    seedRandom(1);
    const float z0 = randomFloat(5, 35, 2);
    const float y0 = randomFloat(2.5f, 4.5f, 2);
    EXPECT_EQ(f.waypoint(0).z, z0);
    EXPECT_EQ(f.waypoint(0).y, y0);
    // Disabled: nothing is added.
    GullFlight off;
    off.setEnabled(false);
    off.addCrossing(false);
    EXPECT_EQ(off.follower().waypointCount(), 0);
}

TEST(GullFlight, RefillsInBatchesWithAboutOneDiveInFour) {
    GullRig rig(77);
    bool lastReversed = rig.flight.crossReversed();
    int lastBatches = 0;
    int lastDives = 0;
    for (int i = 0; i < 200000 && rig.flight.batchCount() < 300; ++i) {
        rig.frame(40);
        const PathFollower& f = rig.flight.follower();
        ASSERT_EQ(f.waypointCount(), 8);  // the batch being flown and the next one
        ASSERT_LE(f.getIndex(), 4);
        if (rig.flight.batchCount() != lastBatches) {
            const bool dive = rig.flight.diveCount() != lastDives;
            // After a dive the crossing direction is unchanged; a crossing flips it.
            EXPECT_EQ(rig.flight.crossReversed(), dive ? lastReversed : !lastReversed);
            if (dive) {
                EXPECT_EQ(f.waypoint(6).x, 0.0f);
                EXPECT_EQ(f.waypoint(6).z, -7.0f);
            }
            lastReversed = rig.flight.crossReversed();
            lastBatches = rig.flight.batchCount();
            lastDives = rig.flight.diveCount();
        }
        const Vec3 p = rig.gull.getPosition();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        ASSERT_GT(p.y, -2.0f);
        ASSERT_LT(std::fabs(p.x), 45.0f);
    }
    ASSERT_EQ(rig.flight.batchCount(), 300);
    const float share = static_cast<float>(rig.flight.diveCount()) / 300.0f;
    EXPECT_GT(share, 0.17f);
    EXPECT_LT(share, 0.33f);
}

TEST(GullFlight, GlideAndFlySwitchOnlyAtTheLastFrames) {
    GullRig rig(5);
    std::vector<uint32_t> switches;
    std::string current = "fly";
    for (int i = 0; i < 3000; ++i) {  // 60 s at 20 ms
        const int frameBefore = rig.model.frameNumber();
        rig.frame(20);
        const std::string name = rig.model.currentSequence()->name;
        if (name != current) {
            // The switch happened in this update, from the frame the model showed.
            EXPECT_TRUE(frameBefore == 19 || frameBefore == 42) << frameBefore;
            if (switches.empty()) {
                EXPECT_EQ(name, "glide");
            }
            switches.push_back(rig.clock.now());
            current = name;
        }
    }
    ASSERT_GE(switches.size(), 8u);
    EXPECT_GT(switches[0], 3000u);
    for (size_t i = 1; i < switches.size(); ++i) {
        EXPECT_GT(switches[i] - switches[i - 1], 2000u);
        EXPECT_LT(switches[i] - switches[i - 1], 5000u + 1100u);  // plus at most one loop
    }
}

class CountingMixer : public AudioMixer {
public:
    std::vector<int> played;  // effect index per play
    int openAudio(int, int, int, int) override { return 0; }
    ChunkHandle loadWAV(const std::string& path) override {
        // Only the second call exists.
        if (path != "seagull2.wav") return nullptr;
        return reinterpret_cast<ChunkHandle>(static_cast<uintptr_t>(2));
    }
    int playChannelTimed(int, ChunkHandle chunk, int, int) override {
        played.push_back(static_cast<int>(reinterpret_cast<uintptr_t>(chunk)));
        return 0;
    }
    void haltChannel(int) override {}
    void haltMusic() override {}
    void freeChunk(ChunkHandle) override {}
    void closeAudio() override {}
};

TEST(GullFlight, CriesEvery20To30SecondsWhenSoundIsOn) {
    ManualClock clock;
    seedRandom(31);
    CountingMixer mixer;
    SoundPlayer player(mixer);
    player.open();
    test::captureOutput();
    for (int i = 1; i <= 4; ++i) player.addEffect("seagull" + std::to_string(i) + ".wav", i - 1);
    test::capturedOutput();
    GullFlight flight;
    int fired = 0, heard = 0;
    int sinceLast = 0;
    for (int ms = 0; ms < 4 * 3600 * 1000; ms += 100) {
        sinceLast += 100;
        const size_t before = mixer.played.size();
        const int thresholdBefore = flight.cryTimer().threshold();
        const bool cried = flight.tickCry(100, true, &player);
        // A cry is drawn exactly when the timer fires.
        ASSERT_EQ(cried, flight.cryTimer().elapsed() == 0);
        if (flight.cryTimer().elapsed() == 0) {
            ++fired;
            ASSERT_GE(sinceLast, 20000);
            ASSERT_LT(sinceLast, 30100);
            ASSERT_GE(sinceLast, thresholdBefore);
            sinceLast = 0;
        }
        if (mixer.played.size() != before) ++heard;
    }
    // Only one of the four calls exists: about one firing in four is heard.
    EXPECT_GT(fired, 500);
    const float share = static_cast<float>(heard) / static_cast<float>(fired);
    EXPECT_GT(share, 0.18f);
    EXPECT_LT(share, 0.32f);

    // Sound off, gulls off, or no player: the timer runs, nothing plays.
    mixer.played.clear();
    GullFlight quiet;
    GullFlight grounded;
    grounded.setEnabled(false);
    int quietFired = 0;
    for (int ms = 0; ms < 600000; ms += 100) {
        quiet.tickCry(100, false, &player);
        grounded.tickCry(100, true, &player);
        if (quiet.cryTimer().elapsed() == 0) ++quietFired;
    }
    EXPECT_GT(quietFired, 15);
    EXPECT_TRUE(mixer.played.empty());
    player.close();
}

}  // namespace
}  // namespace reef
