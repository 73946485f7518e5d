#include "engine/TQArchive.h"

#include <cstring>
#include <utility>

#include "engine/ByteReader.h"
#include "engine/TQArchiveFormat.h"

namespace reef {

bool TQArchive::isArchive(const uint8_t* data, size_t size) {
    if (!data || size < tqarchive::kHeaderSize) return false;
    // Compared as zero-terminated strings: the nine letters and then the zero;
    // whatever follows the zero inside the magic field is not examined.
    return std::memcmp(data + tqarchive::kMagicOffset, tqarchive::kMagic, tqarchive::kMagicLength + 1) == 0;
}

bool TQArchive::open(const uint8_t* data, size_t size) {
    if (!isArchive(data, size)) return false;
    close();
    const ByteReader reader(data, size);
    m_field1 = reader.u16At(tqarchive::kField1Offset);
    m_field2 = reader.u16At(tqarchive::kField2Offset);
    m_flags = reader.u32At(tqarchive::kFlagsOffset);
    m_open = true;
    // NOTE: nothing can unpack a packed payload, so it reads as empty.
    if (m_flags & tqarchive::kFlagPacked) return true;
    m_payload.assign(data + tqarchive::kPayloadOffset, data + size);
    if (m_flags & tqarchive::kFlagScrambled) {
        for (uint8_t& b : m_payload) b ^= tqarchive::kScrambleKey;
    }
    return true;
}

void TQArchive::close() {
    m_open = false;
    m_payload.clear();
    m_payload.shrink_to_fit();
}

bool TQArchive::unwrap(std::vector<uint8_t>& bytes) {
    if (!isArchive(bytes)) return true;
    TQArchive archive;
    if (!archive.open(bytes)) return false;
    bytes = std::move(archive.m_payload);
    return true;
}

}  // namespace reef
