#include "writers/WavWriter.h"

#include "engine/WavFormat.h"
#include "writers/ByteWriter.h"

namespace reef {

std::vector<uint8_t> writeWav(uint16_t channels, uint32_t sampleRate, uint16_t bits, const std::vector<uint8_t>& samples) {
    const auto blockAlign = static_cast<uint16_t>(channels * bits / 8);
    ByteWriter w;
    w.append("RIFF", 4);
    w.u32(0);  // RIFF size, known at the end
    w.append("WAVE", 4);
    w.append("fmt ", 4);
    w.u32(wav::kFmtMinSize);
    w.u16(wav::kFormatPcm);
    w.u16(channels);
    w.u32(sampleRate);
    w.u32(sampleRate * blockAlign);  // byte rate
    w.u16(blockAlign);
    w.u16(bits);
    w.append("data", 4);
    w.u32(static_cast<uint32_t>(samples.size()));
    w.append(samples.data(), samples.size());
    // Everything after the RIFF size field itself.
    w.patchU32(wav::kRiffSizeOffset, static_cast<uint32_t>(w.size() - wav::kWaveIdOffset));
    return w.take();
}

}  // namespace reef
