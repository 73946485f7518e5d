// The dialogs' pictures (the intro picture, the set icons, the gull's icon):
// BMP files read through the bounded file reader and checked with the
// textures' rules before any decoder sees a byte, then held to the size a
// dialog picture needs. A FIFO is never waited on, a device never read, and a
// small file that declares a huge image is refused before it costs memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

// The largest picture a dialog shows is the intro picture, 192 x 144 pixels in
// a frame of about that size; a set icon is 32 x 28. A side of 1024 pixels
// leaves room for larger icons a person may make and still bounds what one
// picture can cost (4 MB decoded).
inline constexpr int32_t kMaxDialogPictureSide = 1024;
// An uncompressed 32-bit picture of that size, its headers and a palette.
inline constexpr size_t kMaxDialogPictureBytes = size_t{kMaxDialogPictureSide} * kMaxDialogPictureSide * 4 + 4096;

// The bytes of a picture fit to be decoded, or nothing. A missing file is
// silent (a set without an icon shows none); any other refusal prints one line
// (texts::kDialogPictureRefused: the path, then why) on standard error.
std::optional<std::vector<uint8_t>> readDialogPicture(const std::string& path);

}  // namespace reef
