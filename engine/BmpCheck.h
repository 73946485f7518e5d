// Checks a BMP file's bytes against engine/BmpFormat.h before they are handed
// to the image decoder, which trusts the header: it allocates the surface the
// header describes before reading a row, keeps a row's length in 16 bits and
// reads as many palette entries as the header names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef {

// The size of a checked image in pixels (rows counted whichever way they are stored).
struct BmpSize {
    int32_t width = 0;
    int32_t height = 0;
};

// True when the header is complete and consistent: a supported depth and
// compression, a size within the limits, no more palette entries than the
// depth allows, and every pixel row inside the file. why, when given, names
// the first fault of a refused file; size, when given, receives the image's.
bool checkBmp(const uint8_t* data, size_t size, const char** why = nullptr, BmpSize* imageSize = nullptr);

}  // namespace reef
