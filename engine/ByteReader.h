// A bounded little-endian reader over a byte view. Every read names its absolute
// offset and fails (returns false) when the value would leave the view, so a
// loader can follow counts and offsets from a file without ever reading past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace reef {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    size_t size() const { return m_size; }
    const uint8_t* data() const { return m_data; }

    // True when [offset, offset + count) lies inside the view (overflow included).
    bool contains(uint64_t offset, uint64_t count) const {
        return offset <= m_size && count <= m_size - offset;
    }

    bool readU16(uint64_t offset, uint16_t& out) const {
        if (!contains(offset, 2)) return false;
        const uint8_t* p = m_data + offset;
        out = static_cast<uint16_t>(p[0] | (p[1] << 8));
        return true;
    }
    bool readU32(uint64_t offset, uint32_t& out) const {
        if (!contains(offset, 4)) return false;
        const uint8_t* p = m_data + offset;
        out = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        return true;
    }
    bool readI32(uint64_t offset, int32_t& out) const {
        uint32_t v = 0;
        if (!readU32(offset, v)) return false;
        out = static_cast<int32_t>(v);
        return true;
    }

    // NOTE: the unchecked forms are for loops over a range already checked with contains().
    uint16_t u16At(size_t offset) const {
        return static_cast<uint16_t>(m_data[offset] | (m_data[offset + 1] << 8));
    }
    uint32_t u32At(size_t offset) const {
        return static_cast<uint32_t>(m_data[offset]) | (static_cast<uint32_t>(m_data[offset + 1]) << 8) |
               (static_cast<uint32_t>(m_data[offset + 2]) << 16) |
               (static_cast<uint32_t>(m_data[offset + 3]) << 24);
    }
    int16_t i16At(size_t offset) const { return static_cast<int16_t>(u16At(offset)); }
    int32_t i32At(size_t offset) const { return static_cast<int32_t>(u32At(offset)); }
    float f32At(size_t offset) const {
        const uint32_t v = u32At(offset);
        float f;
        std::memcpy(&f, &v, sizeof f);
        return f;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};

}  // namespace reef
