// Checks a BMP file's bytes against engine/BmpFormat.h before they are handed
// to the image decoder, which trusts the header: it allocates the surface the
// header describes before reading a row, keeps a row's length in 16 bits and
// reads as many palette entries as the header names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef {

// True when the header is complete and consistent: a supported depth and
// compression, a size within the limits, no more palette entries than the
// depth allows, and every pixel row inside the file. why, when given, names
// the first fault of a refused file.
bool checkBmp(const uint8_t* data, size_t size, const char** why = nullptr);

}  // namespace reef
