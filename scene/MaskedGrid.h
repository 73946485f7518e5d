// A flat textured rectangle in its own x-y plane, centred on its placement,
// drawn as a grid of cells whose vertices carry the alpha of a mask picture
// stretched once over it: the mask costs no texture unit, and the cells it
// leaves fully transparent are not drawn at all. Used for the light pattern.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/SceneObject.h"

namespace reef {

class AlphaMask;

class MaskedGrid : public SceneObject {
public:
    // Grids beyond this many cells a side are refused.
    static constexpr int kMaxCells = 1024;

    // One vertex: position (world units), texture coordinate, colour (the draw
    // colour, its alpha times the mask's).
    struct Vertex {
        float x, y, z;
        float u, v;
        float r, g, b, a;
    };

    // Width and height in world units, used by the next build.
    void setSize(float width, float height);

    // Lays cellsX x cellsY cells over the rectangle. Texture coordinates run as on a
    // Quad (u 0 at the left edge to 1 at the right, v 0 at the top to 1 at the
    // bottom) and each vertex's alpha is the mask's linearly filtered alpha there.
    // A cell whose four corners are all fully transparent draws nothing and is
    // left out. False (and an empty grid) for a cell count below 1 or above
    // kMaxCells, or an empty mask.
    bool build(const AlphaMask& mask, int cellsX, int cellsY);

    // Pushes the matrix, then the base placement and material.
    void beginDraw() override;
    void draw() override;
    // Pops the matrix, then the base clean-up.
    void endDraw() override;
    // Frees the grid and empties the texture lists.
    void reset() override;

    int cellsX() const { return m_cellsX; }
    int cellsY() const { return m_cellsY; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    // The mask's alpha at texture coordinate (u, v) as the grid draws it: blended
    // between the four corners of the cell that holds the point; 0 outside the grid.
    float maskAt(float u, float v) const;
    // The cells drawn (the others are fully transparent).
    int drawnCells() const { return static_cast<int>(m_quadIndices.size() / 4); }
    // Vertex (i, j): column i <= cellsX from the left, row j <= cellsY from the top.
    const Vertex& vertex(int i, int j) const {
        return m_vertices[static_cast<std::size_t>(j) * static_cast<std::size_t>(m_cellsX + 1) + static_cast<std::size_t>(i)];
    }

protected:
    // The mask's alpha goes in with each vertex's colour.
    bool hasVertexAlpha() const override { return true; }

private:
    // Writes the draw colour into every vertex when it changed since the last draw.
    void refreshColours();

    float m_width = 1.0f, m_height = 1.0f;
    int m_cellsX = 0, m_cellsY = 0;
    std::vector<Vertex> m_vertices;       // rows top first
    std::vector<float> m_maskAlpha;       // the mask's alpha per vertex
    std::vector<uint32_t> m_quadIndices;  // four corners per drawn cell, in a Quad's corner order
    std::array<float, 4> m_colourDrawn = {-1.0f, -1.0f, -1.0f, -1.0f};
};

}  // namespace reef
