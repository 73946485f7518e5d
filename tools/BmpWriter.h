// Writes Windows BMP files of the kinds the reef reads through the SDL decoder:
// 24-bit BGR, 32-bit BGRA (uncompressed BI_RGB, alpha in the fourth byte) and
// 8-bit palettised with a grey palette (the height map).
//
// Layout written (little-endian, rows bottom-up, each row padded to 4 bytes):
//   off  size  field
//     0     2  "BM"
//     2     4  file size
//     6     4  reserved (0)
//    10     4  pixel data offset
//    14    40  BITMAPINFOHEADER: size 40, width, height (> 0), planes 1, bit count,
//              compression 0 (BI_RGB), image size, 2835 px/m twice, colours used, important 0
//    54  4*n   palette (8-bit only): n = 256 entries of blue, green, red, 0
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/Image.h"

namespace reef::tools::bmp {

inline constexpr size_t kFileHeaderSize = 14;
inline constexpr size_t kInfoHeaderSize = 40;
inline constexpr size_t kPaletteEntries = 256;

// 24-bit picture (alpha ignored).
std::vector<uint8_t> encode24(const Image& image);
// 32-bit picture with alpha.
std::vector<uint8_t> encode32(const Image& image);
// 8-bit palette indices (rows top first, width*height bytes) with a grey ramp palette.
std::vector<uint8_t> encodeGrey8(int width, int height, const std::vector<uint8_t>& indices);

}  // namespace reef::tools::bmp
