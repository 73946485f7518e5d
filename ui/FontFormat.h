// The ".tqf" bitmap font: glyph metrics and one luminance-alpha texture, in one
// little-endian file. Declared once here; the font loader (ui/ScreenText) and the
// data generator that writes "font.tqf" both include it.
//
// File layout (offsets in bytes from the start of the file):
//
//   | Offset              | Size      | Content                                               |
//   |---------------------|-----------|-------------------------------------------------------|
//   | 0                   | 8         | two 32-bit values, not interpreted                     |
//   | 8                   | 544       | header block (see below)                               |
//   | 552                 | 2 * N     | N 16-bit values, skipped                               |
//   | 552 + 2N            | 4         | glyph count G (int32)                                  |
//   | 556 + 2N            | 28 * G    | glyph records (see below)                              |
//   | 556 + 2N + 28G      | W * H * 2 | texture pixels, (luminance, alpha) byte pairs, rows as |
//   |                     |           | uploaded to GL (first row first)                       |
//
// Header block (offsets from the start of the block, i.e. file offset - 8); only
// its last three fields are read, the rest is padding the writer fills with zeros:
//
//   | Block offset | Size | Content                          |
//   |--------------|------|----------------------------------|
//   | 0            | 532  | not interpreted                  |
//   | 532          | 4    | texture width W in pixels (int32)  |
//   | 536          | 4    | texture height H in pixels (int32) |
//   | 540          | 4    | count N of skipped 16-bit values   |
//
// Glyph record (28 bytes):
//
//   | Offset | Size | Content                                                  |
//   |--------|------|----------------------------------------------------------|
//   | 0      | 4    | character code: UTF-16 unit in the low 16 bits (uint32)   |
//   | 4      | 4    | width in pixels (int32)                                   |
//   | 8      | 4    | height in pixels (int32)                                  |
//   | 12     | 4    | left u (float)                                            |
//   | 16     | 4    | right u (float)                                           |
//   | 20     | 4    | v at the glyph's bottom edge (float)                      |
//   | 24     | 4    | v at the glyph's top edge (float)                         |
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef::tqf {

// File sections.
inline constexpr size_t kPreambleOffset = 0;
inline constexpr size_t kPreambleSize = 8;  // two uninterpreted 32-bit values
inline constexpr size_t kHeaderOffset = 8;
inline constexpr size_t kHeaderSize = 544;
inline constexpr size_t kSkipTableOffset = kHeaderOffset + kHeaderSize;  // 552

// Fields inside the header block (block-relative offsets).
inline constexpr size_t kHeaderWidthOffset = 532;   // int32, texture width W (pixels)
inline constexpr size_t kHeaderHeightOffset = 536;  // int32, texture height H (pixels)
inline constexpr size_t kHeaderSkipCountOffset = 540;  // int32, count N of skipped uint16 values

// The same fields as absolute file offsets.
inline constexpr size_t kWidthOffset = kHeaderOffset + kHeaderWidthOffset;          // 540
inline constexpr size_t kHeightOffset = kHeaderOffset + kHeaderHeightOffset;        // 544
inline constexpr size_t kSkipCountOffset = kHeaderOffset + kHeaderSkipCountOffset;  // 548

inline constexpr size_t kSkipEntrySize = 2;   // bytes per skipped value
inline constexpr size_t kGlyphCountSize = 4;  // int32 G after the skipped values

// Glyph record.
inline constexpr size_t kGlyphRecordSize = 28;
inline constexpr size_t kGlyphCodeOffset = 0;     // uint32, UTF-16 unit in the low 16 bits
inline constexpr size_t kGlyphWidthOffset = 4;    // int32, pixels
inline constexpr size_t kGlyphHeightOffset = 8;   // int32, pixels
inline constexpr size_t kGlyphLeftUOffset = 12;   // float
inline constexpr size_t kGlyphRightUOffset = 16;  // float
inline constexpr size_t kGlyphBottomVOffset = 20; // float
inline constexpr size_t kGlyphTopVOffset = 24;    // float

// Texture pixels: luminance then alpha, one byte each.
inline constexpr size_t kBytesPerPixel = 2;

// Sanity limits the loader enforces before trusting a count from the file.
inline constexpr int32_t kMaxTextureSide = 8192;     // pixels
inline constexpr int32_t kMaxGlyphCount = 65536;     // one per UTF-16 unit at most

// Where the glyph count sits for a given N.
constexpr size_t glyphCountOffset(size_t skipCount) {
    return kSkipTableOffset + kSkipEntrySize * skipCount;
}
// Where the first glyph record sits for a given N.
constexpr size_t glyphRecordsOffset(size_t skipCount) {
    return glyphCountOffset(skipCount) + kGlyphCountSize;
}
// Where the pixels start for a given N and G.
constexpr size_t pixelsOffset(size_t skipCount, size_t glyphCount) {
    return glyphRecordsOffset(skipCount) + kGlyphRecordSize * glyphCount;
}
// Bytes of pixel data for a W x H texture.
constexpr size_t pixelBytes(size_t width, size_t height) {
    return width * height * kBytesPerPixel;
}

static_assert(kSkipTableOffset == 552);
static_assert(kWidthOffset == 540 && kHeightOffset == 544 && kSkipCountOffset == 548);
static_assert(glyphRecordsOffset(0) == 556);
static_assert(kGlyphTopVOffset + 4 == kGlyphRecordSize);

}  // namespace reef::tqf
