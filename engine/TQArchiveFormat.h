// The TQArchive container: a 24-byte header in front of exactly one asset (a
// ".tqm" model or a ".dat" text file) whose bytes may be scrambled. Shared by the
// reader (engine/TQArchive.cpp) and the data generator (tools/).
//
//   off  size  field
//     0    16  magic: "TQArchive", a zero byte, then anything up to offset 15
//    16     2  first 16-bit field (uint16, kept, not acted on)
//    18     2  second 16-bit field (uint16, kept, not acted on)
//    20     4  flags (uint32): bit 0 scrambled, bit 1 packed, other bits ignored
//    24   ...  payload to the end of the file (no length field, no checksum)
//
// A scrambled payload has every byte XORed with kScrambleKey. A packed payload
// has no unpacker in this system: opening one yields an empty payload.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef::tqarchive {

// The magic compares as a zero-terminated string: these nine letters and the zero.
inline constexpr char kMagic[] = "TQArchive";
inline constexpr size_t kMagicLength = 9;  // letters, without the terminating zero
inline constexpr size_t kMagicFieldSize = 16;

inline constexpr size_t kHeaderSize = 24;
inline constexpr size_t kMagicOffset = 0;
inline constexpr size_t kField1Offset = 16;  // uint16
inline constexpr size_t kField2Offset = 18;  // uint16
inline constexpr size_t kFlagsOffset = 20;   // uint32
inline constexpr size_t kPayloadOffset = 24;

inline constexpr uint32_t kFlagScrambled = 1u << 0;
inline constexpr uint32_t kFlagPacked = 1u << 1;

inline constexpr uint8_t kScrambleKey = 0x6B;

}  // namespace reef::tqarchive
