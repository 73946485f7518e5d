// The engine's platform imports on SDL 1.2 and GLX: BMP decoding through
// SDL_LoadBMP_RW and extension entry points through glXGetProcAddressARB.
#pragma once

#include "engine/EngineImports.h"

namespace reef {

class SdlEngineImports : public EngineImports {
public:
    // No bitmap the saver draws comes near this; a larger file is refused unread.
    static constexpr size_t kMaxBmpFileBytes = size_t{128} << 20;

    // Reads the file through the engine's file reader (regular files only, at
    // most kMaxBmpFileBytes), decodes it with SDL_LoadBMP_RW from memory and
    // copies the surface rows (pitch included) into the result.
    std::optional<DecodedImage> decodeBMP(const std::string& path) override;
    void* glProcAddress(const char* name) override;
};

}  // namespace reef
