#include "engine/AlphaMask.h"

#include <cmath>

#include "engine/TrueColour.h"

namespace reef {

namespace {

int wrapIndex(int i, int size) {
    const int r = i % size;
    return r < 0 ? r + size : r;
}

}  // namespace

bool AlphaMask::load(const std::string& path) {
    clear();
    const std::optional<DecodedImage> image = decodeTrueColour(path);
    if (!image) return false;
    assign(*image);
    return true;
}

void AlphaMask::assign(const DecodedImage& image) {
    clear();
    if (!imageConsistent(image)) return;
    m_width = image.width;
    m_height = image.height;
    m_alpha.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 255);
    if (image.bytesPerPixel != 4) return;
    for (int y = 0; y < m_height; ++y) {
        const uint8_t* row = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch);
        uint8_t* out = &m_alpha[static_cast<size_t>(y) * static_cast<size_t>(m_width)];
        for (int x = 0; x < m_width; ++x) out[x] = row[4 * x + 3];
    }
}

void AlphaMask::clear() {
    std::vector<uint8_t>().swap(m_alpha);
    m_width = m_height = 0;
}

uint8_t AlphaMask::texel(int x, int y) const {
    if (m_alpha.empty()) return 0;
    return m_alpha[static_cast<size_t>(wrapIndex(y, m_height)) * static_cast<size_t>(m_width) +
                   static_cast<size_t>(wrapIndex(x, m_width))];
}

float AlphaMask::sample(float s, float t) const {
    if (m_alpha.empty()) return 0.0f;
    const float u = s * static_cast<float>(m_width) - 0.5f;
    const float v = t * static_cast<float>(m_height) - 0.5f;
    const float u0 = std::floor(u), v0 = std::floor(v);
    const float a = u - u0, b = v - v0;
    const int x = static_cast<int>(u0), y = static_cast<int>(v0);
    const float top = (1.0f - a) * texel(x, y) + a * texel(x + 1, y);
    const float bottom = (1.0f - a) * texel(x, y + 1) + a * texel(x + 1, y + 1);
    return ((1.0f - b) * top + b * bottom) / 255.0f;
}

bool AlphaMask::anyVisibleNear(int x0, int y0, int x1, int y1) const {
    if (m_alpha.empty()) return false;
    // A linear filter anywhere in the range reads the texels one beyond each side.
    for (int y = y0 - 1; y <= y1; ++y)
        for (int x = x0 - 1; x <= x1; ++x)
            if (texel(x, y) != 0) return true;
    return false;
}

bool AlphaMask::rowOpaque(int y) const {
    if (m_alpha.empty()) return false;
    for (int x = 0; x < m_width; ++x)
        if (texel(x, y) != 255) return false;
    return true;
}

}  // namespace reef
