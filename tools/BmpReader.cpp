#include "tools/BmpReader.h"

#include <cstdlib>

#include "engine/BmpFormat.h"

namespace reef::tools::bmp {
namespace {

using reef::bmp::kFileHeaderSize;
using reef::bmp::kInfoSize;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

std::optional<Image> decode(const std::vector<uint8_t>& file) {
    if (file.size() < kFileHeaderSize + kInfoSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const uint8_t* info = file.data() + kFileHeaderSize;
    const uint32_t dataOffset = le32(file.data() + reef::bmp::kPixelOffsetOffset);
    const uint32_t infoSize = le32(info);
    const auto width = static_cast<int32_t>(le32(info + 4));
    const auto height = static_cast<int32_t>(le32(info + 8));
    const uint16_t planes = le16(info + 12);
    const uint16_t bitCount = le16(info + 14);
    const uint32_t compression = le32(info + 16);
    if (infoSize < kInfoSize || planes != 1 || (bitCount != 24 && bitCount != 32) || compression != 0)
        return std::nullopt;
    // A negative height means rows top first.
    if (width < 1 || width > kMaxReadSide || height == 0 || std::abs(height) > kMaxReadSide) return std::nullopt;
    const int rows = std::abs(height);
    const size_t bytesPerPixel = bitCount / 8;
    const size_t pitch = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~size_t{3};
    if (dataOffset < kFileHeaderSize + infoSize || dataOffset > file.size() || file.size() - dataOffset < pitch * rows)
        return std::nullopt;

    Image image(width, rows);
    for (int y = 0; y < rows; ++y) {
        const int stored = height > 0 ? rows - 1 - y : y;
        const uint8_t* row = file.data() + dataOffset + pitch * stored;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row + x * bytesPerPixel;
            image.at(x, y) = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, bytesPerPixel == 4 ? p[3] / 255.0f : 1.0f};
        }
    }
    return image;
}

}  // namespace reef::tools::bmp
