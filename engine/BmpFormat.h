// The Windows BMP layout (little-endian) as far as the texture and height-map
// loaders rely on it, and the limits a file must keep before its bytes reach
// the image decoder (checked in engine/BmpCheck.cpp).
//
// File header (14 bytes):
//   off  size  field
//     0     2  "BM"
//    10     4  offset of the pixel rows from the start of the file
// Info header (at 14; its first field is its own size):
//    14     4  header size: 12 (OS/2: 16-bit width and height, then planes and
//              bit count) or 40 and more (32-bit fields below)
//    18     4  width                     (OS/2: 2 bytes at 18)
//    22     4  height; negative = rows stored top first (OS/2: 2 bytes at 20)
//    28     2  bits per pixel: 1, 4, 8 (palette), 16, 24 or 32 (OS/2: at 24)
//    30     4  compression: 0 = none, 3 = bit fields (the decoder reads no other)
//    46     4  colours used (palette entries; 0 = 2^bits)
// The palette follows the info header, 4 bytes an entry (blue, green, red, 0);
// rows are padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef::bmp {

inline constexpr size_t kFileHeaderSize = 14;
inline constexpr size_t kPixelOffsetOffset = 10;
inline constexpr size_t kInfoSizeOffset = 14;

inline constexpr uint32_t kOs2InfoSize = 12;
inline constexpr size_t kOs2WidthOffset = 18;   // uint16
inline constexpr size_t kOs2HeightOffset = 20;  // uint16
inline constexpr size_t kOs2BitsOffset = 24;    // uint16

inline constexpr uint32_t kInfoSize = 40;       // the smallest Windows info header
inline constexpr size_t kWidthOffset = 18;      // int32
inline constexpr size_t kHeightOffset = 22;     // int32
inline constexpr size_t kBitsOffset = 28;       // uint16
inline constexpr size_t kCompressionOffset = 30;
inline constexpr size_t kColoursUsedOffset = 46;

inline constexpr size_t kPaletteEntrySize = 4;

inline constexpr uint32_t kCompressionNone = 0;
inline constexpr uint32_t kCompressionBitFields = 3;

// Larger images are no texture this saver draws, and the decoder keeps a row's
// length in 16 bits: 8192 pixels of 4 bytes stay well inside it.
inline constexpr int32_t kMaxDimension = 8192;
// Larger files are not read.
inline constexpr size_t kMaxFileBytes = 64u * 1024u * 1024u;

}  // namespace reef::bmp
