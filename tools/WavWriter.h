// Writes mono 16-bit PCM WAV files: the RIFF header, one "fmt " and one "data"
// chunk, in the layout engine/WavFormat.h declares (the same one the saver
// checks its sounds against).
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
