// Writes an 8-bit RGB or RGBA PNG without any compression library: the image
// data goes into stored (uncompressed) deflate blocks. Used for screenshots and
// the contact sheet, where a plain, dependency-free file is all that is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reef {

// channels is 3 (RGB) or 4 (RGBA); rows are given top row first unless
// bottomUp is set (as glReadPixels delivers them).
bool writePNG(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
              bool bottomUp);
// The same, into memory.
std::vector<uint8_t> encodePNG(int width, int height, int channels, const uint8_t* pixels, bool bottomUp);

}  // namespace reef
