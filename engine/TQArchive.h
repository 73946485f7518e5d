// Reader of the TQArchive container (layout in engine/TQArchiveFormat.h): one
// asset behind a 24-byte header, its bytes possibly scrambled. The decoded
// payload is kept in memory and read like the plain file would be.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reef {

class TQArchive {
public:
    TQArchive() = default;
    ~TQArchive() { close(); }
    TQArchive(const TQArchive&) = delete;
    TQArchive& operator=(const TQArchive&) = delete;

    // True when the bytes start with a full archive header and its magic.
    static bool isArchive(const uint8_t* data, size_t size);
    static bool isArchive(const std::vector<uint8_t>& bytes) { return isArchive(bytes.data(), bytes.size()); }

    // Checks the header and decodes the payload. A packed archive opens with an
    // empty payload (there is no unpacker); the caller's loader then rejects it.
    bool open(const uint8_t* data, size_t size);
    bool open(const std::vector<uint8_t>& bytes) { return open(bytes.data(), bytes.size()); }
    // Drops the payload.
    void close();

    bool isOpen() const { return m_open; }
    // The decoded asset bytes; empty while closed.
    const std::vector<uint8_t>& payload() const { return m_payload; }
    uint16_t field1() const { return m_field1; }
    uint16_t field2() const { return m_field2; }
    uint32_t flags() const { return m_flags; }

    // Replaces bytes by the payload when they hold an archive; plain bytes stay
    // as they are. False only when an archive could not be opened.
    static bool unwrap(std::vector<uint8_t>& bytes);

private:
    bool m_open = false;
    std::vector<uint8_t> m_payload;
    uint16_t m_field1 = 0;
    uint16_t m_field2 = 0;
    uint32_t m_flags = 0;
};

}  // namespace reef
