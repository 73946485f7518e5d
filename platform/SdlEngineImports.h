// The engine's platform imports on SDL 1.2 and GLX: BMP decoding through
// SDL_LoadBMP_RW and extension entry points through glXGetProcAddressARB.
#pragma once

#include "engine/EngineImports.h"

namespace reef {

class SdlEngineImports : public EngineImports {
public:
    // Decodes with SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1) and copies the
    // surface rows (pitch included) into the result.
    std::optional<DecodedImage> decodeBMP(const std::string& path) override;
    void* glProcAddress(const char* name) override;
};

}  // namespace reef
