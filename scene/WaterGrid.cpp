#include "scene/WaterGrid.h"

#include <GL/gl.h>

#include <cmath>

#include "core/Clock.h"
#include "core/Math.h"

namespace reef {

namespace {

constexpr float kPhaseRate = 0.005f;  // radians per ms, both waves
// The waves' shape in world units, whatever the grid's resolution: 0.18 pi per
// 76/70 units across (x) and 0.15 pi per 64/70 units along (y).
constexpr float kWaveRadiansPerUnitA = 0.18f * kPi * 70.0f / 76.0f;
constexpr float kWaveRadiansPerUnitB = 0.15f * kPi * 70.0f / 64.0f;

// Keeps a phase below one turn; a long pause between frames wraps it fully
// instead of leaving it large (and imprecise) for many frames.
float wrapPhase(float phase) {
    if (phase >= kTwoPi) phase = std::fmod(phase, kTwoPi);
    return phase;
}

}  // namespace

WaterGrid::WaterGrid() : m_lastTick(getTicks()) {}

bool WaterGrid::build(float width, float depth, int cellsX, int cellsZ) {
    m_vertices.clear();
    m_rowWave.clear();
    m_quadIndices.clear();
    m_cellsX = m_cellsZ = m_vertsX = m_vertsZ = 0;
    if (cellsX < 1 || cellsZ < 1 || cellsX > kMaxCells || cellsZ > kMaxCells) return false;

    m_cellsX = cellsX;
    m_cellsZ = cellsZ;
    m_vertsX = cellsX + 1;
    m_vertsZ = cellsZ + 1;
    m_lastTick = getTicks();
    const float stepX = width / static_cast<float>(cellsX);
    const float stepZ = depth / static_cast<float>(cellsZ);
    m_waveStepA = kWaveRadiansPerUnitA * stepX;
    m_waveStepB = kWaveRadiansPerUnitB * stepZ;
    m_vertices.resize(static_cast<size_t>(m_vertsX) * m_vertsZ);
    m_rowWave.assign(static_cast<size_t>(m_vertsZ), 0.0f);
    for (int i = 0; i < m_vertsX; ++i) {
        for (int j = 0; j < m_vertsZ; ++j) {
            Vertex& v = m_vertices[static_cast<size_t>(i) * m_vertsZ + j];
            v.x = static_cast<float>(i) * stepX - width / 2.0f;
            v.y = static_cast<float>(j) * stepZ - depth / 2.0f;
            v.z = 0.0f;
            v.u = static_cast<float>(i) * m_repeat / static_cast<float>(cellsX);
            v.v = static_cast<float>(m_vertsZ - 1 - j) * m_repeat / static_cast<float>(cellsZ);
        }
    }
    const auto index = [this](int i, int j) { return static_cast<uint32_t>(i * m_vertsZ + j); };
    m_quadIndices.reserve(static_cast<size_t>(cellsX) * cellsZ * 4);
    for (int i = 0; i < cellsX; ++i) {
        for (int j = 0; j < cellsZ; ++j) {
            m_quadIndices.insert(m_quadIndices.end(),
                                 {index(i, j + 1), index(i, j), index(i + 1, j), index(i + 1, j + 1)});
        }
    }
    return true;
}

void WaterGrid::animate() {
    const uint32_t now = getTicks();
    const float dt = static_cast<float>(now - m_lastTick);  // unsigned difference survives the wrap
    m_lastTick = now;
    m_phaseA = wrapPhase(m_phaseA + dt * kPhaseRate);
    m_phaseB = wrapPhase(m_phaseB + dt * kPhaseRate);

    for (int j = 0; j < m_vertsZ; ++j) {
        m_rowWave[j] = kWaveAmplitude * std::sin(static_cast<float>(j) * m_waveStepB + m_phaseB);
    }
    for (int i = 0; i < m_vertsX; ++i) {
        const float a = kWaveAmplitude * std::sin(static_cast<float>(i) * m_waveStepA + m_phaseA);
        Vertex* column = &m_vertices[static_cast<size_t>(i) * m_vertsZ];
        for (int j = 0; j < m_vertsZ; ++j) column[j].z = m_rowWave[j] + a;
    }
}

const WaterGrid::Vertex& WaterGrid::corner(int i, int j, int k) const {
    switch (k & 3) {
        case 0: return vertex(i, j + 1);
        case 1: return vertex(i, j);
        case 2: return vertex(i + 1, j);
        default: return vertex(i + 1, j + 1);
    }
}

void WaterGrid::beginDraw() {
    glPushMatrix();
    SceneObject::beginDraw();
}

void WaterGrid::draw() {
    if (m_quadIndices.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &m_vertices[0].x);
    enableTexCoordArrays(&m_vertices[0].u, sizeof(Vertex));
    glDrawElements(GL_QUADS, static_cast<GLsizei>(m_quadIndices.size()), GL_UNSIGNED_INT, m_quadIndices.data());
    disableTexCoordArrays();
    glDisableClientState(GL_VERTEX_ARRAY);
}

void WaterGrid::endDraw() {
    glPopMatrix();
    SceneObject::endDraw();
}

void WaterGrid::reset() {
    std::vector<Vertex>().swap(m_vertices);
    std::vector<float>().swap(m_rowWave);
    std::vector<uint32_t>().swap(m_quadIndices);
    m_cellsX = m_cellsZ = m_vertsX = m_vertsZ = 0;
    SceneObject::reset();
}

}  // namespace reef
