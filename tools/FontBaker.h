// Rasterises the Latin-1 glyphs of a TrueType font with FreeType into one
// luminance-alpha texture and writes the ".tqf" layout of ui/FontFormat.h.
// Every glyph cell is one line high (ascent + descent), so lines of glyphs
// drawn top-aligned share one baseline.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef::tools {

struct BakedFont {
    std::vector<uint8_t> bytes;  // the ".tqf" file
    int textureWidth = 0;
    int textureHeight = 0;
    int lineHeight = 0;  // pixels
    int glyphCount = 0;
};

// pixelSize: the nominal em size in pixels. Nothing when the font cannot be read
// or the glyphs do not fit a 1024 x 1024 texture.
std::optional<BakedFont> bakeFont(const std::string& ttfPath, int pixelSize);

}  // namespace reef::tools
