#include "scene/Scenery.h"

#include <cstdio>
#include <optional>

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"

namespace reef {

namespace {

constexpr const char* kCoralNames[Scenery::kCoralCount] = {"coral_a", "coral_b", "coral_c", "coral_d",
                                                           "coral_f", "coral_g", "coral_h", "coral_i"};
// The highlight frames are one colour throughout, shaped by alpha. So is the fog
// fader, but it goes up whole (a few kilobytes more): with a colour texture the
// gradient shares its fixed-function state with the other blended billboards and
// the opaque band with the opaque textured draws, instead of two states of its own.
constexpr uint8_t kHighlightFlags = Texture::kNearest | Texture::kAlphaOnly;
constexpr uint8_t kFaderFlags = Texture::kSceneDefault;
// The light pattern's grid: fine enough that the mask's fade reads as smooth.
constexpr int kLightPatternCells = 24;
// Billboards are trimmed to cells of this many texels a side that show something.
constexpr int kTrimCellTexels = 8;
constexpr int kFirstHighlightNumber = 44;  // the highlight files are numbered 00044 to 00075

std::string pathOf(const std::string& dataFolder, const char* name) { return dataFolder + name; }

// A looping "wabbel" range on a model, played at the given rate.
void sway(QModel& model, int last, float framesPerSecond) {
    model.addSequence(0, last, "wabbel");
    model.setSequence("wabbel");
    model.setFramesPerSecond(framesPerSecond);
}

void dress(ModelObject& object, QModel& model, Texture& texture) {
    object.setModel(&model);
    object.addTexture(&texture);
    object.setBlend(true);
}

// Loads assets of the data folder one after another; once the build is asked to
// stop, every later one is skipped.
class AssetLoader {
public:
    AssetLoader(const std::string& dataFolder, const BuildInterruption& stop) : m_dataFolder(dataFolder), m_stop(stop) {}

