// Reads a PNG written by the saver's screenshot code (stored deflate blocks only)
// and prints what a person would notice first: how bright it is, how much it
// varies, and how much of it is coloured rather than grey.
//   image_stats <file.png>  ->  "width height mean stddev colourful"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }

bool fail(const char* why) {
    std::fprintf(stderr, "image_stats: %s\n", why);
    return false;
}

bool decode(const std::vector<uint8_t>& file, int& width, int& height, int& channels, std::vector<uint8_t>& raw) {
    if (file.size() < 8) return fail("too short");
    std::vector<uint8_t> z;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = be32(&file[at]);
        if (length > file.size() - at - 12) return fail("chunk past the end");
        const uint8_t* type = &file[at + 4];
        const uint8_t* body = &file[at + 8];
        if (std::equal(type, type + 4, "IHDR")) {
            width = static_cast<int>(be32(body));
            height = static_cast<int>(be32(body + 4));
            channels = body[9] == 6 ? 4 : 3;
        } else if (std::equal(type, type + 4, "IDAT")) {
            z.insert(z.end(), body, body + length);
        }
        at += 12 + length;
    }
    size_t p = 2;  // zlib header
    while (p + 5 <= z.size()) {
        const bool last = z[p] & 1;
        if ((z[p] >> 1) != 0) return fail("not a stored block");
        const size_t n = z[p + 1] | (z[p + 2] << 8);
        p += 5;
        if (p + n > z.size()) return fail("block past the end");
        raw.insert(raw.end(), z.begin() + static_cast<long>(p), z.begin() + static_cast<long>(p + n));
        p += n;
        if (last) break;
    }
    return width > 0 && height > 0 && raw.size() == static_cast<size_t>(height) * (1 + width * channels);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 3;
    std::vector<uint8_t> raw;
    if (!decode(file, width, height, channels, raw)) return 1;
    double sum = 0, sumSquares = 0;
    long colourful = 0;
    const long pixels = static_cast<long>(width) * height;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &raw[static_cast<size_t>(y) * (1 + width * channels) + 1];
        for (int x = 0; x < width; ++x) {
            const int r = row[x * channels], g = row[x * channels + 1], b = row[x * channels + 2];
            const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
            sum += luma;
            sumSquares += luma * luma;
            const int spread = std::max({r, g, b}) - std::min({r, g, b});
            if (spread > 24) ++colourful;
        }
    }
    const double mean = sum / pixels;
    const double deviation = std::sqrt(std::max(0.0, sumSquares / pixels - mean * mean));
    std::printf("%d %d %.1f %.1f %.3f\n", width, height, mean, deviation, double(colourful) / pixels);
    return 0;
}
