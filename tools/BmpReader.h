// Reads back the direct-colour BMP files the generator writes (24-bit BGR and
// 32-bit BGRA, uncompressed; layout in engine/BmpFormat.h), for the host tools
// that turn generated pictures into other formats.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/Image.h"

namespace reef::tools::bmp {

// Sides larger than this are taken for a damaged header.
inline constexpr int kMaxReadSide = 16384;

// The picture (alpha 1 for 24-bit files); nothing when the file is not such a
// BMP or is shorter than its headers say.
std::optional<Image> decode(const std::vector<uint8_t>& file);

}  // namespace reef::tools::bmp
