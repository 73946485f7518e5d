// Builds the desktop icon theme's sizes of the program icon from the generated
// 32 x 32 "icon.bmp": <output>/<n>x<n>/apps/reefsaver.png for every size asked for.
//   reef_icons <icon.bmp> <output folder> <size>...
// Sizes below the source are box-filtered, larger ones bilinearly enlarged.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "engine/PngWriter.h"
#include "tools/BmpReader.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<float> rgb;  // rows top first
    const float* at(int x, int y) const {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return &rgb[(static_cast<size_t>(y) * width + x) * 3];
    }
};

// The generated BMP's pixels as 0..255 channel values.
bool readBmp(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::optional<reef::tools::Image> image = reef::tools::bmp::decode(file);
    if (!image) return false;
    picture.width = image->width();
    picture.height = image->height();
    picture.rgb.clear();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const reef::tools::Colour& c = image->at(x, y);
            for (float channel : {c.r, c.g, c.b}) picture.rgb.push_back(reef::tools::toByte(channel));
        }
    }
    return true;
}

std::vector<uint8_t> scaled(const Picture& source, int size) {
    std::vector<uint8_t> out(static_cast<size_t>(size) * size * 3);
    const float step = static_cast<float>(source.width) / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float sum[3] = {0, 0, 0};
            int samples = 0;
            if (step >= 1.0f) {  // average the source pixels under this one
                const int x0 = static_cast<int>(x * step), x1 = std::max(x0 + 1, static_cast<int>((x + 1) * step));
                const int y0 = static_cast<int>(y * step), y1 = std::max(y0 + 1, static_cast<int>((y + 1) * step));
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx, ++samples)
                        for (int c = 0; c < 3; ++c) sum[c] += source.at(sx, sy)[c];
            } else {  // bilinear between the four nearest source pixels
                const float fx = (x + 0.5f) * step - 0.5f, fy = (y + 0.5f) * step - 0.5f;
                const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
                const float tx = fx - ix, ty = fy - iy;
                for (int c = 0; c < 3; ++c)
                    sum[c] = (source.at(ix, iy)[c] * (1 - tx) + source.at(ix + 1, iy)[c] * tx) * (1 - ty) +
                             (source.at(ix, iy + 1)[c] * (1 - tx) + source.at(ix + 1, iy + 1)[c] * tx) * ty;
                samples = 1;
            }
            for (int c = 0; c < 3; ++c)
                out[(static_cast<size_t>(y) * size + x) * 3 + c] = static_cast<uint8_t>(sum[c] / samples + 0.5f);
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ICON.BMP OUTPUT_FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    Picture icon;
    if (!readBmp(argv[1], icon)) {
        std::fprintf(stderr, "reef_icons: %s is not a 24-bit BMP\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 8 || size > 512) {
            std::fprintf(stderr, "reef_icons: size %s is out of range\n", argv[i]);
            return 2;
        }
        const std::filesystem::path folder =
            std::filesystem::path(argv[2]) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::vector<uint8_t> pixels = scaled(icon, size);
        if (!reef::writePNG((folder / "reefsaver.png").string(), size, size, 3, pixels.data(), false)) {
            std::fprintf(stderr, "reef_icons: cannot write %s\n", (folder / "reefsaver.png").c_str());
            return 1;
        }
    }
    return 0;
}
