// Reads a PNG written by the saver's screenshot code (stored deflate blocks only),
// or a binary PPM (P6, 8-bit) such as a screen grab converted by ImageMagick, and prints what a person would notice first: how bright it is, how much it
// varies, and how much of it is coloured rather than grey.
//   image_stats <file.png>  ->  "width height mean stddev colourful"
#include <algorithm>
#include <cctype>
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

// P6 with maxval 255, into the PNG decoder's layout (a filter byte before each row).
bool decodePpm(const std::vector<uint8_t>& file, int& width, int& height, int& channels, std::vector<uint8_t>& raw) {
    size_t at = 2;
    int fields[3] = {0, 0, 0};
    for (int& field : fields) {
        while (at < file.size() && (std::isspace(file[at]) || file[at] == '#')) {
            if (file[at] == '#')
                while (at < file.size() && file[at] != '\n') ++at;
            else
                ++at;
        }
        while (at < file.size() && std::isdigit(file[at]) && field < 100000) field = field * 10 + (file[at++] - '0');
    }
    ++at;  // the one blank after the header
    width = fields[0];
    height = fields[1];
    channels = 3;
    if (width <= 0 || height <= 0 || fields[2] != 255) return fail("not an 8-bit PPM");
    const size_t row = static_cast<size_t>(width) * 3;
    if (at > file.size() || file.size() - at < row * height) return fail("PPM shorter than its size");
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), file.begin() + static_cast<long>(at + row * y), file.begin() + static_cast<long>(at + row * (y + 1)));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 3;
    std::vector<uint8_t> raw;
    const bool ppm = file.size() > 2 && file[0] == 'P' && file[1] == '6';
    if (!(ppm ? decodePpm(file, width, height, channels, raw) : decode(file, width, height, channels, raw))) return 1;
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
