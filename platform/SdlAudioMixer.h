// AudioMixer on SDL_mixer 1.2: each call forwards to its Mix_ function.
// SDL's audio subsystem must be initialised before openAudio.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/AudioMixer.h"

namespace reef {

class SdlAudioMixer : public AudioMixer {
public:
    int openAudio(int frequency, int format, int channels, int chunkSize) override;
    // Reads the file and loads it as loadWAVBytes does.
    ChunkHandle loadWAV(const std::string& path) override;
    // Checks the bytes (engine/WavCheck.h) and decodes them with Mix_LoadWAV_RW;
    // nullptr for a refused or undecodable file. The chunk keeps its own copy.
    static ChunkHandle loadWAVBytes(const uint8_t* data, size_t size);
    int playChannelTimed(int channel, ChunkHandle chunk, int loops, int ticks) override;
    void haltChannel(int channel) override;
    void haltMusic() override;
    void freeChunk(ChunkHandle chunk) override;
    void closeAudio() override;
};

}  // namespace reef
