#include "scene/SkyDome.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/Clock.h"

namespace reef {

SkyDome::SkyDome() : m_lastTick(getTicks()) {}

void SkyDome::setRepeat(float u, float v) {
    m_repeatU = u;
    m_repeatV = v;
}

bool SkyDome::build() {
    m_vertices.clear();
    m_indices.clear();
    m_builtDivisions = 0;
    m_lastTick = getTicks();
    m_verticalOffset = m_radius;
    const float span = m_outerRadius * m_outerRadius - m_radius * m_radius;
    if (!(span > 0.0f) || !std::isfinite(span)) return false;

    const int n = std::clamp(m_divisions, kMinDivisions, kMaxDivisions);
    const float d = 2.0f * std::sqrt(span);
    const float fn = static_cast<float>(n);
    m_vertices.reserve(static_cast<size_t>(n + 1) * (n + 1));
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const float x = static_cast<float>(j) * d / fn - d / 2.0f;
            const float z = static_cast<float>(i) * d / fn - d / 2.0f;
            const float y = -(x * x / m_outerRadius + z * z / m_outerRadius);
            const float u = static_cast<float>(j) / fn * m_repeatU;
            const float v = (1.0f - static_cast<float>(i) / fn) * m_repeatV;
            m_vertices.push_back(Vertex{x, y, z, u, v});
        }
    }
    const uint32_t row = static_cast<uint32_t>(n) + 1;
    m_indices.reserve(static_cast<size_t>(6) * n * n);
    for (uint32_t r = 0; r < static_cast<uint32_t>(n); ++r) {
        for (uint32_t c = 0; c < static_cast<uint32_t>(n); ++c) {
            const uint32_t b = r * row + c;
            m_indices.insert(m_indices.end(), {b, b + 1, b + row, b + 1, b + row + 1, b + row});
        }
    }
    m_builtDivisions = n;
    return true;
}

void SkyDome::updateSpin() {
    const uint32_t now = getTicks();
    const uint32_t dt = now - m_lastTick;  // unsigned: survives the tick counter wrapping
    m_lastTick = now;
    turnY(static_cast<float>(dt) * m_spinSpeed * 0.001f);
}

void SkyDome::beginDraw() {
    m_lightingWasOn = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    glPushMatrix();
    updateSpin();
    glDisable(GL_LIGHTING);
    SceneObject::beginDraw();
    glTranslatef(0.0f, m_verticalOffset, 0.0f);
}

void SkyDome::draw() {
    if (m_indices.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &m_vertices[0].x);
    enableTexCoordArrays(&m_vertices[0].u, sizeof(Vertex));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_indices.size()), GL_UNSIGNED_INT, m_indices.data());
    disableTexCoordArrays();
    glDisableClientState(GL_VERTEX_ARRAY);
}

void SkyDome::endDraw() {
    if (m_lightingWasOn) glEnable(GL_LIGHTING);
    glPopMatrix();
    SceneObject::endDraw();
}

void SkyDome::reset() {
    std::vector<Vertex>().swap(m_vertices);
    std::vector<uint32_t>().swap(m_indices);
    m_builtDivisions = 0;
    SceneObject::reset();
}

}  // namespace reef
