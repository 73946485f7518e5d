// The reef's real creature population without files, windows or GL: the
// creature sets and the gull as the data generator makes them, read from
// memory into a set catalog, models loaded with loadMD3FromMemory and no
// textures, and the scene's own Creatures built and updated from them. The
// long-run tests and the world benchmark run this, so they follow whatever
// the scene really does.
#pragma once

#include <memory>
#include <vector>

#include "engine/QModel.h"
#include "engine/Texture.h"
#include "scene/Creatures.h"
#include "scene/DirectoryLister.h"
#include "scene/SetCatalog.h"
#include "scene/SetSelection.h"
#include "world/Camera.h"
#include "world/CameraAuto.h"

namespace reef::tools {
class GeneratedFiles;
}

namespace reef::test {

class ReefPopulation {
public:
    // The counts of the saver's default settings.
    static Creatures::Counts defaultCounts();

    ReefPopulation();
    ~ReefPopulation();
    ReefPopulation(const ReefPopulation&) = delete;
    ReefPopulation& operator=(const ReefPopulation&) = delete;

    // Builds everything in the scene build's order; every set is enabled.
    void build(const Creatures::Counts& counts);
    // One frame as the application runs it (camera, gull cry, every creature in
    // the scene's order), then what drawing does to the animations: each loaded
    // model advances by the time since the last frame. dt in ms.
    void frame(int dt);

    Creatures& creatures() { return m_creatures; }
    Camera& camera() { return m_camera; }
    CameraAuto& cameraAuto() { return m_cameraAuto; }
    SetCatalog& catalog() { return m_catalog; }

private:
    class MemoryLister;

    void loadModel(QModel& model, const std::string& path, bool lighting);

    std::unique_ptr<tools::GeneratedFiles> m_data;
    std::unique_ptr<MemoryLister> m_lister;
    SetSelection m_selection;
    SetCatalog m_catalog;
    QModel m_gullModel;
    Texture m_gullTexture;  // never loaded: nothing here draws
    Creatures m_creatures;
    Camera m_camera;
    CameraAuto m_cameraAuto;
    std::vector<QModel*> m_models;  // every loaded model, for the draw pass's animation step
};

}  // namespace reef::test
