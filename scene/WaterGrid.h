// The water surface seen from below: a grid of cells in its own x-y plane whose
// z (the wave height once the scene tips the grid over) is animated by two
// crossing sine waves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/SceneObject.h"

namespace reef {

class WaterGrid : public SceneObject {
public:
    // Grids beyond this many cells a side are refused (about 4 million vertices).
    static constexpr int kMaxCells = 2048;
    // Amplitude of each of the two waves, world units; the surface stays within twice it.
    static constexpr float kWaveAmplitude = 0.035f;

    // One vertex: position (world units), then texture coordinate.
    struct Vertex {
        float x, y, z;
        float u, v;
    };

    WaterGrid();

    // How often the texture repeats across the grid; used by the next build.
    void setRepeat(float repeat) { m_repeat = repeat; }

    // Lays out (cellsX + 1) x (cellsZ + 1) vertices over width x depth world
    // units, centred on the origin; the textures stay. False (and an empty grid)
    // for a cell count below 1 or above kMaxCells.
    bool build(float width, float depth, int cellsX, int cellsZ);
    // Advances both wave phases by the time since the last call and sets every
    // vertex's z. Called once per frame; allocates nothing.
    void animate();

    // Pushes the matrix, then the base placement and material.
    void beginDraw() override;
    void draw() override;
    // Pops the matrix, then the base clean-up.
    void endDraw() override;
    // Frees the grid and empties the texture lists.
    void reset() override;

    int cellsX() const { return m_cellsX; }
    int cellsZ() const { return m_cellsZ; }
    int vertsX() const { return m_vertsX; }
    int vertsZ() const { return m_vertsZ; }
    int quadCount() const { return m_cellsX * m_cellsZ; }
    float phaseA() const { return m_phaseA; }
    float phaseB() const { return m_phaseB; }
    // Vertex (i, j): column i < vertsX, row j < vertsZ.
    const Vertex& vertex(int i, int j) const { return m_vertices[static_cast<std::size_t>(i) * m_vertsZ + j]; }
    // Corner k (0..3) of cell (i, j) in drawing order: (i, j+1), (i, j), (i+1, j), (i+1, j+1).
    const Vertex& corner(int i, int j, int k) const;
    // Every vertex (column after column) and the four corner indices of every cell, as drawn.
    const std::vector<Vertex>& vertices() const { return m_vertices; }
    const std::vector<uint32_t>& quadIndices() const { return m_quadIndices; }

private:
    int m_cellsX = 0, m_cellsZ = 0;
    int m_vertsX = 0, m_vertsZ = 0;
    uint32_t m_lastTick = 0;  // ms
    float m_phaseA = 0.0f, m_phaseB = 0.0f;  // radians
    float m_repeat = 1.0f;
    float m_waveStepA = 0.0f, m_waveStepB = 0.0f;  // radians per column and per row
    std::vector<Vertex> m_vertices;  // column-major: vertsX columns of vertsZ vertices
    std::vector<float> m_rowWave;    // the second wave per row j, refreshed by animate
    std::vector<uint32_t> m_quadIndices;  // four corners per cell, in drawing order
};

}  // namespace reef
