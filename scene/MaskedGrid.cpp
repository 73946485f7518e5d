#include "scene/MaskedGrid.h"

#include <GL/gl.h>

#include <algorithm>

#include "engine/AlphaMask.h"

namespace reef {

void MaskedGrid::setSize(float width, float height) {
    m_width = width;
    m_height = height;
}

bool MaskedGrid::build(const AlphaMask& mask, int cellsX, int cellsY) {
    m_vertices.clear();
    m_maskAlpha.clear();
    m_quadIndices.clear();
    m_cellsX = m_cellsY = 0;
    m_colourDrawn = {-1.0f, -1.0f, -1.0f, -1.0f};
    if (mask.empty() || cellsX < 1 || cellsY < 1 || cellsX > kMaxCells || cellsY > kMaxCells) return false;

    m_cellsX = cellsX;
    m_cellsY = cellsY;
    const int vertsX = cellsX + 1, vertsY = cellsY + 1;
    m_vertices.resize(static_cast<size_t>(vertsX) * static_cast<size_t>(vertsY));
    m_maskAlpha.resize(m_vertices.size());
    for (int j = 0; j < vertsY; ++j) {
        for (int i = 0; i < vertsX; ++i) {
            const size_t k = static_cast<size_t>(j) * static_cast<size_t>(vertsX) + static_cast<size_t>(i);
            const float u = static_cast<float>(i) / static_cast<float>(cellsX);
            const float v = static_cast<float>(j) / static_cast<float>(cellsY);
            m_maskAlpha[k] = mask.sample(u, v);
            m_vertices[k] = {(u - 0.5f) * m_width, (0.5f - v) * m_height, 0.0f, u, v, 1.0f, 1.0f, 1.0f, m_maskAlpha[k]};
        }
    }
    const auto index = [vertsX](int i, int j) { return static_cast<uint32_t>(j * vertsX + i); };
    for (int j = 0; j < cellsY; ++j) {
        for (int i = 0; i < cellsX; ++i) {
            // Top right, top left, bottom left, bottom right, as a Quad turns.
            const std::array<uint32_t, 4> corners = {index(i + 1, j), index(i, j), index(i, j + 1),
                                                     index(i + 1, j + 1)};
            bool visible = false;
            for (uint32_t c : corners) visible = visible || m_maskAlpha[c] > 0.0f;
            if (visible) m_quadIndices.insert(m_quadIndices.end(), corners.begin(), corners.end());
        }
    }
    m_colourDrawn = {1.0f, 1.0f, 1.0f, 1.0f};  // what the vertices now hold
    return true;
}

float MaskedGrid::maskAt(float u, float v) const {
    if (m_maskAlpha.empty() || !(u >= 0.0f && u <= 1.0f && v >= 0.0f && v <= 1.0f)) return 0.0f;
    const float x = u * static_cast<float>(m_cellsX);
    const float y = v * static_cast<float>(m_cellsY);
    const int i = std::min(static_cast<int>(x), m_cellsX - 1);
    const int j = std::min(static_cast<int>(y), m_cellsY - 1);
    const float fx = x - static_cast<float>(i);
    const float fy = y - static_cast<float>(j);
    const size_t row = static_cast<size_t>(m_cellsX + 1);
    const size_t k = static_cast<size_t>(j) * row + static_cast<size_t>(i);
    const float top = m_maskAlpha[k] + (m_maskAlpha[k + 1] - m_maskAlpha[k]) * fx;
    const float bottom = m_maskAlpha[k + row] + (m_maskAlpha[k + row + 1] - m_maskAlpha[k + row]) * fx;
    return top + (bottom - top) * fy;
}

void MaskedGrid::refreshColours() {
    const std::array<float, 4> colour = drawColour();
    if (colour == m_colourDrawn) return;
    m_colourDrawn = colour;
    for (size_t k = 0; k < m_vertices.size(); ++k) {
        Vertex& v = m_vertices[k];
        v.r = colour[0];
        v.g = colour[1];
        v.b = colour[2];
        v.a = colour[3] * m_maskAlpha[k];
    }
}

void MaskedGrid::beginDraw() {
    glPushMatrix();
    SceneObject::beginDraw();
}

void MaskedGrid::draw() {
    if (m_quadIndices.empty()) return;
    refreshColours();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &m_vertices[0].x);
    glColorPointer(4, GL_FLOAT, sizeof(Vertex), &m_vertices[0].r);
    enableTexCoordArrays(&m_vertices[0].u, sizeof(Vertex));
    glDrawElements(GL_QUADS, static_cast<GLsizei>(m_quadIndices.size()), GL_UNSIGNED_INT, m_quadIndices.data());
    disableTexCoordArrays();
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void MaskedGrid::endDraw() {
    glPopMatrix();
    SceneObject::endDraw();
}

void MaskedGrid::reset() {
    std::vector<Vertex>().swap(m_vertices);
    std::vector<float>().swap(m_maskAlpha);
    std::vector<uint32_t>().swap(m_quadIndices);
    m_cellsX = m_cellsY = 0;
    SceneObject::reset();
}

}  // namespace reef
