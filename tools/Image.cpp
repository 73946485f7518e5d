#include "tools/Image.h"

#include <algorithm>
#include <cmath>

namespace reef::tools {

Colour mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour scaled(const Colour& c, float s) { return {c.r * s, c.g * s, c.b * s, c.a}; }

uint8_t toByte(float v) {
    const float c = std::clamp(v, 0.0f, 1.0f);
    return static_cast<uint8_t>(std::lround(c * 255.0f));
}

Image::Image(int width, int height, Colour fill)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, fill) {}

const Colour& Image::wrapped(int x, int y) const {
    x %= m_width;
    y %= m_height;
    if (x < 0) x += m_width;
    if (y < 0) y += m_height;
    return at(x, y);
}

Colour Image::sample(float x, float y) const {
    const float fx = x - 0.5f, fy = y - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - x0, ty = fy - y0;
    const Colour top = mix(wrapped(x0, y0), wrapped(x0 + 1, y0), tx);
    const Colour bottom = mix(wrapped(x0, y0 + 1), wrapped(x0 + 1, y0 + 1), tx);
    return mix(top, bottom, ty);
}

void Image::blend(int x, int y, const Colour& c, float coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    Colour& d = at(x, y);
    const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
    const float outA = a + d.a * (1.0f - a);
    if (outA <= 0.0f) return;
    d.r = (c.r * a + d.r * d.a * (1.0f - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1.0f - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1.0f - a)) / outA;
    d.a = outA;
}

Image Image::halved() const {
    Image out(m_width / 2, m_height / 2);
    for (int y = 0; y < out.m_height; ++y)
        for (int x = 0; x < out.m_width; ++x) {
            const Colour& a = at(2 * x, 2 * y);
            const Colour& b = at(2 * x + 1, 2 * y);
            const Colour& c = at(2 * x, 2 * y + 1);
            const Colour& d = at(2 * x + 1, 2 * y + 1);
            out.at(x, y) = {(a.r + b.r + c.r + d.r) * 0.25f, (a.g + b.g + c.g + d.g) * 0.25f,
                            (a.b + b.b + c.b + d.b) * 0.25f, (a.a + b.a + c.a + d.a) * 0.25f};
        }
    return out;
}

std::vector<uint8_t> Image::toRGB8(bool withAlpha) const {
    std::vector<uint8_t> out;
    out.reserve(m_pixels.size() * (withAlpha ? 4 : 3));
    for (const Colour& c : m_pixels) {
        out.push_back(toByte(c.r));
        out.push_back(toByte(c.g));
        out.push_back(toByte(c.b));
        if (withAlpha) out.push_back(toByte(c.a));
    }
    return out;
}

}  // namespace reef::tools
