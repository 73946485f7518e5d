#include "engine/TrueColour.h"

#include <bit>
#include <cstdint>

#include "engine/FilePath.h"

namespace reef {

namespace {

constexpr uint32_t kBgrRed = 0x00ff0000;
constexpr uint32_t kBgrGreen = 0x0000ff00;
constexpr uint32_t kBgrBlue = 0x000000ff;

bool rowsInside(const DecodedImage& image) {
    if (image.width <= 0 || image.height <= 0 || image.bytesPerPixel <= 0 || image.pitch <= 0) return false;
    const uint64_t rowBytes = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.bytesPerPixel);
    return static_cast<uint64_t>(image.pitch) >= rowBytes &&
           image.pixels.size() / static_cast<uint64_t>(image.pitch) >= static_cast<uint64_t>(image.height);
}

// One channel of a masked pixel, widened to 8 bits (a 5-bit 31 becomes 255).
uint8_t channel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::bit_width(mask >> shift);
    const uint32_t value = (pixel & mask) >> shift;
    const uint32_t top = (width >= 32) ? 0xffffffffu : ((1u << width) - 1u);
    return static_cast<uint8_t>((static_cast<uint64_t>(value) * 255u + top / 2) / top);
}

uint32_t pixelAt(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

}  // namespace

bool uploadableAsIs(const DecodedImage& image) {
    if (image.bytesPerPixel == 3) return true;
    if (image.bytesPerPixel != 4) return false;
    // No masks at all: the decoder's usual byte order is assumed.
    const uint32_t masks = image.redMask | image.greenMask | image.blueMask;
    return masks == 0 || (image.redMask == kBgrRed && image.greenMask == kBgrGreen && image.blueMask == kBgrBlue);
}

std::optional<DecodedImage> toTrueColour(const DecodedImage& image) {
    if (!rowsInside(image)) return std::nullopt;
    const int bpp = image.bytesPerPixel;
    if (bpp == 1 && image.palette.empty()) return std::nullopt;
    if (bpp != 1) {
        if (bpp > 4) return std::nullopt;
        if ((image.redMask | image.greenMask | image.blueMask) == 0) return std::nullopt;
    }
    const bool alpha = bpp != 1 && image.alphaMask != 0;
    DecodedImage out;
    out.width = image.width;
    out.height = image.height;
    out.bytesPerPixel = alpha ? 4 : 3;
    out.pitch = out.width * out.bytesPerPixel;
    out.redMask = kBgrRed;
    out.greenMask = kBgrGreen;
    out.blueMask = kBgrBlue;
    out.alphaMask = alpha ? 0xff000000u : 0;
    out.pixels.resize(static_cast<size_t>(out.pitch) * static_cast<size_t>(out.height));
    uint8_t* dst = out.pixels.data();
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* src = image.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(image.pitch);
        for (int x = 0; x < image.width; ++x, src += bpp) {
            if (bpp == 1) {
                const uint32_t rgb = *src < image.palette.size() ? image.palette[*src] : 0;
                *dst++ = static_cast<uint8_t>(rgb);
                *dst++ = static_cast<uint8_t>(rgb >> 8);
                *dst++ = static_cast<uint8_t>(rgb >> 16);
                continue;
            }
            const uint32_t pixel = pixelAt(src, bpp);
            *dst++ = channel(pixel, image.blueMask);
            *dst++ = channel(pixel, image.greenMask);
            *dst++ = channel(pixel, image.redMask);
            if (alpha) *dst++ = channel(pixel, image.alphaMask);
        }
    }
    return out;
}

bool imageConsistent(const DecodedImage& image) {
    if (image.width <= 0 || image.height <= 0 || image.bytesPerPixel <= 0 || image.pitch <= 0) return false;
    const uint64_t rowBytes = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.bytesPerPixel);
    if (static_cast<uint64_t>(image.pitch) < rowBytes) return false;
    const uint64_t total = static_cast<uint64_t>(image.pitch) * static_cast<uint64_t>(image.height);
    return image.pixels.size() >= total;
}

std::optional<DecodedImage> decodeTrueColour(const std::string& path) {
    EngineImports* imports = engineImports();
    if (!imports) return std::nullopt;
    std::optional<DecodedImage> image = imports->decodeBMP(nativePath(path));
    if (image && imageConsistent(*image) && !uploadableAsIs(*image)) image = toTrueColour(*image);
    if (!image || !imageConsistent(*image)) return std::nullopt;
    return image;
}

}  // namespace reef
