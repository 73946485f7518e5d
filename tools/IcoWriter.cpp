#include "tools/IcoWriter.h"

#include "writers/ByteWriter.h"

namespace reef::tools::ico {
namespace {

uint8_t sideByte(int side) { return side == kMaxSide ? 0 : static_cast<uint8_t>(side); }

}  // namespace

size_t maskRowBytes(int width) { return ((static_cast<size_t>(width) + 31) / 32) * 4; }

std::optional<std::vector<uint8_t>> encode(const Image& image) {
    const int width = image.width(), height = image.height();
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    const size_t colourBytes = static_cast<size_t>(width) * height * (kBitCount / 8);
    const size_t maskBytes = maskRowBytes(width) * height;
    const size_t imageBytes = kInfoHeaderSize + colourBytes + maskBytes;

    ByteWriter w;
    w.u16(0);
    w.u16(kTypeIcon);
    w.u16(1);

    w.u8(sideByte(width));
    w.u8(sideByte(height));
    w.u8(0);
    w.u8(0);
    w.u16(1);
    w.u16(kBitCount);
    w.u32(static_cast<uint32_t>(imageBytes));
    w.u32(static_cast<uint32_t>(kDirectorySize + kEntrySize));

    w.u32(kInfoHeaderSize);
    w.i32(width);
    w.i32(height * 2);  // the colour rows and the mask rows, one after the other
    w.u16(1);
    w.u16(kBitCount);
    w.u32(0);
    w.u32(static_cast<uint32_t>(colourBytes + maskBytes));
    w.zeros(16);

    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Colour& c = image.at(x, y);
            w.u8(toByte(c.b));
            w.u8(toByte(c.g));
            w.u8(toByte(c.r));
            w.u8(toByte(c.a));
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRowBytes(width), 0);
        for (int x = 0; x < width; ++x)
            if (image.at(x, y).a < kMaskAlpha) row[x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
        w.append(row.data(), row.size());
    }
    return w.take();
}

}  // namespace reef::tools::ico
