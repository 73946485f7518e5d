// The reef's world as the saver builds and moves it, without files, windows or
// GL: the creature sets and the gull as the data generator makes them, read
// from memory, models loaded with loadMD3FromMemory and no textures, fed to
// the saver's own ReefWorld. The long-run tests and the world benchmark run
// this, so they follow whatever the saver really does.
#pragma once

#include <memory>
#include <vector>

#include "app/ReefWorld.h"
#include "engine/QModel.h"
#include "engine/Texture.h"
#include "scene/SetSelection.h"

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

    // Builds the world with the saver's default settings but these counts;
    // every set is enabled.
    void build(const Creatures::Counts& counts);
    // One frame of the world as the saver steps it, then what drawing does to
    // the animations: each loaded model advances by the time since the last
    // frame. dt in ms.
    void frame(int dt);

    Creatures& creatures() { return m_world.creatures(); }
    Camera& camera() { return m_world.camera(); }
    CameraAuto& cameraAuto() { return m_world.cameraAuto(); }
    SetCatalog& catalog() { return m_world.catalog(); }

private:
    class MemoryLister;

    void scanSets(SetCatalog& catalog);
    bool loadModels(SetCatalog& catalog, bool gullsFly);
    void loadModel(QModel& model, const std::string& path, bool lighting);

    std::unique_ptr<tools::GeneratedFiles> m_data;
    std::unique_ptr<MemoryLister> m_lister;
    SetSelection m_selection;
    QModel m_gullModel;
    Texture m_gullTexture;  // never loaded: nothing here draws
    ReefWorld m_world;
    std::vector<QModel*> m_models;  // every loaded model, for the draw pass's animation step
};

}  // namespace reef::test
