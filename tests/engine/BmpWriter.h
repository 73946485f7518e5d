// Writes small Windows BMP files for the texture and height-map tests: 8-bit
// (grey palette), 24-bit and 32-bit, rows stored bottom-up and padded to 4 bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testsupport/Md3Writer.h"
#include "testsupport/TempFolder.h"

namespace reef::test {

// pixels: top row first, bytesPerPixel bytes per pixel (B, G, R[, A] or a grey level).
inline std::vector<uint8_t> makeBmp(int width, int height, int bytesPerPixel, const std::vector<uint8_t>& pixels) {
    const int rowBytes = width * bytesPerPixel;
    const int pitch = (rowBytes + 3) & ~3;
    const int paletteBytes = bytesPerPixel == 1 ? 256 * 4 : 0;
    const int dataOffset = 14 + 40 + paletteBytes;
    ByteWriter w;
    w.u8('B');                                           // magic "BM"
    w.u8('M');
    w.u32(static_cast<uint32_t>(dataOffset + pitch * height));  // file size
    w.u32(0);                                            // reserved
    w.u32(static_cast<uint32_t>(dataOffset));            // offset of the pixel rows
    w.u32(40);                                           // info header size
    w.i32(width);                                        // width
    w.i32(height);                                       // height (positive: bottom-up)
    w.u16(1);                                            // planes
    w.u16(static_cast<uint16_t>(bytesPerPixel * 8));     // bits per pixel
    w.u32(0);                                            // BI_RGB
    w.u32(static_cast<uint32_t>(pitch * height));        // image size
    w.i32(2835);                                         // x pixels per metre
    w.i32(2835);                                         // y pixels per metre
    w.u32(bytesPerPixel == 1 ? 256 : 0);                 // palette entries used
    w.u32(0);                                            // important colours
    for (int i = 0; i < paletteBytes / 4; ++i) {         // grey palette B, G, R, 0
        w.u8(static_cast<uint8_t>(i));
        w.u8(static_cast<uint8_t>(i));
        w.u8(static_cast<uint8_t>(i));
        w.u8(0);
    }
    for (int row = height - 1; row >= 0; --row) {
        const size_t start = static_cast<size_t>(row) * static_cast<size_t>(rowBytes);
        w.bytes.insert(w.bytes.end(), pixels.begin() + static_cast<std::ptrdiff_t>(start),
                       pixels.begin() + static_cast<std::ptrdiff_t>(start + static_cast<size_t>(rowBytes)));
        w.zeros(static_cast<size_t>(pitch - rowBytes));
    }
    return w.bytes;
}

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace reef::test
