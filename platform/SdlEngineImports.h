// The engine's platform imports on SDL 1.2 and GLX: BMP decoding through
// SDL_LoadBMP_RW and extension entry points through glXGetProcAddressARB
// (wglGetProcAddress on Windows).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/EngineImports.h"

namespace reef {

class SdlEngineImports : public EngineImports {
public:
    // Reads the file through the engine's file reader (regular files only, at
    // most bmp::kMaxFileBytes, larger ones refused unread) and decodes it as
    // decodeBMPBytes does.
    std::optional<DecodedImage> decodeBMP(const std::string& path) override;
    // Checks the header (engine/BmpCheck.h), decodes with SDL_LoadBMP_RW and
    // copies the surface rows (pitch included), palette and masks into the result.
    static std::optional<DecodedImage> decodeBMPBytes(const uint8_t* data, size_t size);
    void* glProcAddress(const char* name) override;
};

}  // namespace reef
