#include "engine/PngWriter.h"

#include <algorithm>
#include <cstdio>

namespace reef {

namespace {

// PNG container constants.
constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kColourTypeRGB = 2;
constexpr uint8_t kColourTypeRGBA = 6;
constexpr size_t kMaxStoredBlock = 65535;  // deflate stored blocks hold at most this many bytes

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBE32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void putChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
    putBE32(out, static_cast<uint32_t>(body.size()));
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    putBE32(out, crc32(out.data() + typeStart, body.size() + 4));
}

// Filter byte 0 in front of every row, rows top first.
std::vector<uint8_t> rawScanlines(int width, int height, int channels, const uint8_t* pixels, bool bottomUp) {
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        const int source = bottomUp ? height - 1 - y : y;
        raw.push_back(0);
        const uint8_t* row = pixels + rowBytes * source;
        raw.insert(raw.end(), row, row + rowBytes);
    }
    return raw;
}

std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t block = std::min(kMaxStoredBlock, raw.size() - offset);
        const bool last = offset + block == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(block));
        z.push_back(static_cast<uint8_t>(block >> 8));
        z.push_back(static_cast<uint8_t>(~block));
        z.push_back(static_cast<uint8_t>(~block >> 8));
        z.insert(z.end(), raw.begin() + offset, raw.begin() + offset + block);
        offset += block;
    } while (offset < raw.size());
    putBE32(z, adler32(raw));
    return z;
}

}  // namespace

std::vector<uint8_t> encodePNG(int width, int height, int channels, const uint8_t* pixels, bool bottomUp) {
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || pixels == nullptr) return {};
    std::vector<uint8_t> out(kSignature, kSignature + 8);
    std::vector<uint8_t> header;
    putBE32(header, static_cast<uint32_t>(width));
    putBE32(header, static_cast<uint32_t>(height));
    header.push_back(8);  // bit depth
    header.push_back(channels == 4 ? kColourTypeRGBA : kColourTypeRGB);
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method
    header.push_back(0);  // no interlace
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlibStored(rawScanlines(width, height, channels, pixels, bottomUp)));
    putChunk(out, "IEND", {});
    return out;
}

bool writePNG(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
              bool bottomUp) {
    const std::vector<uint8_t> png = encodePNG(width, height, channels, pixels, bottomUp);
    if (png.empty()) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace reef
