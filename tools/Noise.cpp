#include "tools/Noise.h"

#include <algorithm>
#include <cmath>

namespace reef::tools {
namespace {

int wrapIndex(int i, int period) {
    if (period <= 0) return i;
    int r = i % period;
    return r < 0 ? r + period : r;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

}  // namespace

float smoothstep(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

uint32_t Noise::hash(int x, int y, int salt) const {
    uint32_t h = m_seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 11) | (h >> 21);
    h ^= static_cast<uint32_t>(salt) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Noise::hash01(int x, int y, int salt) const {
    return static_cast<float>(hash(x, y, salt) >> 8) * (1.0f / 16777216.0f);
}

float Noise::gradient(float x, float y, int period) const {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    float corner[4];
    for (int k = 0; k < 4; ++k) {
        const int dx = k & 1, dy = k >> 1;
        const float angle = hash01(wrapIndex(x0 + dx, period), wrapIndex(y0 + dy, period), 7) * 6.2831853f;
        corner[k] = std::cos(angle) * (fx - dx) + std::sin(angle) * (fy - dy);
    }
    const float u = fade(fx), v = fade(fy);
    const float top = corner[0] + (corner[1] - corner[0]) * u;
    const float bottom = corner[2] + (corner[3] - corner[2]) * u;
    return (top + (bottom - top) * v) * 1.414f;
}

float Noise::fractal(float x, float y, int period, int octaves, float gain) const {
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    float frequency = 1.0f;
    int p = period;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * gradient(x * frequency + 17.3f * o, y * frequency - 9.1f * o, p);
        norm += amplitude;
        amplitude *= gain;
        frequency *= 2.0f;
        p *= 2;
    }
    // Each octave repeats every p of its own cells, which is `period` base cells,
    // whatever constant offset it is read at, so the sum tiles with the base period.
    return sum / norm;
}

void Noise::cellular(float x, float y, int period, float phase, float orbit, float& f1, float& f2) const {
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    f1 = f2 = 1e9f;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int ix = cx + dx, iy = cy + dy;
            const int hx = wrapIndex(ix, period), hy = wrapIndex(iy, period);
            const float ox = 0.2f + 0.6f * hash01(hx, hy, 1);
            const float oy = 0.2f + 0.6f * hash01(hx, hy, 2);
            const float own = hash01(hx, hy, 3) * 6.2831853f;
            const float dir = hash01(hx, hy, 4) < 0.5f ? -1.0f : 1.0f;
            const float px = ix + ox + orbit * std::cos(dir * phase + own);
            const float py = iy + oy + orbit * std::sin(dir * phase + own);
            const float d = std::hypot(px - x, py - y);
            if (d < f1) {
                f2 = f1;
                f1 = d;
            } else if (d < f2) {
                f2 = d;
            }
        }
}

}  // namespace reef::tools
