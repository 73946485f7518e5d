#include "engine/WavCheck.h"

#include <cstring>

#include "engine/ByteReader.h"
#include "engine/WavFormat.h"

namespace reef {

namespace {

bool idIs(const ByteReader& in, uint64_t at, const char (&id)[5]) {
    return in.contains(at, 4) && std::memcmp(in.data() + at, id, 4) == 0;
}

bool refuse(const char** why, const char* reason) {
    if (why) *why = reason;
    return false;
}

// The "fmt " body: plain PCM within the saver's limits, its derived fields consistent.
bool checkFormat(const ByteReader& in, uint64_t at, uint32_t length, WavFacts& facts, const char** why) {
    if (length < wav::kFmtMinSize) return refuse(why, "format chunk too short");
    const size_t o = static_cast<size_t>(at);
    const uint16_t tag = in.u16At(o + wav::kFmtFormatTagOffset);
    facts.channels = in.u16At(o + wav::kFmtChannelsOffset);
    facts.sampleRate = in.u32At(o + wav::kFmtSampleRateOffset);
    const uint32_t byteRate = in.u32At(o + wav::kFmtByteRateOffset);
    const uint16_t blockAlign = in.u16At(o + wav::kFmtBlockAlignOffset);
    facts.bitsPerSample = in.u16At(o + wav::kFmtBitsOffset);
    if (tag != wav::kFormatPcm) return refuse(why, "not PCM");
    if (facts.channels < wav::kMinChannels || facts.channels > wav::kMaxChannels)
        return refuse(why, "channel count out of range");
    if (facts.sampleRate < wav::kMinSampleRate || facts.sampleRate > wav::kMaxSampleRate)
        return refuse(why, "sample rate out of range");
    if (facts.bitsPerSample != wav::kBits8 && facts.bitsPerSample != wav::kBits16)
        return refuse(why, "not 8 or 16 bits per sample");
    const uint32_t expectedAlign = facts.channels * (facts.bitsPerSample / 8u);
    if (blockAlign != expectedAlign) return refuse(why, "block align does not match");
    if (byteRate != facts.sampleRate * expectedAlign) return refuse(why, "byte rate does not match");
    return true;
}

}  // namespace

bool checkWav(const uint8_t* data, size_t size, WavFacts* factsOut, const char** why) {
    const ByteReader in(data, size);
    if (size > wav::kMaxFileBytes) return refuse(why, "file too large");
    if (size < wav::kFileHeaderSize || !idIs(in, 0, "RIFF") || !idIs(in, wav::kWaveIdOffset, "WAVE"))
        return refuse(why, "not a RIFF WAVE file");
    // The decoder takes a RIFF size that reads "WAVE" for a file without the
    // "RIFF" word and then reads every chunk four bytes early.
    if (idIs(in, wav::kRiffSizeOffset, "WAVE")) return refuse(why, "RIFF size reads as WAVE");

    WavFacts facts;
    bool haveFormat = false;
    uint64_t at = wav::kFileHeaderSize;
    // Walk the chunks the way the decoder reads them, back to back.
    while (true) {
        if (!in.contains(at, wav::kChunkHeaderSize)) return refuse(why, haveFormat ? "no data chunk" : "no format chunk");
        const uint32_t length = in.u32At(static_cast<size_t>(at + 4));
        const uint64_t body = at + wav::kChunkHeaderSize;
        if (!in.contains(body, length)) return refuse(why, "chunk beyond the end of the file");
        if (!haveFormat) {
            if (idIs(in, at, "fmt ")) {
                if (!checkFormat(in, body, length, facts, why)) return false;
                haveFormat = true;
            } else if (!idIs(in, at, "fact") && !idIs(in, at, "LIST")) {
                return refuse(why, "chunk before the format chunk");
            }
        } else if (idIs(in, at, "data")) {
            const uint32_t blockAlign = facts.channels * (facts.bitsPerSample / 8u);
            if (length == 0 || length % blockAlign != 0) return refuse(why, "data chunk not whole samples");
            facts.dataOffset = static_cast<size_t>(body);
            facts.dataBytes = length;
            if (factsOut) *factsOut = facts;
            return true;
        }
        at = body + length;
    }
}

}  // namespace reef
