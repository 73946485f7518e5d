#include "app/ReefWorld.h"

#include <cassert>

namespace reef {

namespace {

// The fixed views 1, 2 and 3 of the camera position setting, as pitch in degrees.
constexpr float kFixedPitch[3] = {-25.0f, -8.0f, 4.5f};

}  // namespace

ReefWorld::ReefWorld(SetSelection& selection, const DirectoryLister& lister)
    : m_selection(selection), m_catalog(selection, lister) {}

bool ReefWorld::build(const Settings& settings, const Assets& assets) {
    m_limits = settings.limits;
    if (assets.scanSets) assets.scanSets(m_catalog);
    if (assets.load && !assets.load(m_catalog)) return false;
    setUpCamera(settings);

    Creatures::Counts counts;
    counts.boidCount = m_limits.boidCount;
    counts.fishCount = m_limits.fishCount;
    counts.gullsFly = settings.gullsFly;
    m_creatures.setFishCaustics(assets.fishCaustics);
    assert(assets.gullModel && assets.gullTexture);
    m_creatures.buildGull(*assets.gullModel, *assets.gullTexture, counts.gullsFly);
    m_creatures.buildLeader(m_catalog);
    m_creatures.buildAll(m_catalog, m_selection, counts);
    if (assets.placeScenery) assets.placeScenery();
    m_creatures.gatherSchool();
    if (assets.placeIsland) assets.placeIsland();
    m_creatures.gullFlight().cryTimer().restart();
    return true;
}

void ReefWorld::setUpCamera(const Settings& settings) {
    m_camera.set(kEye, kCenter, kUp);
    if (!settings.cameraByPosition) return;
    const int position = m_limits.cameraPos;
    if (position == 0) m_cameraAuto.setAutomatic(true);
    if (position >= 1 && position <= 3) m_camera.pitchBy(kFixedPitch[position - 1]);
}

void ReefWorld::step(int dtMs, bool soundOn, SoundPlayer* sound) {
    m_creatures.gullFlight().tickCry(dtMs, soundOn, sound);
    m_creatures.update();
    if (m_cameraAuto.automatic())
        m_cameraAuto.updateAuto(m_camera, dtMs, m_limits.cameraSpeed, m_limits.cameraFixTop, m_limits.cameraFixBottom);
}

void ReefWorld::release() {
    m_creatures.release();
    m_catalog.clear();
}

}  // namespace reef
