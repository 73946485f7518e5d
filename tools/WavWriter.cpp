#include "tools/WavWriter.h"

#include <algorithm>
#include <cmath>

#include "engine/WavFormat.h"
#include "writers/ByteWriter.h"

namespace reef::tools::wav {

std::vector<uint8_t> encodeMono16(const std::vector<float>& samples, int sampleRate) {
    ByteWriter w;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    w.append("RIFF", 4);
    // RIFF size: everything after its own field.
    w.u32(static_cast<uint32_t>(reef::wav::kFileHeaderSize - reef::wav::kWaveIdOffset + 2 * reef::wav::kChunkHeaderSize +
                                reef::wav::kFmtMinSize) +
          dataBytes);
    w.append("WAVE", 4);
    w.append("fmt ", 4);
    w.u32(reef::wav::kFmtMinSize);
    w.u16(reef::wav::kFormatPcm);
    w.u16(1);  // channels
    w.u32(static_cast<uint32_t>(sampleRate));
    w.u32(static_cast<uint32_t>(sampleRate) * 2);  // byte rate
    w.u16(2);                                      // block align
    w.u16(reef::wav::kBits16);
    w.append("data", 4);
    w.u32(dataBytes);
    for (float s : samples) {
        const float c = std::clamp(s, -1.0f, 1.0f);
        w.i16(static_cast<int16_t>(std::lround(c * 32767.0f)));
    }
    return w.take();
}

}  // namespace reef::tools::wav
