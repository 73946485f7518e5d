#include "writers/ArchiveWriter.h"

#include "engine/TQArchiveFormat.h"
#include "writers/ByteWriter.h"

namespace reef {

std::vector<uint8_t> wrapInArchive(const std::vector<uint8_t>& payload, uint32_t flags, uint16_t field1,
                                   uint16_t field2) {
    const uint8_t key = (flags & tqarchive::kFlagScrambled) ? tqarchive::kScrambleKey : 0;
    ByteWriter w;
    w.text(tqarchive::kMagic, tqarchive::kMagicFieldSize);
    w.u16(field1);
    w.u16(field2);
    w.u32(flags);
    for (uint8_t b : payload) w.u8(static_cast<uint8_t>(b ^ key));
    return w.take();
}

}  // namespace reef
