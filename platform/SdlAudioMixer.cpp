#include "platform/SdlAudioMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace reef {

int SdlAudioMixer::openAudio(int frequency, int format, int channels, int chunkSize) {
    return Mix_OpenAudio(frequency, static_cast<Uint16>(format), channels, chunkSize);
}

AudioMixer::ChunkHandle SdlAudioMixer::loadWAV(const std::string& path) {
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    if (!stream) return nullptr;
    // The loader closes the stream (freesrc 1), whether or not it succeeds.
    return Mix_LoadWAV_RW(stream, 1);
}

int SdlAudioMixer::playChannelTimed(int channel, ChunkHandle chunk, int loops, int ticks) {
    if (!chunk) return -1;
    return Mix_PlayChannelTimed(channel, static_cast<Mix_Chunk*>(chunk), loops, ticks);
}

void SdlAudioMixer::haltChannel(int channel) { Mix_HaltChannel(channel); }

void SdlAudioMixer::haltMusic() { Mix_HaltMusic(); }

void SdlAudioMixer::freeChunk(ChunkHandle chunk) {
    if (chunk) Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
}

void SdlAudioMixer::closeAudio() { Mix_CloseAudio(); }

}  // namespace reef
