#include "writers/BmpWriter.h"

#include <cstdlib>

namespace reef {
namespace {

// What every picture of the generator declares; no reader acts on it.
constexpr int32_t kPixelsPerMetre = 2835;

}  // namespace

size_t bmpRowPitch(int32_t width, int bitCount) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bitCount) / 8 + 3) & ~size_t{3};
}

void writeBmpHeaders(ByteWriter& w, const BmpHeader& h) {
    const size_t imageBytes =
        h.imageBytes ? h.imageBytes : bmpRowPitch(h.width, h.bitCount) * static_cast<size_t>(std::abs(h.height));
    const size_t pixelsAt = bmp::kFileHeaderSize + bmp::kInfoSize + h.paletteEntries * bmp::kPaletteEntrySize;
    w.u8('B');
    w.u8('M');
    w.u32(static_cast<uint32_t>(pixelsAt + imageBytes));  // file size
    w.u32(0);                                             // reserved
    w.u32(static_cast<uint32_t>(pixelsAt));
    w.u32(bmp::kInfoSize);
    w.i32(h.width);
    w.i32(h.height);
    w.u16(1);  // planes
    w.u16(h.bitCount);
    w.u32(h.compression);
    w.u32(static_cast<uint32_t>(imageBytes));
    w.i32(kPixelsPerMetre);
    w.i32(kPixelsPerMetre);
    w.u32(h.paletteEntries);  // colours used
    w.u32(0);                 // important colours
}

std::vector<uint8_t> writeBmp(int width, int height, int bytesPerPixel, const std::vector<uint8_t>& pixels) {
    const auto bitCount = static_cast<uint16_t>(bytesPerPixel * 8);
    const uint32_t paletteEntries = bytesPerPixel == 1 ? 256 : 0;
    ByteWriter w;
    writeBmpHeaders(w, {width, height, bitCount, bmp::kCompressionNone, paletteEntries, 0});
    for (uint32_t i = 0; i < paletteEntries; ++i) {  // a grey ramp: index i is level i
        const auto level = static_cast<uint8_t>(i);
        w.u8(level);
        w.u8(level);
        w.u8(level);
        w.u8(0);
    }
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
    for (int row = height - 1; row >= 0; --row) {
        w.append(pixels.data() + static_cast<size_t>(row) * rowBytes, rowBytes);
        w.zeros(bmpRowPitch(width, bitCount) - rowBytes);
    }
    return w.take();
}

}  // namespace reef
