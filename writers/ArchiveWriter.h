// Wraps one asset in the TQArchive container (layout in engine/TQArchiveFormat.h).
#pragma once

#include <cstdint>
#include <vector>

namespace reef {

// The payload is stored scrambled (every byte XORed with the archive key) when
// flags has tqarchive::kFlagScrambled. Readers keep the two 16-bit fields but
// give them no meaning.
std::vector<uint8_t> wrapInArchive(const std::vector<uint8_t>& payload, uint32_t flags, uint16_t field1 = 1,
                                   uint16_t field2 = 0);

}  // namespace reef
