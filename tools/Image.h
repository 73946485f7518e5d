// A floating-point RGBA picture (channels 0..1, rows top first) that the texture
// painters draw into before it is quantised into a BMP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reef::tools {

struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

Colour mix(const Colour& a, const Colour& b, float t);
Colour scaled(const Colour& c, float s);  // rgb only; alpha kept

class Image {
public:
    Image() = default;
    Image(int width, int height, Colour fill = {});

    int width() const { return m_width; }
    int height() const { return m_height; }
    Colour& at(int x, int y) { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    const Colour& at(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    // Coordinates wrap around, so tileable pictures can be read across their edges.
    const Colour& wrapped(int x, int y) const;
    // Bilinear read at pixel coordinates (pixel centres at +0.5), wrapping.
    Colour sample(float x, float y) const;
    // Alpha-blends c over the pixel (coverage 0..1 scales c's alpha); ignores pixels outside.
    void blend(int x, int y, const Colour& c, float coverage = 1.0f);
    // Box-filtered copy at half size in both directions (width and height must be even).
    Image halved() const;

    // 8-bit channels, rows top first: 3 bytes (r, g, b) or 4 bytes (r, g, b, a) a pixel.
    std::vector<uint8_t> toRGB8(bool withAlpha) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<Colour> m_pixels;
};

// Rounds a 0..1 channel to 0..255, clamping out-of-range values.
uint8_t toByte(float v);

}  // namespace reef::tools
