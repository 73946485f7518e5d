#include "tools/TerrainMap.h"

#include <algorithm>
#include <cmath>

#include "tools/Noise.h"

namespace reef::tools {
namespace {

constexpr float kEmbed = 0.12f;  // the floor stands this far above a coral's origin, burying its foot
constexpr float kMoundSigma = 1.3f;

float gauss(float dx, float dz, float sigma) { return std::exp(-(dx * dx + dz * dz) / (2.0f * sigma * sigma)); }

}  // namespace

const std::vector<TerrainMap::Anchor>& TerrainMap::coralBases() {
    // Positions of the coral objects (world x, z, y of the model origin).
    static const std::vector<Anchor> bases = {
        {-2.8f, 20.2f, -5.4f},  {-3.7f, 14.2f, -7.6f}, {-5.0f, 13.7f, -7.5f},  {-3.4f, 12.8f, -7.6f},
        {-8.9f, 19.2f, -6.2f},  {-5.6f, 15.0f, -7.4f}, {-11.6f, 15.0f, -5.6f}, {-10.0f, 20.2f, -6.0f},
        {0.0f, 25.2f, -7.0f},   {7.0f, 22.0f, -7.2f},  {11.0f, 18.4f, -7.0f},
    };
    return bases;
}

float TerrainMap::shape(float x, float z) const {
    static const Noise noise(0x7E44A1);
    float y = -7.78f;
    y += 1.6f * smoothstep(8.0f, 50.0f, z);                    // rises toward the back
    y += 1.4f * smoothstep(19.0f, 30.0f, std::fabs(x));        // and toward both sides
    y += 0.28f * noise.fractal(x / 9.0f + 40.0f, z / 9.0f + 40.0f, 0, 3);  // dunes
    // The rocky ridge on the left that carries most of the corals.
    const float ridge = gauss(x + 9.5f, z - 17.5f, 3.2f);
    y += ridge * (1.3f + 0.5f * noise.fractal(x / 2.0f, z / 2.0f, 0, 3));
    // A rock pillar under the staghorn coral.
    y += 1.2f * gauss(x + 2.8f, z - 20.2f, 1.1f) * (1.0f + 0.15f * noise.gradient(x * 2.0f, z * 2.0f, 0));
    return y;
}

TerrainMap::TerrainMap() {
    // Solve the mound heights so the floor meets every coral base; neighbouring
    // mounds overlap, so relax a few rounds.
    const auto& bases = coralBases();
    m_amplitudes.assign(bases.size(), 0.0f);
    for (int round = 0; round < 60; ++round)
        for (size_t k = 0; k < bases.size(); ++k) {
            const float error = bases[k].y + kEmbed - drawnHeightAt(bases[k].x, bases[k].z);
            m_amplitudes[k] += 0.6f * error;
        }
}

float TerrainMap::heightAt(float x, float z) const {
    float y = shape(x, z);
    const auto& bases = coralBases();
    for (size_t k = 0; k < m_amplitudes.size(); ++k)
        y += m_amplitudes[k] * gauss(x - bases[k].x, z - bases[k].z, kMoundSigma);
    return y;
}

float TerrainMap::drawnHeightAt(float x, float z) const {
    // The mesh reads the pixel under trunc(i * step) for its vertex i.
    const float stepX = (kWidth - 1) / static_cast<float>(kMeshResolution);
    const float stepZ = (kHeight - 1) / static_cast<float>(kMeshResolution);
    const auto vertexY = [&](int i, int j) {
        const int px = std::clamp(static_cast<int>(i * stepX), 0, kWidth - 1);
        const int pz = std::clamp(static_cast<int>(j * stepZ), 0, kHeight - 1);
        const float g = std::clamp(std::round((heightAt(pixelToWorldX(px), pixelToWorldZ(pz)) - kBaseY) / kHeightScale), 0.0f, 255.0f);
        return worldY(static_cast<uint8_t>(g));
    };
    const float gi = (x + kSizeX / 2) / (stepX * kSizeX / kWidth), gj = (kSizeZ - z) / (stepZ * kSizeZ / kHeight);
    const int i = static_cast<int>(gi), j = static_cast<int>(gj);
    const float fi = gi - i, fj = gj - j;
    return (vertexY(i, j) * (1 - fi) + vertexY(i + 1, j) * fi) * (1 - fj) +
           (vertexY(i, j + 1) * (1 - fi) + vertexY(i + 1, j + 1) * fi) * fj;
}

std::vector<uint8_t> TerrainMap::greyLevels() const {
    std::vector<uint8_t> grey(static_cast<size_t>(kWidth) * kHeight);
    for (int pz = 0; pz < kHeight; ++pz)
        for (int px = 0; px < kWidth; ++px) {
            const float y = heightAt(pixelToWorldX(px), pixelToWorldZ(pz));
            const float g = std::round((y - kBaseY) / kHeightScale);
            grey[static_cast<size_t>(pz) * kWidth + px] = static_cast<uint8_t>(std::clamp(g, 0.0f, 255.0f));
        }
    return grey;
}

}  // namespace reef::tools
