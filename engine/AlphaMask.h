// The alpha channel of a picture kept in memory, read the way OpenGL's linear
// filter with repeat wrapping reads a texture: for geometry that follows what a
// texture shows (vertex alpha, outlines of visible texels, opaque parts).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineImports.h"

namespace reef {

class AlphaMask {
public:
    // Decodes a BMP through the installed EngineImports; false (and an empty mask)
    // when it cannot be decoded.
    bool load(const std::string& path);
    // Takes the alpha of a blue-green-red-alpha image (4 bytes a texel); an image of
    // another depth is fully opaque.
    void assign(const DecodedImage& image);
    void clear();

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_alpha.empty(); }
    // Texel (x, y), row 0 at the top (texture coordinate t = 0); coordinates wrap.
    uint8_t texel(int x, int y) const;
    // The alpha (0..1) a linearly filtered, repeating texture gives at (s, t):
    // texel centres lie at (i + 0.5) / size. 0 for an empty mask.
    float sample(float s, float t) const;
    // Whether a linear filter can give a non-zero alpha anywhere in texels
    // [x0, x1) x [y0, y1): some texel there or next to it (wrapping) is not 0.
    bool anyVisibleNear(int x0, int y0, int x1, int y1) const;
    // Whether every texel of row y is fully opaque (255).
    bool rowOpaque(int y) const;

private:
    int m_width = 0, m_height = 0;
    std::vector<uint8_t> m_alpha;  // rows top first
};

}  // namespace reef
