#include "testsupport/ReefPopulation.h"

#include <cstdio>
#include <set>
#include <string>

#include "app/SaverSettings.h"
#include "engine/FilePath.h"
#include "engine/WideText.h"
#include "scene/DirectoryLister.h"
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
      m_world(m_selection, *m_lister) {}

ReefPopulation::~ReefPopulation() { m_world.release(); }

void ReefPopulation::loadModel(QModel& model, const std::string& path, bool lighting) {
    const std::vector<uint8_t>* bytes = m_data->find(nativePath(path));
    if (bytes == nullptr || !model.loadMD3FromMemory(bytes->data(), bytes->size(), lighting, path)) {
        std::fprintf(stderr, "ReefPopulation: model %s missing or refused\n", path.c_str());
        return;
    }
    m_models.push_back(&model);
}

// Every descriptor read from memory, in the scan order of the disk.
void ReefPopulation::scanSets(SetCatalog& catalog) {
    for (const char* folder : SetCatalog::kSetFolders) {
        for (const std::string& name : m_lister->list(folder)) {
            const std::vector<uint8_t>* info = m_data->find(nativePath(folder) + name + "/info.ini");
            ProfileReader reader;
            if (info) reader.openFromMemory(info->data(), info->size());
            catalog.readSet(fromUtf8(folder), fromUtf8(name), reader);
        }
    }
}

bool ReefPopulation::loadModels(SetCatalog& catalog, bool gullsFly) {
    catalog.loadModels(m_selection, [this](QModel& model, const std::u16string& path, bool lighting) {
        loadModel(model, toUtf8(path), lighting);
    });
    if (gullsFly) loadModel(m_gullModel, "models/gull.tqm", true);
    return true;
}

void ReefPopulation::build(const Creatures::Counts& counts) {
    tools::CreatureSetGenerator().generate(*m_data);
    tools::ModelGenerator().generate(*m_data);

    ReefWorld::Settings settings;
    settings.limits = LimitedSettings::from(SaverSettings());
    settings.limits.boidCount = counts.boidCount;
    settings.limits.fishCount = counts.fishCount;
    settings.gullsFly = counts.gullsFly;
    ReefWorld::Assets assets;
    assets.scanSets = [this](SetCatalog& catalog) { scanSets(catalog); };
    assets.load = [this, &counts](SetCatalog& catalog) { return loadModels(catalog, counts.gullsFly); };
    assets.gullModel = &m_gullModel;
    assets.gullTexture = &m_gullTexture;
    m_world.build(settings, assets);
}

void ReefPopulation::frame(int dt) {
    m_world.beginFrame();
    m_world.step(dt, false, nullptr);
    for (QModel* model : m_models) model->advance();
}

}  // namespace reef::test
