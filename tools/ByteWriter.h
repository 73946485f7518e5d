// Little-endian byte buffer used by every file writer of the data generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace reef::tools {

class ByteWriter {
public:
    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    // Writes text into a fixed-size, zero-padded field (truncated when longer).
    void fixedString(const std::string& s, size_t fieldSize) {
        for (size_t i = 0; i < fieldSize; ++i) u8(i < s.size() && i + 1 < fieldSize ? static_cast<uint8_t>(s[i]) : 0);
    }
    void zeros(size_t n) { m_bytes.insert(m_bytes.end(), n, 0); }

    // Overwrites a 32-bit value at an offset already written (for offsets known later).
    void patchU32(size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }

    size_t size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& data() const { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace reef::tools
