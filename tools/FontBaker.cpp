#include "tools/FontBaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "ui/FontFormat.h"
#include "writers/ByteWriter.h"

namespace reef::tools {
namespace {

struct Cell {
    uint32_t code = 0;
    int advance = 0;
    int x = 0, y = 0;  // top-left of the cell in the texture
    std::vector<uint8_t> coverage;  // advance x lineHeight
};

std::vector<uint32_t> latin1Codes() {
    std::vector<uint32_t> codes;
    for (uint32_t c = 0x20; c <= 0x7E; ++c) codes.push_back(c);
    for (uint32_t c = 0xA0; c <= 0xFF; ++c) codes.push_back(c);
    return codes;
}

// Places the cells in rows (1 pixel gutter); false when they do not fit.
bool pack(std::vector<Cell>& cells, int width, int height, int lineHeight) {
    int x = 1, y = 1;
    for (Cell& c : cells) {
        if (x + c.advance + 1 > width) {
            x = 1;
            y += lineHeight + 1;
        }
        if (y + lineHeight + 1 > height) return false;
        c.x = x;
        c.y = y;
        x += c.advance + 1;
    }
    return true;
}

}  // namespace

std::optional<BakedFont> bakeFont(const std::string& ttfPath, int pixelSize) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return std::nullopt;
    FT_Face face = nullptr;
    if (FT_New_Face(library, ttfPath.c_str(), 0, &face) != 0 || FT_Set_Pixel_Sizes(face, 0, pixelSize) != 0) {
        if (face) FT_Done_Face(face);
        FT_Done_FreeType(library);
        return std::nullopt;
    }
    const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    const int lineHeight = ascent + descent;

    std::vector<Cell> cells;
    for (uint32_t code : latin1Codes()) {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        Cell cell;
        cell.code = code;
        cell.advance = std::max(1, static_cast<int>((g->advance.x + 32) >> 6));
        cell.coverage.assign(static_cast<size_t>(cell.advance) * lineHeight, 0);
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const int cx = g->bitmap_left + static_cast<int>(col);
                const int cy = ascent - g->bitmap_top + static_cast<int>(row);
                if (cx < 0 || cy < 0 || cx >= cell.advance || cy >= lineHeight) continue;
                const uint8_t v = bm.buffer[static_cast<size_t>(row) * std::abs(bm.pitch) + col];
                uint8_t& dst = cell.coverage[static_cast<size_t>(cy) * cell.advance + cx];
                dst = std::max(dst, v);
            }
        cells.push_back(std::move(cell));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (cells.empty()) return std::nullopt;

    // The smallest power-of-two texture (width first) that holds every cell.
    int width = 64, height = 64;
    while (!pack(cells, width, height, lineHeight)) {
        if (width <= height) width *= 2;
        else height *= 2;
        if (width > 1024 || height > 1024) return std::nullopt;
    }

    std::vector<uint8_t> pixels(tqf::pixelBytes(static_cast<size_t>(width), static_cast<size_t>(height)), 0);
    for (size_t i = 0; i < pixels.size(); i += 2) pixels[i] = 255;  // white; alpha carries the shape
    for (const Cell& c : cells)
        for (int y = 0; y < lineHeight; ++y)
            for (int x = 0; x < c.advance; ++x)
                pixels[(static_cast<size_t>(c.y + y) * width + (c.x + x)) * 2 + 1] =
                    c.coverage[static_cast<size_t>(y) * c.advance + x];

    ByteWriter w;
    w.append("TQF1", 4);  // preamble: not interpreted by the reader
    w.i32(lineHeight);
    std::vector<uint8_t> header(tqf::kHeaderSize, 0);
    w.append(header.data(), tqf::kHeaderWidthOffset);
    w.i32(width);
    w.i32(height);
    w.i32(0);  // no skipped 16-bit values
    w.i32(static_cast<int32_t>(cells.size()));
    for (const Cell& c : cells) {
        w.u32(c.code);
        w.i32(c.advance);
        w.i32(lineHeight);
        w.f32(static_cast<float>(c.x) / width);
        w.f32(static_cast<float>(c.x + c.advance) / width);
        w.f32(static_cast<float>(c.y + lineHeight) / height);
        w.f32(static_cast<float>(c.y) / height);
    }
    w.append(pixels.data(), pixels.size());

    BakedFont font;
    font.bytes = w.take();
    font.textureWidth = width;
    font.textureHeight = height;
    font.lineHeight = lineHeight;
    font.glyphCount = static_cast<int>(cells.size());
    return font;
}

}  // namespace reef::tools
