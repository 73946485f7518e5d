#include "engine/SoundPlayer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/SdlAudioMixer.h"

namespace reef {
namespace {

// Records every call; files whose name contains "missing" fail to load.
class FakeMixer : public AudioMixer {
public:
    std::vector<std::string> calls;
    int openResult = 0;
    std::set<ChunkHandle> live;
    int next = 1;

    int openAudio(int frequency, int format, int channels, int chunkSize) override {
        calls.push_back("open " + std::to_string(frequency) + " " + std::to_string(format) + " " +
                        std::to_string(channels) + " " + std::to_string(chunkSize));
        return openResult;
    }
    ChunkHandle loadWAV(const std::string& path) override {
        calls.push_back("load " + path);
        if (path.find("missing") != std::string::npos) return nullptr;
        auto* chunk = reinterpret_cast<ChunkHandle>(static_cast<uintptr_t>(next++ * 16));
        live.insert(chunk);
        return chunk;
    }
    int playChannelTimed(int channel, ChunkHandle chunk, int loops, int ticks) override {
        calls.push_back("play " + std::to_string(channel) + " " + name(chunk) + " " + std::to_string(loops) + " " +
                        std::to_string(ticks));
        return 0;
    }
    void haltChannel(int channel) override { calls.push_back("haltChannel " + std::to_string(channel)); }
    void haltMusic() override { calls.push_back("haltMusic"); }
    void freeChunk(ChunkHandle chunk) override {
        calls.push_back("free " + name(chunk));
        live.erase(chunk);
    }
    void closeAudio() override { calls.push_back("close"); }

    static std::string name(ChunkHandle chunk) {
        return "#" + std::to_string(reinterpret_cast<uintptr_t>(chunk) / 16);
    }
};

std::string captured(const std::function<void()>& body) {
    testing::internal::CaptureStdout();
    body();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

TEST(SoundPlayer, SceneBuildSequenceAndPlayback) {
    FakeMixer mixer;
    SoundPlayer player(mixer);
    ASSERT_TRUE(player.open());
    EXPECT_TRUE(player.loadLoop("data/sound/water.wav"));
    player.playLoop();
    for (int i = 0; i < 4; ++i) player.addEffect("data/sound/seagull" + std::to_string(i + 1) + ".wav", i);
    player.playEffect(2, 0);
    player.playEffect(7, 0);  // unknown id: silent
    const std::vector<std::string> expected = {
        "open 22050 32784 2 4096",       "load data/sound/water.wav",    "play -1 #1 -1 -1",
        "load data/sound/seagull1.wav",  "load data/sound/seagull2.wav", "load data/sound/seagull3.wav",
        "load data/sound/seagull4.wav",  "play -1 #4 0 -1",
    };
    EXPECT_EQ(mixer.calls, expected);
    EXPECT_EQ(player.effectCount(), 4u);

    mixer.calls.clear();
    player.close();
    const std::vector<std::string> closing = {"haltMusic", "haltChannel -1", "free #1", "free #2",
                                              "free #3",   "free #4",        "free #5", "close"};
    EXPECT_EQ(mixer.calls, closing);
    EXPECT_TRUE(mixer.live.empty());
    EXPECT_EQ(player.effectCount(), 0u);
    EXPECT_FALSE(player.hasLoop());
}

TEST(SoundPlayer, MissingFilesPrintTheirLinesAndCarryOn) {
    FakeMixer mixer;
    SoundPlayer player(mixer);
    player.open();
    std::string out = captured([&] { EXPECT_TRUE(player.loadLoop("missing/water.wav")); });
    EXPECT_EQ(out, "music == 0\n");
    out = captured([&] { player.playLoop(); });
    EXPECT_EQ(out, "music == 0 (playMusic)\n");
    out = captured([&] {
        player.addEffect("missing1.wav", 0);
        player.addEffect("seagull2.wav", 1);
    });
    EXPECT_EQ(out, "sc.chunk == NULL\n");
    EXPECT_EQ(player.effectCount(), 1u);
    // Only id 1 exists: draws of 0, 2, 3 play nothing.
    mixer.calls.clear();
    for (int id = 0; id < 4; ++id) player.playEffect(id, 0);
    ASSERT_EQ(mixer.calls.size(), 1u);
    EXPECT_EQ(mixer.calls[0].rfind("play -1", 0), 0u);
    // Ids need not be unique: the first one wins.
    player.addEffect("other.wav", 1);
    mixer.calls.clear();
    player.playEffect(1, 2);
    ASSERT_EQ(mixer.calls.size(), 1u);
    EXPECT_EQ(mixer.calls[0], "play -1 #1 2 -1");  // seagull2.wav, loaded first
    player.close();
    EXPECT_TRUE(mixer.live.empty());
}

TEST(SoundPlayer, UnopenedPlayerDoesNothingButClose) {
    FakeMixer mixer;
    mixer.openResult = -1;
    SoundPlayer player(mixer);
    EXPECT_FALSE(player.open());
    EXPECT_FALSE(player.loadLoop("water.wav"));
    const std::string out = captured([&] {
        player.playLoop();
        player.addEffect("gull.wav", 0);
        player.playEffect(0, 0);
    });
    EXPECT_EQ(out, "");
    EXPECT_EQ(mixer.calls.size(), 1u);  // the open attempt only
    player.close();
    const std::vector<std::string> closing = {"open 22050 32784 2 4096", "haltMusic", "haltChannel -1", "close"};
    EXPECT_EQ(mixer.calls, closing);
}

TEST(SoundPlayer, DestructionWithoutCloseReleasesEverything) {
    FakeMixer mixer;
    {
        SoundPlayer player(mixer);
        player.open();
        player.loadLoop("water.wav");
        player.loadLoop("water2.wav");  // replaces the first chunk
        player.addEffect("gull.wav", 0);
    }
    EXPECT_TRUE(mixer.live.empty());
    EXPECT_EQ(mixer.calls.back(), "close");
}

// A short silent 8-bit mono WAV.
void writeWav(const std::string& path) {
    const uint32_t samples = 2205;
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    u32(36 + samples);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);      // PCM
    u16(1);      // mono
    u32(22050);  // rate
    u32(22050);  // bytes per second
    u16(1);      // block align
    u16(8);      // bits
    f.write("data", 4);
    u32(samples);
    const std::vector<char> silence(samples, static_cast<char>(0x80));
    f.write(silence.data(), samples);
}

TEST(SdlAudioMixer, PlaysThroughTheDummyDriver) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    const std::string dir = testing::TempDir();
    const std::string wav = dir + "/reef_world_test.wav";
    writeWav(wav);
    {
        SdlAudioMixer mixer;
        SoundPlayer player(mixer);
        ASSERT_TRUE(player.open());
        EXPECT_TRUE(player.loadLoop(wav));
        EXPECT_TRUE(player.hasLoop());
        player.playLoop();
        player.addEffect(wav, 0);
        const std::string out = captured([&] { player.addEffect(dir + "/no_such_file.wav", 1); });
        EXPECT_EQ(out, "sc.chunk == NULL\n");
        EXPECT_EQ(player.effectCount(), 1u);
        player.playEffect(0, 0);
        player.close();
        EXPECT_FALSE(player.hasLoop());
    }
    std::remove(wav.c_str());
    SDL_Quit();
}

}  // namespace
}  // namespace reef
