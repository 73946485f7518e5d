// Sounds: the WAV check and, for every file it accepts, SDL_mixer's decoder
// and converter behind it (on the dummy audio driver), which must not crash.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/WavCheck.h"
#include "fuzz/FuzzCheck.h"
#include "platform/SdlAudioMixer.h"

using namespace reef;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WavFacts facts;
    const bool accepted = checkWav(data, size, &facts);
    if (accepted) REEF_FUZZ_REQUIRE(facts.dataOffset <= size && facts.dataBytes <= size - facts.dataOffset);
    AudioMixer::ChunkHandle chunk = SdlAudioMixer::loadWAVBytes(data, size);
    if (!accepted) REEF_FUZZ_REQUIRE(chunk == nullptr);
    SdlAudioMixer().freeChunk(chunk);
    return 0;
}
