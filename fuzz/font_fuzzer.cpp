// The ".tqf" font: header, glyph table and pixel block checks.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCheck.h"
#include "ui/FontFormat.h"
#include "ui/ScreenText.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto glyphs = ScreenText::readFontGlyphs(data, size);
    if (!glyphs) return 0;
    REEF_FUZZ_REQUIRE(glyphs->size() <= static_cast<size_t>(tqf::kMaxGlyphCount));
    for (const ScreenText::Glyph& glyph : *glyphs) {
        REEF_FUZZ_REQUIRE(glyph.width >= 0 && glyph.width <= tqf::kMaxTextureSide);
        REEF_FUZZ_REQUIRE(glyph.height >= 0 && glyph.height <= tqf::kMaxTextureSide);
    }
    return 0;
}
