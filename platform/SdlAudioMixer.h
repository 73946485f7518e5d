// AudioMixer on SDL_mixer 1.2: each call forwards to its Mix_ function.
// SDL's audio subsystem must be initialised before openAudio.
#pragma once

#include "engine/AudioMixer.h"

namespace reef {

class SdlAudioMixer : public AudioMixer {
public:
    int openAudio(int frequency, int format, int channels, int chunkSize) override;
    ChunkHandle loadWAV(const std::string& path) override;
    int playChannelTimed(int channel, ChunkHandle chunk, int loops, int ticks) override;
    void haltChannel(int channel) override;
    void haltMusic() override;
    void freeChunk(ChunkHandle chunk) override;
    void closeAudio() override;
};

}  // namespace reef
