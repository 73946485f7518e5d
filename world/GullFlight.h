// The seagull: crosses the scene from side to side in batches of four waypoints,
// dives toward the viewer about one batch in four, and switches between its glide
// and fly animations at the end of a loop. Its cry is one of four sounds.
#pragma once

#include <cstdint>

#include "world/PathFollower.h"
#include "world/RandomTimer.h"

namespace reef {

class ModelObject;
class SoundPlayer;

class GullFlight {
public:
    static constexpr int kBatchSize = 4;
    static constexpr int kGlideLastFrame = 19;
    static constexpr int kFlyLastFrame = 42;

    // Enabled, first crossing from x = 30, first switch after 3000 ms, to "glide".
    GullFlight();

    // Off: nothing is added or updated.
    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }
    // The gull's object (not owned); the follower moves it.
    void setGull(ModelObject* gull);
    // The two first crossing batches, index 0, speed 0.005 and roll change 0.6.
    void buildFlight();
    // Appends one crossing: x = 30, 10, -10, -30 (reversed: -30 .. 30).
    void addCrossing(bool reverse);
    // One step; once per frame.
    void updateGull();
    // Advances the cry timer by dt ms; when it fires, sound is on, the gull flies and
    // there is a player, one of the four cries is played. True when one was played.
    bool tickCry(int dt, bool soundOn, SoundPlayer* player);
    // Plays cry rand() % 4.
    void cry(SoundPlayer& player);

    PathFollower& follower() { return m_follower; }
    const PathFollower& follower() const { return m_follower; }
    RandomTimer& cryTimer() { return m_cryTimer; }
    bool crossReversed() const { return m_crossReversed; }
    int switchDelay() const { return m_switchDelay; }
    // How many refill batches were dives, and how many in all (for statistics).
    int diveCount() const { return m_diveCount; }
    int batchCount() const { return m_batchCount; }

private:
    bool m_enabled = true;
    ModelObject* m_gull = nullptr;
    PathFollower m_follower;
    bool m_crossReversed = false;
    uint32_t m_lastSwitch = 0;  // ms
    int m_switchDelay = 3000;   // ms
    bool m_glideNext = true;
    RandomTimer m_cryTimer;
    int m_diveCount = 0;
    int m_batchCount = 0;
};

}  // namespace reef
