// Writes a Windows icon file (.ico) holding one 32-bit picture, the kind the
// resource compiler turns into the programs' icon resource.
//
// Layout written (little-endian):
//   off  size  field
//     0     6  ICONDIR: reserved 0, type 1 (icon), image count 1
//     6    16  ICONDIRENTRY: width, height (one byte each, 0 meaning 256), colour count 0,
//              reserved 0, planes 1, bit count 32, image bytes, image offset (22)
//    22    40  BITMAPINFOHEADER: size 40, width, twice the height (colour rows then mask rows),
//              planes 1, bit count 32, compression 0 (BI_RGB), image size, then four zeros
//    62   4wh  colour rows: blue, green, red, alpha a pixel, bottom row first
//     …  m*h  AND mask rows: one bit a pixel (set where the picture is transparent),
//              bottom row first, each row padded to 4 bytes (m bytes)
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/BmpFormat.h"
#include "tools/Image.h"

namespace reef::tools::ico {

inline constexpr uint16_t kTypeIcon = 1;
inline constexpr size_t kDirectorySize = 6;
inline constexpr size_t kEntrySize = 16;
inline constexpr size_t kInfoHeaderSize = reef::bmp::kInfoSize;  // the BMP info header
inline constexpr uint16_t kBitCount = 32;
// The directory holds a side in one byte, 0 standing for the largest.
inline constexpr int kMaxSide = 256;
// Pixels with less alpha than this are transparent in the AND mask.
inline constexpr float kMaskAlpha = 0.5f;

// The bytes of each AND mask row (one bit a pixel, padded to 4 bytes).
size_t maskRowBytes(int width);
// The icon file of the picture; nothing when a side is 0 or larger than kMaxSide.
std::optional<std::vector<uint8_t>> encode(const Image& image);

}  // namespace reef::tools::ico