    void texture(Texture& texture, const std::string& name, uint8_t flags, AlphaMask* keepAlpha = nullptr) {
        if (!m_stop.stopped()) texture.loadBMP(m_dataFolder + name, flags, keepAlpha);
    }
    void mask(AlphaMask& mask, const std::string& name) {
        if (m_stop.stopped()) return;
        if (!mask.load(m_dataFolder + name))
            reportf(Channel::Output, texts::kTextureFailed, (m_dataFolder + name).c_str());
    }
    void model(QModel& model, const std::string& name, bool lighting) {
        if (!m_stop.stopped()) model.loadMD3(m_dataFolder + name, lighting);
    }

private:
    const std::string& m_dataFolder;
    const BuildInterruption& m_stop;
};

}  // namespace

// ---------------------------------------------------------------- loading

void Scenery::loadTexturesBeforeSets(const std::string& dataFolder, const TextureChoice& choice,
                                     const BuildInterruption& stop) {
    AssetLoader load(dataFolder, stop);
    const uint8_t flags = Texture::kSceneDefault;
    const char* skyFile = choice.skyType == 0          ? "sky_cloudy.tqt"
                          : choice.bitsPerPixel == 32 ? "sky_clear_32.tqt"
                                                      : "sky_clear_16.tqt";
    load.texture(m_sky, skyFile, flags);
    load.texture(m_gull, "models//gull.tqt", flags);
    load.texture(m_manta, "models//manta.tqt", flags);
    load.texture(m_terrain, "terrain.tqt", flags);
    for (int i = 0; i < kCoralCount; ++i)
        load.texture(m_coralTextures[static_cast<size_t>(i)], std::string("models//") + kCoralNames[i] + ".tqt", flags);
    load.texture(m_water, "water.tqt", flags);
    load.texture(m_fader, "gwfader.tqt", kFaderFlags, &m_faderMask);
    load.texture(m_rockTexture, "models//rock2.tqt", flags, &m_rockMask);
    load.texture(m_palmBackgroundTexture, "models//palmen_bg.tqt", flags, &m_palmBackgroundMask);
    char name[64];
    for (int i = 0; i < kSequenceLength; ++i) {
        std::snprintf(name, sizeof(name), "caustics64/caust%.2d.tqt", i);
        load.texture(m_caustics[static_cast<size_t>(i)], name, flags);
    }
    for (int i = 0; i < kSequenceLength; ++i) {
        std::snprintf(name, sizeof(name), "causticsfish32/caust%.2d.tqt", i);
        load.texture(m_causticsFish[static_cast<size_t>(i)], name, flags);
    }
    for (int i = 0; i < kSequenceLength; ++i) {
        std::snprintf(name, sizeof(name), "highlight/highlight%.5d.tqt", kFirstHighlightNumber + i);
        load.texture(m_highlight[static_cast<size_t>(i)], name, kHighlightFlags);
    }
    load.mask(m_blendMask, "blendmap.tqt");
    load.texture(m_reefFish,
                 choice.boidModel != 0 ? "models/reeffishes/anglefish.tqt" : "models/reeffishes/silverfish.tqt",
                 flags);
}

void Scenery::loadIslandTextures(const std::string& dataFolder, const BuildInterruption& stop) {
    AssetLoader load(dataFolder, stop);
    const uint8_t flags = Texture::kSceneDefault;
    load.texture(m_islandTexture, "models//insel.tqt", flags);
    load.texture(m_palmTrunkTexture, "models//palmenstaemme.tqt", flags);
    load.texture(m_palmLeafTexture, "models//palmenblaetter.tqt", flags);
}

void Scenery::loadModelsBeforeSets(const std::string& dataFolder, bool gullsFly, int boidCount, int boidModel,
                                   const BuildInterruption& stop) {
    AssetLoader load(dataFolder, stop);
    constexpr bool kLit = true;
    if (gullsFly) load.model(m_gullModel, "models//gull.tqm", kLit);
    for (int i = 0; i < kCoralCount; ++i)
        load.model(m_coralModels[static_cast<size_t>(i)], std::string("models/") + kCoralNames[i] + ".tqm", kLit);
    // Coral H repeats its texture three times over.
    m_coralModels[CoralH].scaleTextureCoordinates(3.0f);
    if (boidCount > 0)
        load.model(m_reefFishModel,
                   boidModel != 0 ? "models/reeffishes/rfish.tqm" : "models/reeffishes/silverfish.tqm", kLit);
}

void Scenery::loadIslandModels(const std::string& dataFolder, const BuildInterruption& stop) {
    AssetLoader load(dataFolder, stop);
    constexpr bool kLit = true;
    load.model(m_islandModel, "models/insel.tqm", kLit);
    load.model(m_palmTrunkModel, "models/palmenstaemme.tqm", kLit);
    load.model(m_palmLeafModel, "models/palmenblaetter.tqm", kLit);
}

// ---------------------------------------------------------------- placement

void Scenery::place(const std::string& dataFolder) {
    m_domeSky.addTexture(&m_sky);
    m_domeSky.build();
    m_domeSky.setSpinSpeed(-0.75f);

    m_flatSky.addTexture(&m_sky);
    m_flatSky.setSize(140.0f, 100.0f);
    m_flatSky.setPosition(0.0f, 45.0f, 100.0f);

    m_seaFloor.addTexture(&m_terrain);
    m_seaFloor.addTexture(&m_caustics[0]);
    m_seaFloor.loadHeightMap(pathOf(dataFolder, "terrain_map.tqt"));
    m_seaFloor.setTextureScale(1, 5.0f);
    m_seaFloor.setSize(60.0f, 50.0f);
    m_seaFloor.setHeightScale(0.015f);
    m_seaFloor.setResolution(50);
    m_seaFloor.setPosition(0.0f, -8.0f, 0.0f);

    placeCorals();
    placeBillboards();
}

void Scenery::placeCorals() {
    auto texture = [this](Coral c) -> Texture& { return m_coralTextures[c]; };
    auto model = [this](Coral c) -> QModel& { return m_coralModels[c]; };

    dress(m_coralA, model(CoralA), texture(CoralA));
    m_coralA.setPosition(-2.8f, -5.4f, 20.2f);
    sway(model(CoralA), 9, 5.0f);

    const float bPositions[3][3] = {{-3.7f, -7.6f, 14.2f}, {-5.0f, -7.5f, 13.7f}, {-3.4f, -7.6f, 12.8f}};
    const float bAngles[3][2] = {{-35.0f, -45.0f}, {25.0f, -15.0f}, {30.0f, 40.0f}};
    const float bScales[3] = {0.04f, 0.045f, 0.03f};
    for (size_t i = 0; i < m_coralB.size(); ++i) {
        dress(m_coralB[i], model(CoralB), texture(CoralB));
        m_coralB[i].setPosition(bPositions[i][0], bPositions[i][1], bPositions[i][2]);
        m_coralB[i].setAngleX(bAngles[i][0]);
        m_coralB[i].setAngleY(bAngles[i][1]);
        m_coralB[i].setScale(bScales[i]);
    }
    sway(model(CoralB), 19, 5.0f);

    dress(m_coralC, model(CoralC), texture(CoralC));
    sway(model(CoralC), 19, 5.0f);
    m_coralC.setPosition(-8.9f, -6.2f, 19.2f);
    m_coralC.setAngleY(-10.0f);
    m_coralC.setAngleX(30.0f);
    m_coralC.setScale(0.04f);

    dress(m_coralD[0], model(CoralD), texture(CoralD));
    m_coralD[0].setPosition(-5.6f, -7.4f, 15.0f);
    m_coralD[0].setAngleY(45.0f);
    m_coralD[0].setScale(0.05f);
    dress(m_coralD[1], model(CoralD), texture(CoralD));
    m_coralD[1].setPosition(-11.6f, -5.6f, 15.0f);
    m_coralD[1].setAngleY(45.0f);
    m_coralD[1].setScale3(0.04f, 0.02f, 0.04f);
    sway(model(CoralD), 19, 5.0f);

    dress(m_coralF, model(CoralF), texture(CoralF));
    sway(model(CoralF), 9, 3.0f);
    m_coralF.setPosition(-10.0f, -6.0f, 20.2f);
    m_coralF.setAngleZ(25.0f);
    m_coralF.setAngleX(-30.0f);
    m_coralF.setAngleY(40.0f);

    dress(m_coralG, model(CoralG), texture(CoralG));
    sway(model(CoralG), 9, 3.0f);
    m_coralG.setPosition(0.0f, -7.0f, 25.2f);

    dress(m_coralH, model(CoralH), texture(CoralH));
    sway(model(CoralH), 9, 3.0f);
    m_coralH.setScale3(1.0f, 0.5f, 1.0f);
    m_coralH.setPosition(7.0f, -7.2f, 22.0f);
    m_coralH.setAngleZ(10.0f);

    dress(m_coralI, model(CoralI), texture(CoralI));
    sway(model(CoralI), 9, 3.0f);
    m_coralI.setPosition(11.0f, -7.0f, 18.4f);
    m_coralI.setAngleY(15.0f);
    m_coralI.setAngleZ(-5.0f);
    m_coralI.setAngleX(12.0f);
    m_coralI.setScale3(1.2f, 1.4f, 1.3f);
}

void Scenery::placeBillboards() {
    m_palmBackground.addTexture(&m_palmBackgroundTexture);
    m_palmBackground.setBlend(true);
    m_palmBackground.setSize(30.0f, 30.0f);
    m_palmBackground.setPosition(24.0f, 15.5f, 58.0f);
    m_palmBackground.trimTo(m_palmBackgroundMask, kTrimCellTexels);

    m_rock.addTexture(&m_rockTexture);
    m_rock.setBlend(true);
    m_rock.setSize(10.0f, 12.0f);
    m_rock.setPosition(-33.8f, 4.0f, 64.0f);
    m_rock.setAngleY(30.0f);
    m_rock.trimTo(m_rockMask, kTrimCellTexels);

    m_waterGrid.addTexture(&m_water);
    m_waterGrid.setBlend(true);
    m_waterGrid.setPosition(0.0f, 0.0f, 27.0f);
    m_waterGrid.setAngleX(-90.0f);
    m_waterGrid.build(76.0f, 64.0f, 35, 35);
    m_water.setScaleU(1.3f);

    // The blend map fades the highlight toward the edges: as vertex alpha, with the
    // cells it hides left out.
    m_lightPattern.addTexture(&m_highlight[0]);
    m_lightPattern.setBlend(true);
    m_lightPattern.setSize(50.0f, 40.0f);
    m_lightPattern.build(m_blendMask, kLightPatternCells, kLightPatternCells);
    m_lightPattern.setPosition(0.0f, 0.2f, 15.0f);
    m_lightPattern.setAngleX(-90.0f);
    m_lightPattern.setTextureScale(0, 12.0f);
    m_litWater.attach(&m_waterGrid, &m_lightPattern);

    m_fogGradient.addTexture(&m_fader);
    m_fogGradient.setBlend(true);
    m_fogGradient.setSize(76.0f, 27.0f);
    m_fogGradient.setPosition(0.0f, -3.4f, 47.0f);
    m_fogGradient.setAngleX(-74.8f);

    // Where the fader is fully opaque the gradient hides everything behind it. That
    // band is drawn on its own, opaque and before the sky, so that the depth test
    // drops the sky and whatever else lies behind it; the gradient then draws only
    // the rows around it. Its pixels are the ones the gradient gave there. A fader
    // that went up as alpha alone has one colour, so the wall needs no texture.
    m_fogWall = Quad();
    if (m_fader.alphaOnly())
        m_fogWall.setColour({m_fader.tint()[0], m_fader.tint()[1], m_fader.tint()[2]});
    else
        m_fogWall.addTexture(&m_fader);
    m_fogWall.setSize(m_fogGradient.width(), m_fogGradient.height());
    m_fogWall.setPosition(m_fogGradient.getPosition());
    m_fogWall.setAngleX(m_fogGradient.angleX());
    if (const std::optional<Quad::Window> band = Quad::opaqueBandOf(m_faderMask)) {
        m_fogWall.showOnly({*band});
        m_fogGradient.showOnly(Quad::rowsOutside(*band));
    } else {
        m_fogWall.showOnly({});
        m_fogGradient.showWhole();
    }

    for (AlphaMask* mask : {&m_palmBackgroundMask, &m_rockMask, &m_faderMask}) mask->clear();
}

void Scenery::placeIsland() {
    const float x = 15.0f, y = -0.6f, z = 52.0f;
    dress(m_island, m_islandModel, m_islandTexture);
    m_island.setPosition(x, y, z);
    dress(m_palmTrunks, m_palmTrunkModel, m_palmTrunkTexture);
    m_palmTrunks.setPosition(x, y, z);
    sway(m_palmTrunkModel, 19, 4.0f);
    dress(m_palmLeaves, m_palmLeafModel, m_palmLeafTexture);
    m_palmLeaves.setPosition(x, y, z);
    sway(m_palmLeafModel, 19, 4.0f);
}

// ---------------------------------------------------------------- per frame

void Scenery::scrollTextures(float phase) {
    m_water.setOffset(phase, 0.0f);
    for (Texture& frame : m_caustics) frame.setOffset(phase, 0.0f);
    for (Texture& frame : m_causticsFish) frame.setOffset(phase, 0.0f);
}

int Scenery::sequenceFrame(uint32_t nowMs) { return static_cast<int>((nowMs / kFrameMs) % kSequenceLength); }

// ---------------------------------------------------------------- release

void Scenery::release() {
    SceneObject* objects[] = {&m_domeSky, &m_flatSky,  &m_palmBackground, &m_rock,      &m_fogGradient, &m_fogWall,
                              &m_lightPattern, &m_waterGrid, &m_seaFloor,  &m_coralA,    &m_coralC,
                              &m_coralF,  &m_coralG,   &m_coralH,         &m_coralI,    &m_coralB[0],
                              &m_coralB[1], &m_coralB[2], &m_coralD[0],   &m_coralD[1], &m_island,
                              &m_palmTrunks, &m_palmLeaves};
    for (SceneObject* object : objects) object->reset();
    m_litWater.detach();
    Texture* textures[] = {&m_sky,   &m_gull,  &m_manta,       &m_terrain,  &m_water,
                           &m_fader, &m_rockTexture, &m_palmBackgroundTexture, &m_reefFish,
                           &m_islandTexture, &m_palmTrunkTexture, &m_palmLeafTexture};
    for (Texture* texture : textures) texture->release();
    for (Texture& texture : m_coralTextures) texture.release();
    for (AlphaMask* mask : {&m_blendMask, &m_palmBackgroundMask, &m_rockMask, &m_faderMask}) mask->clear();
    for (auto* sequence : {&m_caustics, &m_causticsFish, &m_highlight})
        for (Texture& texture : *sequence) texture.release();
    m_gullModel.free();
    for (QModel& model : m_coralModels) model.free();
    m_reefFishModel.free();
    m_islandModel.free();
    m_palmTrunkModel.free();
    m_palmLeafModel.free();
}

}  // namespace reef
