#include "tools/BmpWriter.h"

#include "writers/BmpWriter.h"

namespace reef::tools::bmp {
namespace {

std::vector<uint8_t> encodeDirect(const Image& image, bool alpha) {
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(image.width()) * image.height() * (alpha ? 4 : 3));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour& c = image.at(x, y);
            pixels.insert(pixels.end(), {toByte(c.b), toByte(c.g), toByte(c.r)});
            if (alpha) pixels.push_back(toByte(c.a));
        }
    }
    return writeBmp(image.width(), image.height(), alpha ? 4 : 3, pixels);
}

}  // namespace

std::vector<uint8_t> encode24(const Image& image) { return encodeDirect(image, false); }

std::vector<uint8_t> encode32(const Image& image) { return encodeDirect(image, true); }

}  // namespace reef::tools::bmp
