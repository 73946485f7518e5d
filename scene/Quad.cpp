#include "scene/Quad.h"

#include <GL/gl.h>

#include <algorithm>

#include "engine/AlphaMask.h"

namespace reef {

void Quad::setSize(float width, float height) {
    m_width = width;
    m_height = height;
    m_halfWidth = width * 0.5f;
    m_halfHeight = height * 0.5f;
    buildPieces();
}

void Quad::setRepeat(float u, float v) {
    m_repeatU = u;
    m_repeatV = v;
    buildPieces();
}

std::array<Quad::Corner, 4> Quad::corners() const {
    return {{
        {m_halfWidth, m_halfHeight, 0.0f, m_repeatU, 0.0f},
        {-m_halfWidth, m_halfHeight, 0.0f, 0.0f, 0.0f},
        {-m_halfWidth, -m_halfHeight, 0.0f, 0.0f, m_repeatV},
        {m_halfWidth, -m_halfHeight, 0.0f, m_repeatU, m_repeatV},
    }};
}

void Quad::showOnly(const std::vector<Window>& windows) {
    m_windowed = true;
    m_windows = windows;
    buildPieces();
}

void Quad::showWhole() {
    m_windowed = false;
    m_windows.clear();
    buildPieces();
}

void Quad::buildPieces() {
    m_pieceCorners.clear();
    // A window edge at 0 or 1 lands exactly on the whole quad's edge.
    const auto x = [this](float u) { return -m_halfWidth + u * m_width; };
    const auto y = [this](float v) { return m_halfHeight - v * m_height; };
    for (const Window& w : m_windows) {
        const float u0 = w.u0 * m_repeatU, u1 = w.u1 * m_repeatU;
        const float v0 = w.v0 * m_repeatV, v1 = w.v1 * m_repeatV;
        m_pieceCorners.push_back({x(w.u1), y(w.v0), 0.0f, u1, v0});
        m_pieceCorners.push_back({x(w.u0), y(w.v0), 0.0f, u0, v0});
        m_pieceCorners.push_back({x(w.u0), y(w.v1), 0.0f, u0, v1});
        m_pieceCorners.push_back({x(w.u1), y(w.v1), 0.0f, u1, v1});
    }
}

void Quad::trimTo(const AlphaMask& mask, int cellTexels) {
    if (mask.empty() || cellTexels < 1) return;
    const int width = mask.width(), height = mask.height();
    const int cellsX = (width + cellTexels - 1) / cellTexels;
    const int cellsY = (height + cellTexels - 1) / cellTexels;
    // Rectangles still growing downward, as [first cell, end cell) of one run per row.
    struct Open {
        int x0, x1, y0;
    };
    std::vector<Open> open, next;
    std::vector<Window> windows;
    const auto close = [&](const Open& r, int yEnd) {
        windows.push_back({static_cast<float>(r.x0 * cellTexels) / width,
                           static_cast<float>(r.y0 * cellTexels) / height,
                           static_cast<float>(std::min(r.x1 * cellTexels, width)) / width,
                           static_cast<float>(std::min(yEnd * cellTexels, height)) / height});
    };
    for (int cy = 0; cy <= cellsY; ++cy) {
        next.clear();
        for (int cx = 0; cy < cellsY && cx < cellsX;) {
            const auto visible = [&](int c) {
                return mask.anyVisibleNear(c * cellTexels, cy * cellTexels, std::min((c + 1) * cellTexels, width),
                                           std::min((cy + 1) * cellTexels, height));
            };
            if (!visible(cx)) {
                ++cx;
                continue;
            }
            int end = cx + 1;
            while (end < cellsX && visible(end)) ++end;
            next.push_back({cx, end, cy});
            cx = end;
        }
        // A run that continues one of the row above exactly extends it.
        for (Open& run : next) {
            const auto above = std::find_if(open.begin(), open.end(),
                                            [&](const Open& o) { return o.x0 == run.x0 && o.x1 == run.x1; });
            if (above != open.end()) {
                run.y0 = above->y0;
                open.erase(above);
            }
        }
        for (const Open& finished : open) close(finished, cy);
        open.swap(next);
    }
    showOnly(windows);
}

std::optional<Quad::Window> Quad::opaqueBandOf(const AlphaMask& mask) {
    int bestFirst = 0, bestCount = 0;
    for (int y = 0; y < mask.height();) {
        if (!mask.rowOpaque(y)) {
            ++y;
            continue;
        }
        const int first = y;
        while (y < mask.height() && mask.rowOpaque(y)) ++y;
        if (y - first > bestCount) {
            bestFirst = first;
            bestCount = y - first;
        }
    }
    // Texel centres lie half a texel into each row: a sample between the first and
    // the last row's centres reads nothing else, and half a texel more inside
    // leaves room for rounding.
    if (bestCount < 3) return std::nullopt;
    const float height = static_cast<float>(mask.height());
    return Window{0.0f, static_cast<float>(bestFirst + 1) / height, 1.0f,
                  static_cast<float>(bestFirst + bestCount - 1) / height};
}

std::vector<Quad::Window> Quad::rowsOutside(const Window& band) {
    std::vector<Window> rows;
    if (band.v0 > 0.0f) rows.push_back({0.0f, 0.0f, 1.0f, band.v0});
    if (band.v1 < 1.0f) rows.push_back({0.0f, band.v1, 1.0f, 1.0f});
    return rows;
}

void Quad::beginDraw() {
    glPushMatrix();
    SceneObject::beginDraw();
}

void Quad::draw() {
    if (m_windowed) {
        if (m_pieceCorners.empty()) return;
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Corner), &m_pieceCorners[0].x);
        enableTexCoordArrays(&m_pieceCorners[0].u, sizeof(Corner));
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m_pieceCorners.size()));
        disableTexCoordArrays();
        glDisableClientState(GL_VERTEX_ARRAY);
        return;
    }
    const std::array<Corner, 4> quad = corners();
    glBegin(GL_QUADS);
    for (const Corner& c : quad) {
        emitTexCoord(c.u, c.v);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

void Quad::endDraw() {
    glPopMatrix();
    SceneObject::endDraw();
}

}  // namespace reef
