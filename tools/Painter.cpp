#include "tools/Painter.h"

#include <algorithm>
#include <cmath>

namespace reef::tools {

void Painter::capsule(float x0, float y0, float x1, float y1, float r0, float r1,
                      const std::function<Colour(float, float)>& colour) {
    const float rmax = std::max(r0, r1) + 1.0f;
    const int minX = static_cast<int>(std::floor(std::min(x0, x1) - rmax));
    const int maxX = static_cast<int>(std::ceil(std::max(x0, x1) + rmax));
    const int minY = static_cast<int>(std::floor(std::min(y0, y1) - rmax));
    const int maxY = static_cast<int>(std::ceil(std::max(y0, y1) + rmax));
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = std::max(minY, 0); y <= std::min(maxY, m_image.height() - 1); ++y)
        for (int x = std::max(minX, 0); x <= std::min(maxX, m_image.width() - 1); ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            const float t = std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f);
            const float ex = px - dx * t, ey = py - dy * t;
            const float d = std::sqrt(ex * ex + ey * ey);
            const float r = r0 + (r1 - r0) * t;
            const float coverage = std::clamp(r - d + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0.0f) continue;
            const float side = (ex * dy - ey * dx) >= 0.0f ? 1.0f : -1.0f;
            m_image.blend(x, y, colour(t, r > 0.0f ? side * d / r : 0.0f), coverage);
        }
}

void Painter::ellipse(float cx, float cy, float rx, float ry, const Colour& colour) {
    for (int y = std::max(0, static_cast<int>(cy - ry - 1)); y <= std::min(m_image.height() - 1, static_cast<int>(cy + ry + 1)); ++y)
        for (int x = std::max(0, static_cast<int>(cx - rx - 1)); x <= std::min(m_image.width() - 1, static_cast<int>(cx + rx + 1)); ++x) {
            const float nx = (x + 0.5f - cx) / rx, ny = (y + 0.5f - cy) / ry;
            const float d = std::sqrt(nx * nx + ny * ny);
            const float edge = (1.0f - d) * std::min(rx, ry);
            const float coverage = std::clamp(edge + 0.5f, 0.0f, 1.0f);
            if (coverage > 0.0f) m_image.blend(x, y, colour, coverage);
        }
}

void Painter::fill(const std::function<Colour(float, float)>& f) {
    for (int y = 0; y < m_image.height(); ++y)
        for (int x = 0; x < m_image.width(); ++x)
            m_image.at(x, y) = f((x + 0.5f) / m_image.width(), (y + 0.5f) / m_image.height());
}

}  // namespace reef::tools
