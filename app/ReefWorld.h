// The living part of the reef: the set catalog, the creatures built from it,
// the camera and its automatic tilt, built in the scene build's order and moved
// by one frame step. The saver, the long-run tests and the world benchmark all
// run this one class; what they differ in (where files come from, textures and
// the fixed scenery, drawing) they hand in as the build's assets.
#pragma once

#include <functional>

#include "app/SettingsLimits.h"
#include "scene/Creatures.h"
#include "scene/SetCatalog.h"
#include "world/Camera.h"
#include "world/CameraAuto.h"

namespace reef {

class DirectoryLister;
class QModel;
class SetSelection;
class SoundPlayer;
class Texture;

class ReefWorld {
public:
    // What the build takes from its owner, at the points where the rest of the
    // scene comes in. Hooks left empty are skipped.
    struct Assets {
        // Fills the catalog with the sets found.
        std::function<void(SetCatalog&)> scanSets;
        // Loads every texture and model, the enabled sets' included; false stops
        // the build there (the scene is then not built).
        std::function<bool(SetCatalog&)> load;
        // Places the fixed scenery; the school gathers after it.
        std::function<void()> placeScenery;
        // Places the island and its palms, after the school has gathered.
        std::function<void()> placeIsland;
        // The gull's model and texture (both needed), and the frame every fish gets
        // as its caustics texture; the owner keeps them for the world's lifetime.
        QModel* gullModel = nullptr;
        Texture* gullTexture = nullptr;
        Texture* fishCaustics = nullptr;
    };

    // What the build reads from the settings.
    struct Settings {
        LimitedSettings limits;  // the counts and the camera values, inside their safe ranges
        bool gullsFly = true;
        // The saver's camera position setting picks the view (0: automatic tilt,
        // 1 to 3: a fixed one); the viewer leaves the camera to the keys.
        bool cameraByPosition = true;
    };

    // The start view: the eye at (0, 2, -7) looking toward +z.
    static constexpr Vec3 kEye{0.0f, 2.0f, -7.0f};
    static constexpr Vec3 kCenter{0.0f, 0.0f, 1.0f};
    static constexpr Vec3 kUp{0.0f, 1.0f, 0.0f};

    // selection and lister must outlive the world (the catalog reads them).
    ReefWorld(SetSelection& selection, const DirectoryLister& lister);
    ReefWorld(const ReefWorld&) = delete;
    ReefWorld& operator=(const ReefWorld&) = delete;

    // The whole build, in order: scan, load, camera, creatures, scenery, the
    // school gathered at its leader, island, gull calls armed. False when the
    // load hook stopped it.
    bool build(const Settings& settings, const Assets& assets);
    // The frame's first step: the camera counts as still until something moves it.
    void beginFrame() { m_cameraAuto.clearMoving(); }
    // The world's share of one frame of dtMs: the gull calls, every creature in
    // the frame order, then the automatic tilt.
    void step(int dtMs, bool soundOn, SoundPlayer* sound);
    // Resets the creatures and empties the catalog (needs the GL context that loaded them).
    void release();

    SetCatalog& catalog() { return m_catalog; }
    Creatures& creatures() { return m_creatures; }
    Camera& camera() { return m_camera; }
    CameraAuto& cameraAuto() { return m_cameraAuto; }

private:
    void setUpCamera(const Settings& settings);

    SetSelection& m_selection;
    SetCatalog m_catalog;
    Creatures m_creatures;
    Camera m_camera;
    CameraAuto m_cameraAuto;
    LimitedSettings m_limits;
};

}  // namespace reef
