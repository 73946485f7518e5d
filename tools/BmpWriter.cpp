#include "tools/BmpWriter.h"

#include "tools/ByteWriter.h"

namespace reef::tools::bmp {
namespace {

// Writes both headers; the pixel data follows at the offset they name.
void writeHeaders(ByteWriter& w, int width, int height, int bitCount, size_t paletteBytes) {
    const size_t rowBytes = (static_cast<size_t>(width) * bitCount / 8 + 3) & ~size_t{3};
    const size_t imageBytes = rowBytes * height;
    const size_t dataOffset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;
    w.u8('B');
    w.u8('M');
    w.u32(static_cast<uint32_t>(dataOffset + imageBytes));
    w.u32(0);
    w.u32(static_cast<uint32_t>(dataOffset));
    w.u32(kInfoHeaderSize);
    w.i32(width);
    w.i32(height);
    w.u16(1);
    w.u16(static_cast<uint16_t>(bitCount));
    w.u32(0);
    w.u32(static_cast<uint32_t>(imageBytes));
    w.i32(2835);
    w.i32(2835);
    w.u32(paletteBytes ? kPaletteEntries : 0);
    w.u32(0);
}

void padRow(ByteWriter& w, size_t written) {
    while (written % 4 != 0) {
        w.u8(0);
        ++written;
    }
}

std::vector<uint8_t> encodeDirect(const Image& image, bool alpha) {
    ByteWriter w;
    const int bpp = alpha ? 4 : 3;
    writeHeaders(w, image.width(), image.height(), bpp * 8, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour& c = image.at(x, y);
            w.u8(toByte(c.b));
            w.u8(toByte(c.g));
            w.u8(toByte(c.r));
            if (alpha) w.u8(toByte(c.a));
        }
        padRow(w, static_cast<size_t>(image.width()) * bpp);
    }
    return w.take();
}

}  // namespace

std::vector<uint8_t> encode24(const Image& image) { return encodeDirect(image, false); }

std::vector<uint8_t> encode32(const Image& image) { return encodeDirect(image, true); }

std::vector<uint8_t> encodeGrey8(int width, int height, const std::vector<uint8_t>& indices) {
    ByteWriter w;
    writeHeaders(w, width, height, 8, kPaletteEntries * 4);
    for (size_t i = 0; i < kPaletteEntries; ++i) {
        const auto g = static_cast<uint8_t>(i);
        w.u8(g);
        w.u8(g);
        w.u8(g);
        w.u8(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        w.bytes(indices.data() + static_cast<size_t>(y) * width, static_cast<size_t>(width));
        padRow(w, static_cast<size_t>(width));
    }
    return w.take();
}

}  // namespace reef::tools::bmp
