// Wraps one asset in the TQArchive container (layout in engine/TQArchiveFormat.h).
#pragma once

#include <cstdint>
#include <vector>

namespace reef::tools {

// scrambled: every payload byte XORed with the archive key (flag bit 0).
std::vector<uint8_t> wrapInArchive(const std::vector<uint8_t>& payload, bool scrambled);

}  // namespace reef::tools
