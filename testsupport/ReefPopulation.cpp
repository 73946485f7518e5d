#include "testsupport/ReefPopulation.h"

#include <cstdio>
#include <set>
#include <string>

#include "app/SaverSettings.h"
#include "engine/FilePath.h"
#include "engine/WideText.h"
#include "scene/ProfileReader.h"
#include "tools/CreatureSetGenerator.h"
#include "tools/GeneratedFiles.h"
#include "tools/ModelGenerator.h"

namespace reef::test {

Creatures::Counts ReefPopulation::defaultCounts() {
    const SaverSettings defaults;
    return {defaults.BoidCount, defaults.FishCount, defaults.BirdGull};
}

// The generated data folder's set folders, listed as the disk would list them.
class ReefPopulation::MemoryLister : public DirectoryLister {
public:
    explicit MemoryLister(const tools::GeneratedFiles& data) : m_data(data) {}

    std::vector<std::string> list(const std::string& folder) const override {
        const std::string prefix = nativePath(folder);
        std::set<std::string> names;  // sorted and unique, as the real lister gives them
        for (const auto& [path, bytes] : m_data.files()) {
            if (path.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string rest = path.substr(prefix.size());
            names.insert(rest.substr(0, rest.find('/')));
        }
        return {names.begin(), names.end()};
    }

private:
    const tools::GeneratedFiles& m_data;
};

ReefPopulation::ReefPopulation()
    : m_data(std::make_unique<tools::GeneratedFiles>()),
      m_lister(std::make_unique<MemoryLister>(*m_data)),
      m_catalog(m_selection, *m_lister) {}

ReefPopulation::~ReefPopulation() {
    m_creatures.release();
    m_catalog.clear();
}

void ReefPopulation::loadModel(QModel& model, const std::string& path, bool lighting) {
    const std::vector<uint8_t>* bytes = m_data->find(nativePath(path));
    if (bytes == nullptr || !model.loadMD3FromMemory(bytes->data(), bytes->size(), lighting, path)) {
        std::fprintf(stderr, "ReefPopulation: model %s missing or refused\n", path.c_str());
        return;
    }
    m_models.push_back(&model);
}

void ReefPopulation::build(const Creatures::Counts& counts) {
    tools::CreatureSetGenerator().generate(*m_data);
    tools::ModelGenerator().generate(*m_data);

    // The catalog reads every descriptor from memory, in the scan order of the disk.
    for (const char* folder : SetCatalog::kSetFolders) {
        for (const std::string& name : m_lister->list(folder)) {
            const std::vector<uint8_t>* info = m_data->find(nativePath(folder) + name + "/info.ini");
            ProfileReader reader;
            if (info) reader.openFromMemory(info->data(), info->size());
            m_catalog.readSet(fromUtf8(folder), fromUtf8(name), reader);
        }
    }
    m_catalog.loadModels(m_selection, [this](QModel& model, const std::u16string& path, bool lighting) {
        loadModel(model, toUtf8(path), lighting);
    });
    if (counts.gullsFly) loadModel(m_gullModel, "models/gull.tqm", true);

    m_camera.set({0.0f, 2.0f, -7.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f});
    m_cameraAuto.setAutomatic(true);
    m_creatures.buildGull(m_gullModel, m_gullTexture, counts.gullsFly);
    m_creatures.buildLeader(m_catalog);
    m_creatures.buildAll(m_catalog, m_selection, counts);
    m_creatures.gatherSchool();
    m_creatures.gullFlight().cryTimer().restart();
}

void ReefPopulation::frame(int dt) {
    m_cameraAuto.clearMoving();
    m_creatures.gullFlight().tickCry(dt, false, nullptr);
    m_creatures.update();
    m_cameraAuto.updateAuto(m_camera, dt, 4, 30, 30);
    for (QModel* model : m_models) model->advance();
}

}  // namespace reef::test
