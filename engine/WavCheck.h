// Checks a WAV file's bytes against engine/WavFormat.h before they are handed
// to the audio decoder, which trusts the header: a channel count of 0 or a
// wild sample rate crashes its converter, and a chunk length past the end of
// the file makes it allocate that much.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef {

struct WavFacts {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    size_t dataOffset = 0;  // first sample byte
    size_t dataBytes = 0;
};

// True when the bytes are a PCM WAV the saver plays (channels, rate, depth and
// every chunk length inside the file); facts, when given, receives what was read.
// why, when given, names the first fault of a refused file.
bool checkWav(const uint8_t* data, size_t size, WavFacts* facts = nullptr, const char** why = nullptr);

}  // namespace reef
