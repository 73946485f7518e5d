// What the engine needs from the platform, as one small table that the
// application installs at start-up and tests replace (the engine itself never
// includes a window-system or SDL header).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

// A decoded BMP exactly as the decoder delivers it: rows top first, each row
// `pitch` bytes long (padded), pixels blue-green-red(-alpha) or palette indices.
struct DecodedImage {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    int pitch = 0;
    std::vector<uint8_t> pixels;  // height * pitch bytes
    // Colours of a 1-byte image, 0x00RRGGBB per palette index.
    std::vector<uint32_t> palette;
    // Where the channels lie in a 2- or 4-byte pixel (read little-endian).
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
};

class EngineImports {
public:
    virtual ~EngineImports() = default;
    // Decodes a BMP file; nothing when the file is missing or not a BMP the decoder accepts.
    virtual std::optional<DecodedImage> decodeBMP(const std::string& path) = 0;
    // An OpenGL extension entry point by name, or nullptr.
    virtual void* glProcAddress(const char* name) = 0;
};

// The installed table; nullptr until the application (or a test) installs one.
// NOTE: process-wide, like the clock's tick source and the random generator:
// these and the multitexture entry points (Texture.cpp) are the engine's only
// globals. Both stand for something the process has exactly one of (the
// platform's decoder, the one GL context every texture binds in), and the
// loaders that use them are called deep inside scene assembly by objects that
// know nothing of the platform, so threading them through every call would
// reach every scene object for no second value ever to pass.
EngineImports* engineImports();
void setEngineImports(EngineImports* imports);

}  // namespace reef
