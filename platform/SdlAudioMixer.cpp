#include "platform/SdlAudioMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <new>

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"

#include "engine/FilePath.h"
#include "engine/WavCheck.h"
#include "engine/WavFormat.h"

namespace reef {

int SdlAudioMixer::openAudio(int frequency, int format, int channels, int chunkSize) {
    return Mix_OpenAudio(frequency, static_cast<Uint16>(format), channels, chunkSize);
}

AudioMixer::ChunkHandle SdlAudioMixer::loadWAV(const std::string& path) {
    // The decoder trusts the header, so the file is read and checked first and
    // the very bytes checked are what it decodes. NOTE: never SDL_RWFromFile,
    // which would wait on a FIFO named like a sound.
    // NOTE: a sound that cannot be held is reported and left out, like any
    // asset that fails to load, instead of ending the program.
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = readFileBytes(path, wav::kMaxFileBytes);
    } catch (const std::bad_alloc&) {
        reportf(Channel::Error, texts::kSoundOutOfMemory, path.c_str());
        return nullptr;
    }
    if (!bytes) return nullptr;
    return loadWAVBytes(bytes->data(), bytes->size());
}

AudioMixer::ChunkHandle SdlAudioMixer::loadWAVBytes(const uint8_t* data, size_t size) {
    if (!checkWav(data, size)) return nullptr;
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!stream) return nullptr;
    // The chunk gets its own copy of the samples; the loader closes the stream
    // (freesrc 1), whether or not it succeeds.
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
