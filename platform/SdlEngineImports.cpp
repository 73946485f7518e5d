#include "platform/SdlEngineImports.h"

#include <GL/glx.h>
#include <SDL/SDL.h>

#include <cstring>

#include "engine/FilePath.h"

namespace reef {

std::optional<DecodedImage> SdlEngineImports::decodeBMP(const std::string& path) {
    // NOTE: never SDL_RWFromFile: it would wait on a FIFO and read a device without end.
    const std::optional<std::vector<uint8_t>> bytes = readFileBytes(path, kMaxBmpFileBytes);
    if (!bytes || bytes->empty()) return std::nullopt;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
    if (!rw) return std::nullopt;
    SDL_Surface* surface = SDL_LoadBMP_RW(rw, 1);
    if (!surface) return std::nullopt;

    DecodedImage image;
    image.width = surface->w;
    image.height = surface->h;
    image.bytesPerPixel = surface->format ? surface->format->BytesPerPixel : 0;
    image.pitch = surface->pitch;
    const bool sane = image.width > 0 && image.height > 0 && image.pitch > 0 && surface->pixels;
    if (sane) {
        const size_t bytes = static_cast<size_t>(image.pitch) * static_cast<size_t>(image.height);
        image.pixels.resize(bytes);
        if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
        std::memcpy(image.pixels.data(), surface->pixels, bytes);
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    }
    SDL_FreeSurface(surface);
    if (!sane) return std::nullopt;
    return image;
}

void* SdlEngineImports::glProcAddress(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace reef
