// The sea-floor height map ("terrain_map.tqt"): a sandy floor with gentle dunes
// that rises toward the back and the sides, with a rocky reef ridge on the left
// and small mounds shaped so that every coral of the scenery stands on the floor.
//
// Orientation (as the height field builds its mesh): pixel column px is world
// x = px * 60 / W - 30; pixel row pz (top row first) is world z = 50 - pz * 50 / H;
// grey g is world y = -8 + g * 0.015.
#pragma once

#include <cstdint>
#include <vector>

namespace reef::tools {

class TerrainMap {
public:
    static constexpr int kWidth = 256;   // a multiple of 4: the decoder pads rows to 4 bytes
    static constexpr int kHeight = 256;
    static constexpr float kSizeX = 60.0f;
    static constexpr float kSizeZ = 50.0f;
    static constexpr float kBaseY = -8.0f;
    static constexpr float kHeightScale = 0.015f;

    // A point the floor must pass through (world x, z and floor height y).
    struct Anchor {
        float x, z, y;
    };

    TerrainMap();

    // World floor height at world (x, z), before quantisation.
    float heightAt(float x, float z) const;
    // The floor as the scene draws it: the quantised map sampled at the vertices of
    // its 50 x 50 cell mesh and spread linearly over each cell.
    float drawnHeightAt(float x, float z) const;
    static constexpr int kMeshResolution = 50;
    // Grey levels, rows top first (kWidth x kHeight).
    std::vector<uint8_t> greyLevels() const;
    // World height the quantised map gives at pixel (px, pz), as the mesh reads it.
    static float worldY(uint8_t grey) { return kBaseY + grey * kHeightScale; }
    static float pixelToWorldX(int px) { return px * kSizeX / kWidth - kSizeX / 2; }
    static float pixelToWorldZ(int pz) { return kSizeZ - pz * kSizeZ / kHeight; }
    // Where each coral of the scenery is placed: its base must lie on the floor.
    static const std::vector<Anchor>& coralBases();

private:
    float shape(float x, float z) const;  // the floor without the coral mounds
    std::vector<float> m_amplitudes;      // one mound per coral base
};

}  // namespace reef::tools
