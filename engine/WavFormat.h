// The WAV layout the saver's sounds use, and the limits a file must keep before
// its bytes reach the audio decoder (checked in engine/WavCheck.cpp).
//
// A RIFF file (little-endian) is a 12-byte file header and a run of chunks:
//   off  size  field
//     0     4  "RIFF"
//     4     4  RIFF size (not relied on: streaming writers leave it 0; the
//              decoder takes the bytes "WAVE" here for a file without "RIFF")
//     8     4  "WAVE"
//    12   ...  chunks: 4-byte id, 4-byte length, length bytes of body
//
// The decoder reads the chunks back to back (no padding byte after an odd
// length), skips "fact" and "LIST" chunks before "fmt ", then skips anything
// up to "data". The "fmt " body (at least 16 bytes):
//     0     2  format tag (1 = PCM)
//     2     2  channels
//     4     4  sample rate (Hz)
//     8     4  byte rate (sample rate x block align)
//    12     2  block align (channels x bits / 8)
//    14     2  bits per sample
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef::wav {

inline constexpr size_t kFileHeaderSize = 12;
inline constexpr size_t kRiffSizeOffset = 4;
inline constexpr size_t kWaveIdOffset = 8;
inline constexpr size_t kChunkHeaderSize = 8;

inline constexpr size_t kFmtMinSize = 16;
inline constexpr size_t kFmtFormatTagOffset = 0;
inline constexpr size_t kFmtChannelsOffset = 2;
inline constexpr size_t kFmtSampleRateOffset = 4;
inline constexpr size_t kFmtByteRateOffset = 8;
inline constexpr size_t kFmtBlockAlignOffset = 12;
inline constexpr size_t kFmtBitsOffset = 14;

inline constexpr uint16_t kFormatPcm = 1;

// What the saver accepts: plain PCM at the rates and depths the mixer converts
// safely. Anything else is refused before the decoder sees it.
inline constexpr uint16_t kMinChannels = 1;
inline constexpr uint16_t kMaxChannels = 2;
inline constexpr uint32_t kMinSampleRate = 8000;
inline constexpr uint32_t kMaxSampleRate = 48000;
inline constexpr uint16_t kBits8 = 8;
inline constexpr uint16_t kBits16 = 16;
// A sound longer than this is not one of the saver's (about six minutes of
// 48 kHz 16-bit stereo); reading stops there.
inline constexpr size_t kMaxFileBytes = 64u * 1024u * 1024u;

}  // namespace reef::wav
