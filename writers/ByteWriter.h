// A little-endian byte buffer that every writer of the engine's file formats
// builds its file in. The bytes stay open to the caller: tests break a written
// file by editing them at the offsets the format headers name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace reef {

class ByteWriter {
public:
    std::vector<uint8_t> bytes;

    size_t size() const { return bytes.size(); }
    std::vector<uint8_t> take() { return std::move(bytes); }

    void u8(uint8_t v) { bytes.push_back(v); }
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
    void append(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }

    // Text in a fixed-size field, zero-padded; longer text is cut so that the
    // field still ends in a zero. (A field filled to its last byte, as a hostile
    // file has it, is written with append.)
    void text(std::string_view s, size_t fieldSize) {
        const size_t n = fieldSize == 0 ? 0 : std::min(s.size(), fieldSize - 1);
        append(s.data(), n);
        zeros(fieldSize - n);
    }

    // Overwrites a field written earlier (an offset known only later, or a
    // value a test breaks).
    void patchU16(size_t offset, uint16_t v) {
        bytes[offset] = static_cast<uint8_t>(v);
        bytes[offset + 1] = static_cast<uint8_t>(v >> 8);
    }
    void patchU32(size_t offset, uint32_t v) {
        for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void patchI32(size_t offset, int32_t v) { patchU32(offset, static_cast<uint32_t>(v)); }
};

}  // namespace reef
