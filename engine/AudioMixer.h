// The mixer calls the sound player makes, as a narrow interface: the platform
// implements it on SDL_mixer, tests record the calls.
#pragma once

#include <string>

namespace reef {

class AudioMixer {
public:
    using ChunkHandle = void*;

    virtual ~AudioMixer() = default;
    // Mix_OpenAudio(frequency, format, channels, chunkSize); 0 on success.
    virtual int openAudio(int frequency, int format, int channels, int chunkSize) = 0;
    // Mix_LoadWAV_RW(SDL_RWFromFile(path, "rb"), 1); nullptr on failure.
    virtual ChunkHandle loadWAV(const std::string& path) = 0;
    // Mix_PlayChannelTimed(channel, chunk, loops, ticks).
    virtual int playChannelTimed(int channel, ChunkHandle chunk, int loops, int ticks) = 0;
    virtual void haltChannel(int channel) = 0;
    virtual void haltMusic() = 0;
    virtual void freeChunk(ChunkHandle chunk) = 0;
    virtual void closeAudio() = 0;
};

}  // namespace reef
