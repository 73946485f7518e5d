// Writes WAV files in the layout engine/WavFormat.h declares: the RIFF header,
// one plain PCM "fmt " chunk and one "data" chunk.
#pragma once

#include <cstdint>
#include <vector>

namespace reef {

// samples: the data chunk's body, frames of channels x bits / 8 bytes.
std::vector<uint8_t> writeWav(uint16_t channels, uint32_t sampleRate, uint16_t bits, const std::vector<uint8_t>& samples);

}  // namespace reef
