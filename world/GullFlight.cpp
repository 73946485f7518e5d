#include "world/GullFlight.h"

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "engine/SoundPlayer.h"

namespace reef {

namespace {
constexpr float kGullSpeed = 0.005f;     // units per ms
constexpr float kGullRollChange = 0.6f;  // degrees per update
constexpr int kCryCount = 4;
}  // namespace

GullFlight::GullFlight() : m_lastSwitch(getTicks()) {
    m_cryTimer.setRange(20000, 30000);
    m_follower.setSpeed(kGullSpeed);
    m_follower.setMaxRollChange(kGullRollChange);
    m_follower.reserveWaypoints(2 * kBatchSize);
}

void GullFlight::setGull(ModelObject* gull) {
    m_gull = gull;
    m_follower.setObject(gull);
}

void GullFlight::buildFlight() {
    addCrossing(m_crossReversed);
    addCrossing(!m_crossReversed);
    m_follower.setIndex(0);
    m_follower.setSpeed(kGullSpeed);
    m_follower.setMaxRollChange(kGullRollChange);
}

void GullFlight::addCrossing(bool reverse) {
    if (!m_enabled) return;
    Vec3 batch[kBatchSize];
    for (int i = 0; i < kBatchSize; ++i) {
        batch[i].x = 30.0f - 20.0f * static_cast<float>(i);
        batch[i].z = randomFloat(5, 35, 2);
        batch[i].y = randomFloat(2.5f, 4.5f, 2);
    }
    for (int i = 0; i < kBatchSize; ++i) m_follower.addWaypoint(batch[reverse ? kBatchSize - 1 - i : i]);
}

void GullFlight::updateGull() {
    if (!m_enabled) return;
    const uint32_t now = getTicks();
    const int r = rand();
    QModel* model = m_gull ? m_gull->model() : nullptr;
    const int frame = model ? model->frameNumber() : 0;

    if (static_cast<int32_t>(now - m_lastSwitch) > m_switchDelay &&
        (frame == kGlideLastFrame || frame == kFlyLastFrame)) {
        m_lastSwitch = now;
        m_switchDelay = rand() % 3000 + 2000;
        if (model) model->setSequence(m_glideNext ? "glide" : "fly");
        m_glideNext = !m_glideNext;
    }

    if (m_follower.getIndex() > kBatchSize - 1) {
        for (int i = 0; i < kBatchSize; ++i) m_follower.removeFirstWaypoint();
        ++m_batchCount;
        if (r % 4 == 0) {
            // The dive toward the viewer; the next crossing keeps its direction.
            const float d = m_crossReversed ? -18.0f : 18.0f;
            m_follower.addWaypoint(d, 1.0f, 25.0f);
            m_follower.addWaypoint(m_crossReversed ? -4.0f : 4.0f, 1.0f, 4.0f);
            m_follower.addWaypoint(0.0f, 3.0f, -7.0f);
            m_follower.addWaypoint(d, 3.5f, -7.0f);
            ++m_diveCount;
        } else {
            addCrossing(m_crossReversed);
            m_crossReversed = !m_crossReversed;
        }
    }
    m_follower.update();
}

bool GullFlight::tickCry(int dt, bool soundOn, SoundPlayer* player) {
    if (!m_cryTimer.tick(dt)) return false;
    if (!soundOn || !m_enabled || !player) return false;
    cry(*player);
    return true;
}

void GullFlight::cry(SoundPlayer& player) { player.playEffect(rand() % kCryCount, 0); }

}  // namespace reef
