#include "tools/ArchiveWriter.h"

#include "engine/TQArchiveFormat.h"
#include "tools/ByteWriter.h"

namespace reef::tools {

std::vector<uint8_t> wrapInArchive(const std::vector<uint8_t>& payload, bool scrambled) {
    ByteWriter w;
    w.fixedString(tqarchive::kMagic, tqarchive::kMagicFieldSize);
    w.u16(1);  // the two 16-bit fields are kept by readers but carry no meaning
    w.u16(0);
    w.u32(scrambled ? tqarchive::kFlagScrambled : 0u);
    for (uint8_t b : payload) w.u8(scrambled ? static_cast<uint8_t>(b ^ tqarchive::kScrambleKey) : b);
    return w.take();
}

}  // namespace reef::tools
