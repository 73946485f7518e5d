// Writes mono 16-bit PCM WAV files (RIFF "WAVE", one "fmt " and one "data" chunk).
//
//   off  size  field
//     0     4  "RIFF"            4     4  36 + data bytes
//     8     4  "WAVE"           12     4  "fmt "
//    16     4  16               20     2  1 (PCM)
//    22     2  channels (1)     24     4  sample rate
//    28     4  byte rate        32     2  block align (2)
//    34     2  bits (16)        36     4  "data"
//    40     4  data bytes       44   ...  samples, signed 16-bit little-endian
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reef::tools::wav {

inline constexpr int kSampleRate = 22050;
inline constexpr size_t kHeaderSize = 44;

// Samples in -1..1 are clipped and quantised to 16 bits.
std::vector<uint8_t> encodeMono16(const std::vector<float>& samples, int sampleRate = kSampleRate);

}  // namespace reef::tools::wav
