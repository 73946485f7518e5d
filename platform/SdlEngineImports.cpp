#include "platform/SdlEngineImports.h"

#ifdef _WIN32
#include <windows.h>
#include <GL/gl.h>
#else
#include <GL/glx.h>
#endif
#include <SDL/SDL.h>

#include <cstring>

#include "engine/BmpCheck.h"
#include "engine/BmpFormat.h"
#include "engine/FilePath.h"

namespace reef {

namespace {

// The palette and channel masks the engine needs to convert what it cannot upload as is.
void copyFormat(const SDL_PixelFormat& format, DecodedImage& image) {
    if (format.palette) {
        for (int i = 0; i < format.palette->ncolors; ++i) {
            const SDL_Color& c = format.palette->colors[i];
            image.palette.push_back((static_cast<uint32_t>(c.r) << 16) | (static_cast<uint32_t>(c.g) << 8) | c.b);
        }
    }
    image.redMask = format.Rmask;
    image.greenMask = format.Gmask;
    image.blueMask = format.Bmask;
    image.alphaMask = format.Amask;
}

}  // namespace

std::optional<DecodedImage> SdlEngineImports::decodeBMP(const std::string& path) {
    // NOTE: never SDL_RWFromFile: it would wait on a FIFO and read a device without end.
    const std::optional<std::vector<uint8_t>> bytes = readFileBytes(path, bmp::kMaxFileBytes);
    if (!bytes || bytes->empty()) return std::nullopt;
    return decodeBMPBytes(bytes->data(), bytes->size());
}

std::optional<DecodedImage> SdlEngineImports::decodeBMPBytes(const uint8_t* data, size_t size) {
    // The decoder trusts the header (surface size, palette length, row length
    // kept in 16 bits), so only checked bytes reach it.
    if (!checkBmp(data, size)) return std::nullopt;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
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
        if (surface->format) copyFormat(*surface->format, image);
    }
    SDL_FreeSurface(surface);
    if (!sane) return std::nullopt;
    return image;
}

void* SdlEngineImports::glProcAddress(const char* name) {
#ifdef _WIN32
    // Only for the current context; opengl32 itself exports no more than OpenGL 1.1.
    return reinterpret_cast<void*>(wglGetProcAddress(name));
#else
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
#endif
}

}  // namespace reef
