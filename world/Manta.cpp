#include "world/Manta.h"

namespace reef {

Manta::Manta() {
    m_body.setPosition(-17.0f, -5.0f, 4.0f);
    m_follower.setObject(&m_body);
    m_follower.setIndex(0);
    m_follower.setSplineAllowed(1);
    m_follower.reserveWaypoints(2 * kBatchSize);
}

void Manta::buildPath() {
    appendBatch(false);
    appendBatch(true);
}

void Manta::appendBatch(bool reversed) {
    Vec3 batch[kBatchSize];
    for (int j = 0; j < kBatchSize; ++j) {
        Vec3& p = batch[j];
        p.x = m_pointB.x - (m_pointB.x - m_pointA.x) * 0.2f * static_cast<float>(j);
        p.z = randomFloat(m_pointB.z - 5.0f, m_pointB.z + 5.0f, 2);
        p.y = -randomFloat(m_pointB.y - 1.0f, m_pointB.y + 1.0f, 2);
    }
    for (int j = 0; j < kBatchSize; ++j) m_follower.addWaypoint(batch[reversed ? kBatchSize - 1 - j : j]);
}

bool Manta::updateActive() {
    if (m_follower.getIndex() < kBatchSize) {
        m_follower.update();
        return false;
    }
    // The far end of the pass: drop the half just swum and queue a fresh one.
    for (int j = 0; j < kBatchSize; ++j) m_follower.removeFirstWaypoint();
    appendBatch(m_reverseNext);
    m_reverseNext = !m_reverseNext;
    m_follower.pause();
    finish();
    return true;
}

}  // namespace reef
