#include "tools/SoftRenderer.h"

#include <algorithm>
#include <cmath>

namespace reef::tools {

SoftRenderer::SoftRenderer(int width, int height, Colour background)
    : m_image(width, height, background), m_depth(static_cast<size_t>(width) * height, -1e30f) {}

void SoftRenderer::frame(const std::vector<SoftVertex>& vertices, float yawDegrees, float pitchDegrees) {
    if (vertices.empty()) return;
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (const SoftVertex& v : vertices)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], v.position[k]);
            hi[k] = std::max(hi[k], v.position[k]);
        }
    float radius = 0.0f;
    for (int k = 0; k < 3; ++k) {
        m_centre[k] = (lo[k] + hi[k]) * 0.5f;
        radius += (hi[k] - lo[k]) * (hi[k] - lo[k]) * 0.25f;
    }
    radius = std::max(std::sqrt(radius), 1e-6f);
    m_scale = 0.48f * static_cast<float>(std::min(m_image.width(), m_image.height())) / radius;
    const float yaw = yawDegrees * 0.017453292f, pitch = pitchDegrees * 0.017453292f;
    const float cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    // Rows of R = Rx(pitch) * Ry(yaw).
    const float r[9] = {cy, 0, sy, sp * sy, cp, -sp * cy, -cp * sy, sp, cp * cy};
    std::copy(r, r + 9, m_rot);
}

void SoftRenderer::project(const float p[3], float out[3]) const {
    const float d[3] = {p[0] - m_centre[0], p[1] - m_centre[1], p[2] - m_centre[2]};
    float q[3];
    for (int k = 0; k < 3; ++k) q[k] = m_rot[3 * k] * d[0] + m_rot[3 * k + 1] * d[1] + m_rot[3 * k + 2] * d[2];
    out[0] = m_image.width() * 0.5f + q[0] * m_scale;
    out[1] = m_image.height() * 0.5f - q[1] * m_scale;
    out[2] = q[2];
}

Colour SoftRenderer::texel(const DecodedImage* texture, float s, float t) const {
    if (!texture || texture->width <= 0 || texture->height <= 0 || texture->bytesPerPixel < 3) return {0.7f, 0.7f, 0.7f, 1.0f};
    // Repeat in both directions; t = 0 is the picture's top row, as the texture loader uploads it.
    const float fs = s - std::floor(s), ft = t - std::floor(t);
    const int x = std::min(texture->width - 1, static_cast<int>(fs * texture->width));
    const int y = std::min(texture->height - 1, static_cast<int>(ft * texture->height));
    const size_t at = static_cast<size_t>(y) * texture->pitch + static_cast<size_t>(x) * texture->bytesPerPixel;
    if (at + texture->bytesPerPixel > texture->pixels.size()) return {1, 0, 1, 1};
    const uint8_t* p = texture->pixels.data() + at;
    return {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, texture->bytesPerPixel == 4 ? p[3] / 255.0f : 1.0f};
}

void SoftRenderer::draw(const std::vector<SoftVertex>& vertices, const std::vector<uint16_t>& indices,
                        const DecodedImage* texture, bool lit) {
    const float light[3] = {0.4f, 0.75f, 0.52f};  // view space: from the upper left, toward the viewer
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const SoftVertex* v[3];
        float p[3][3];
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
            if (indices[i + k] >= vertices.size()) valid = false;
            else {
                v[k] = &vertices[indices[i + k]];
                project(v[k]->position, p[k]);
            }
        }
        if (!valid) continue;
        const float area = (p[1][0] - p[0][0]) * (p[2][1] - p[0][1]) - (p[2][0] - p[0][0]) * (p[1][1] - p[0][1]);
        if (std::fabs(area) < 1e-8f) continue;
        // Shade from the face orientation in view space (both sides lit alike).
        float n[3];
        {
            float e1[3], e2[3];
            for (int k = 0; k < 3; ++k) {
                e1[k] = p[1][k] - p[0][k];
                e2[k] = p[2][k] - p[0][k];
            }
            e1[1] = -e1[1], e2[1] = -e2[1];
            n[0] = e1[1] * e2[2] - e1[2] * e2[1];
            n[1] = e1[2] * e2[0] - e1[0] * e2[2];
            n[2] = e1[0] * e2[1] - e1[1] * e2[0];
            const float l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (float& c : n) c /= (l > 0 ? l : 1);
        }
        const float diffuse = std::fabs(n[0] * light[0] + n[1] * light[1] + n[2] * light[2]);
        const float shade = lit ? 0.35f + 0.75f * diffuse : 1.0f;
        const int minX = std::max(0, static_cast<int>(std::floor(std::min({p[0][0], p[1][0], p[2][0]}))));
        const int maxX = std::min(m_image.width() - 1, static_cast<int>(std::ceil(std::max({p[0][0], p[1][0], p[2][0]}))));
        const int minY = std::max(0, static_cast<int>(std::floor(std::min({p[0][1], p[1][1], p[2][1]}))));
        const int maxY = std::min(m_image.height() - 1, static_cast<int>(std::ceil(std::max({p[0][1], p[1][1], p[2][1]}))));
        for (int y = minY; y <= maxY; ++y)
            for (int x = minX; x <= maxX; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float w0 = ((p[1][0] - px) * (p[2][1] - py) - (p[2][0] - px) * (p[1][1] - py)) / area;
                const float w1 = ((p[2][0] - px) * (p[0][1] - py) - (p[0][0] - px) * (p[2][1] - py)) / area;
                const float w2 = 1.0f - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const float z = w0 * p[0][2] + w1 * p[1][2] + w2 * p[2][2];
                float& depth = m_depth[static_cast<size_t>(y) * m_image.width() + x];
                if (z < depth) continue;
                const float s = w0 * v[0]->s + w1 * v[1]->s + w2 * v[2]->s;
                const float t = w0 * v[0]->t + w1 * v[1]->t + w2 * v[2]->t;
                const Colour c = texel(texture, s, t);
                if (c.a < 0.5f) continue;
                depth = z;
                m_image.at(x, y) = {c.r * shade, c.g * shade, c.b * shade, 1.0f};
            }
    }
}

}  // namespace reef::tools
