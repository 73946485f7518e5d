// Everything in the reef that is not a creature: sky, sea floor, water surface,
// light pattern, fog gradient, palm and rock billboards, corals, the island with
// its palms, and the animated texture sequences laid over floor, fish and water.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/AlphaMask.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "engine/Texture.h"
#include "engine/WavyHeightField.h"
#include "scene/BuildInterruption.h"
#include "scene/LitWater.h"
#include "scene/MaskedGrid.h"
#include "scene/Quad.h"
#include "scene/SkyDome.h"
#include "scene/WaterGrid.h"

namespace reef {

class Scenery {
public:
    static constexpr int kSequenceLength = 32;  // frames in each animated texture sequence
    static constexpr int kFrameMs = 50;         // 20 frames per second
    static constexpr int kCoralCount = 8;
    enum Coral { CoralA, CoralB, CoralC, CoralD, CoralF, CoralG, CoralH, CoralI };

    struct TextureChoice {
        int skyType = 0;
        int bitsPerPixel = 16;
        int boidModel = 0;
    };

    // Textures named before the creature sets' own (the sets' textures load between
    // these and the island's, in the order the catalog lists them). Each loader
    // skips what is left once stop says so.
    void loadTexturesBeforeSets(const std::string& dataFolder, const TextureChoice& choice,
                                const BuildInterruption& stop = {});
    void loadIslandTextures(const std::string& dataFolder, const BuildInterruption& stop = {});
    // Models named before the sets' own: the gull (when gulls fly), the corals, the reef fish (when
    // there is a school).
    void loadModelsBeforeSets(const std::string& dataFolder, bool gullsFly, int boidCount, int boidModel,
                              const BuildInterruption& stop = {});
    void loadIslandModels(const std::string& dataFolder, const BuildInterruption& stop = {});

    // Builds and places the sky, floor, corals, billboards, water, light pattern and fog gradient.
    void place(const std::string& dataFolder);
    // The island and its palms.
    void placeIsland();

    // The per-frame texture work: scroll water and caustics by phase (0..1).
    void scrollTextures(float phase);
    // The frame of an animated sequence that belongs to this moment.
    static int sequenceFrame(uint32_t nowMs);

    // Releases every texture and model and empties every object; safe to call twice.
    void release();

    Texture& skyTexture() { return m_sky; }
    Texture& gullTexture() { return m_gull; }
    QModel& gullModel() { return m_gullModel; }
    Texture& causticsFish(int frame) { return m_causticsFish[static_cast<size_t>(frame)]; }
    Texture& caustics(int frame) { return m_caustics[static_cast<size_t>(frame)]; }
    Texture& highlight(int frame) { return m_highlight[static_cast<size_t>(frame)]; }
    Texture& waterTexture() { return m_water; }
    Texture& reefFishTexture() { return m_reefFish; }
    QModel& reefFishModel() { return m_reefFishModel; }

    SkyDome& domeSky() { return m_domeSky; }
    Quad& flatSky() { return m_flatSky; }
    Quad& palmBackground() { return m_palmBackground; }
    Quad& rock() { return m_rock; }
    Quad& fogGradient() { return m_fogGradient; }
    // The fog gradient's fully opaque part, drawn early and without blending so
    // that the depth test drops what lies behind it (see placeBillboards).
    Quad& fogWall() { return m_fogWall; }
    MaskedGrid& lightPattern() { return m_lightPattern; }
    // The water and the light pattern over it, in one pass where the driver allows.
    LitWater& litWater() { return m_litWater; }
    WaterGrid& water() { return m_waterGrid; }
    WavyHeightField& seaFloor() { return m_seaFloor; }
    ModelObject& coralA() { return m_coralA; }
    ModelObject& coralB(int i) { return m_coralB[static_cast<size_t>(i)]; }
    ModelObject& coralC() { return m_coralC; }
    ModelObject& coralD(int i) { return m_coralD[static_cast<size_t>(i)]; }
    ModelObject& coralF() { return m_coralF; }
    ModelObject& coralG() { return m_coralG; }
    ModelObject& coralH() { return m_coralH; }
    ModelObject& coralI() { return m_coralI; }
    ModelObject& island() { return m_island; }
    ModelObject& palmTrunks() { return m_palmTrunks; }
    ModelObject& palmLeaves() { return m_palmLeaves; }
    QModel& coralModel(Coral coral) { return m_coralModels[coral]; }

private:
    void placeCorals();
    void placeBillboards();

    // Textures.
    Texture m_sky, m_gull, m_manta, m_terrain;
    std::array<Texture, kCoralCount> m_coralTextures;
    Texture m_water, m_fader, m_rockTexture, m_palmBackgroundTexture;
    std::array<Texture, kSequenceLength> m_caustics, m_causticsFish, m_highlight;
    Texture m_reefFish;
    AlphaMask m_blendMask;  // the light pattern's fade toward its edges
    // The billboards' and the fog fader's alpha, kept from loading to placement.
    AlphaMask m_palmBackgroundMask, m_rockMask, m_faderMask;
    Texture m_islandTexture, m_palmTrunkTexture, m_palmLeafTexture;

    // Models.
    QModel m_gullModel;
    std::array<QModel, kCoralCount> m_coralModels;
    QModel m_reefFishModel;
    QModel m_islandModel, m_palmTrunkModel, m_palmLeafModel;

    // Objects.
    SkyDome m_domeSky;
    Quad m_flatSky, m_palmBackground, m_rock, m_fogGradient, m_fogWall;
    MaskedGrid m_lightPattern;
    WaterGrid m_waterGrid;
    LitWater m_litWater;
    WavyHeightField m_seaFloor;
    ModelObject m_coralA, m_coralC, m_coralF, m_coralG, m_coralH, m_coralI;
    std::array<ModelObject, 3> m_coralB;
    std::array<ModelObject, 2> m_coralD;
    ModelObject m_island, m_palmTrunks, m_palmLeaves;
};

}  // namespace reef
