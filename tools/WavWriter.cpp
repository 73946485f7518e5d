#include "tools/WavWriter.h"

#include <algorithm>
#include <cmath>

#include "engine/WavFormat.h"
#include "writers/ByteWriter.h"
#include "writers/WavWriter.h"

namespace reef::tools::wav {

std::vector<uint8_t> encodeMono16(const std::vector<float>& samples, int sampleRate) {
    ByteWriter pcm;
    for (float s : samples) pcm.i16(static_cast<int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)));
    return writeWav(1, static_cast<uint32_t>(sampleRate), reef::wav::kBits16, pcm.bytes);
}

}  // namespace reef::tools::wav
