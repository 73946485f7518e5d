// The saver's sounds: one endless loop (the water) and a small table of effect
// chunks addressed by id (the gull calls), each played on a free mixing channel.
// Every mixer call goes through the AudioMixer interface.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/AudioMixer.h"

namespace reef {

class SoundPlayer {
public:
    // The mixer is not owned and must outlive the player.
    explicit SoundPlayer(AudioMixer& mixer);
    // Closes the device if close was not called.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Opens the device: 22050 Hz, signed 16-bit little-endian, stereo, 4096-sample chunks.
    bool open();
    // Loads the looping chunk; reports texts::kLoopSoundMissing when the file gives nothing.
    // False only when the device is not open.
    bool loadLoop(const std::string& path);
    // Starts the loop on the first free channel, repeated forever.
    void playLoop();
    // Loads an effect chunk under id; a file that gives nothing adds nothing.
    void addEffect(const std::string& path, int32_t id);
    // Plays the first effect with that id; loops 0 plays it once.
    void playEffect(int32_t id, int loops);
    // Halts every channel, frees every chunk and closes the device.
    void close();

    bool opened() const { return m_opened; }
    bool hasLoop() const { return m_loopChunk != nullptr; }
    size_t effectCount() const { return m_effects.size(); }

    static constexpr int kFrequency = 22050;       // Hz
    static constexpr int kFormatS16LSB = 0x8010;   // AUDIO_S16LSB
    static constexpr int kChannels = 2;
    static constexpr int kChunkSize = 4096;        // samples

private:
    AudioMixer& m_mixer;
    AudioMixer::ChunkHandle m_loopChunk = nullptr;
    std::vector<std::pair<int32_t, AudioMixer::ChunkHandle>> m_effects;
    bool m_opened = false;
    bool m_closed = false;
};

}  // namespace reef
