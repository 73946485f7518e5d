#include "tools/WavWriter.h"

#include <algorithm>
#include <cmath>

#include "tools/ByteWriter.h"

namespace reef::tools::wav {

std::vector<uint8_t> encodeMono16(const std::vector<float>& samples, int sampleRate) {
    ByteWriter w;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    w.bytes("RIFF", 4);
    w.u32(36 + dataBytes);
    w.bytes("WAVE", 4);
    w.bytes("fmt ", 4);
    w.u32(16);
    w.u16(1);
    w.u16(1);
    w.u32(static_cast<uint32_t>(sampleRate));
    w.u32(static_cast<uint32_t>(sampleRate) * 2);
    w.u16(2);
    w.u16(16);
    w.bytes("data", 4);
    w.u32(dataBytes);
    for (float s : samples) {
        const float c = std::clamp(s, -1.0f, 1.0f);
        w.i16(static_cast<int16_t>(std::lround(c * 32767.0f)));
    }
    return w.take();
}

}  // namespace reef::tools::wav
