// The generator's pictures as BMP files (written by writers/BmpWriter.h): 24-bit
// BGR, or 32-bit BGRA with alpha in the fourth byte, as the SDL decoder reads them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/Image.h"

namespace reef::tools::bmp {

// 24-bit picture (alpha ignored).
std::vector<uint8_t> encode24(const Image& image);
// 32-bit picture with alpha.
std::vector<uint8_t> encode32(const Image& image);

}  // namespace reef::tools::bmp
