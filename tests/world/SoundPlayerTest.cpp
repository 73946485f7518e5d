#include "engine/SoundPlayer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/WavCheck.h"
#include "engine/WavFormat.h"
#include "platform/SdlAudioMixer.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/TempFolder.h"
#include "writers/ByteWriter.h"
#include "writers/WavWriter.h"

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
    test::captureOutput();
    body();
    std::fflush(stdout);
    return test::capturedOutput();
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

// SDL's dummy audio driver, unless the environment already names a driver.
void useDummyAudioUnlessChosen() {
    if (std::getenv("SDL_AUDIODRIVER")) return;
#ifdef _WIN32
    _putenv_s("SDL_AUDIODRIVER", "dummy");
#else
    setenv("SDL_AUDIODRIVER", "dummy", 0);
#endif
}

TEST(SdlAudioMixer, PlaysThroughTheDummyDriver) {
    useDummyAudioUnlessChosen();
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    const test::TempFolder folder;
    const std::string dir = folder.path();
    const std::string wav = folder.file("reef_world_test.wav");
    test::writeFile(wav, writeWav(1, 22050, 8, std::vector<uint8_t>(2205, 0x80)));  // 0.1 s of silence
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

// A PCM WAV in memory: the file header, a "fmt " chunk and a data chunk of
// silence; the fields are patched by offset to make it hostile.
struct WavBytes : ByteWriter {
    static constexpr size_t kFmt = wav::kFileHeaderSize + wav::kChunkHeaderSize;  // "fmt " body
    static constexpr size_t kData = kFmt + wav::kFmtMinSize;                       // "data" chunk header

    explicit WavBytes(uint16_t channels = 2, uint32_t rate = 22050, uint16_t bits = 16, uint32_t frames = 100) {
        const size_t sampleBytes = static_cast<size_t>(frames) * channels * bits / 8;
        bytes = writeWav(channels, rate, bits, std::vector<uint8_t>(sampleBytes, bits == 8 ? 0x80 : 0));
    }
    const char* why() const {
        const char* reason = "accepted";
        checkWav(bytes.data(), bytes.size(), nullptr, &reason);
        return reason;
    }
};

TEST(WavCheck, AcceptsThePlainPcmTheSaverUses) {
    for (uint16_t channels : {1, 2}) {
        for (uint16_t bits : {8, 16}) {
            for (uint32_t rate : {8000u, 22050u, 48000u}) {
                WavBytes w(channels, rate, bits);
                WavFacts facts;
                ASSERT_TRUE(checkWav(w.bytes.data(), w.bytes.size(), &facts)) << w.why();
                EXPECT_EQ(facts.channels, channels);
                EXPECT_EQ(facts.sampleRate, rate);
                EXPECT_EQ(facts.dataOffset, WavBytes::kData + 8);
                EXPECT_EQ(facts.dataBytes, 100u * channels * bits / 8);
            }
        }
    }
    // "LIST" and "fact" before the format and anything between format and data are skipped.
    WavBytes w;
    std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c'};
    w.bytes.insert(w.bytes.begin() + wav::kFileHeaderSize, list.begin(), list.end());
    std::vector<uint8_t> extra = {'c', 'u', 'e', ' ', 1, 0, 0, 0, 9};
    w.bytes.insert(w.bytes.begin() + WavBytes::kData + list.size(), extra.begin(), extra.end());
    EXPECT_STREQ(w.why(), "accepted");
}

TEST(WavCheck, RefusesHeadersTheDecoderWouldTrust) {
    struct Case {
        const char* what;
        std::function<void(WavBytes&)> edit;
        const char* why;
    };
    const size_t fmt = WavBytes::kFmt;
    const Case cases[] = {
        {"no channels", [&](WavBytes& w) { w.patchU16(fmt + 2, 0); }, "channel count out of range"},
        {"three channels", [&](WavBytes& w) { w.patchU16(fmt + 2, 3); }, "channel count out of range"},
        {"rate 1", [&](WavBytes& w) { w.patchU32(fmt + 4, 1); }, "sample rate out of range"},
        {"rate 0x7fffffff", [&](WavBytes& w) { w.patchU32(fmt + 4, 0x7fffffff); }, "sample rate out of range"},
        {"byte rate off", [&](WavBytes& w) { w.patchU32(fmt + 8, 0x7fffffff); }, "byte rate does not match"},
        {"block align off", [&](WavBytes& w) { w.patchU16(fmt + 12, 3); }, "block align does not match"},
        {"24 bits", [&](WavBytes& w) { w.patchU16(fmt + 14, 24); }, "not 8 or 16 bits per sample"},
        {"ADPCM", [&](WavBytes& w) { w.patchU16(fmt, 2); }, "not PCM"},
        {"short fmt", [&](WavBytes& w) { w.patchU32(fmt - 4, 12); }, "format chunk too short"},
        {"fmt past end", [&](WavBytes& w) { w.patchU32(fmt - 4, 0xfffffff0u); }, "chunk beyond the end of the file"},
        {"data past end", [](WavBytes& w) { w.patchU32(WavBytes::kData + 4, 0xfffffff0u); }, "chunk beyond the end of the file"},
        {"data half a sample", [](WavBytes& w) { w.patchU32(WavBytes::kData + 4, 3); }, "data chunk not whole samples"},
        {"data empty", [](WavBytes& w) { w.patchU32(WavBytes::kData + 4, 0); }, "data chunk not whole samples"},
        {"no data", [](WavBytes& w) { w.bytes.resize(WavBytes::kData); }, "no data chunk"},
        {"not RIFF", [](WavBytes& w) { w.bytes[0] = 'X'; }, "not a RIFF WAVE file"},
        // Found by fuzzing: the decoder then reads "WAVE" + "fmt " as a chunk of 0x20746d66 bytes.
        {"RIFF size reads WAVE", [](WavBytes& w) { std::memcpy(w.bytes.data() + 4, "WAVE", 4); }, "RIFF size reads as WAVE"},
        {"other chunk first", [&](WavBytes& w) { w.bytes[fmt - 8] = 'x'; }, "chunk before the format chunk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WavBytes w;
        c.edit(w);
        EXPECT_STREQ(w.why(), c.why);
    }
    // Every prefix of a good file is refused without reading past it (ASan watches).
    const WavBytes good;
    for (size_t n = 0; n < good.bytes.size(); ++n) {
        const std::vector<uint8_t> cut(good.bytes.begin(), good.bytes.begin() + static_cast<ptrdiff_t>(n));
        EXPECT_FALSE(checkWav(cut.data(), cut.size())) << n;
    }
}

// The files that crashed the decoder reach the sound player as failed loads,
// reported with its own lines.
TEST(SdlAudioMixer, RefusesHostileFilesWithThePlayersLines) {
    useDummyAudioUnlessChosen();
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    const test::TempFolder folder;
    const std::string path = folder.file("reef_hostile.wav");
    const auto write = [&](const WavBytes& w) { test::writeFile(path, w.bytes); };
    {
        SdlAudioMixer mixer;
        SoundPlayer player(mixer);
        ASSERT_TRUE(player.open());
        for (auto [offset, value] : {std::pair<size_t, uint32_t>{22, 0}, {24, 1}, {24, 0x7fffffff}}) {
            SCOPED_TRACE(offset);
            WavBytes w;
            if (offset == 22) w.patchU16(offset, static_cast<uint16_t>(value));
            else w.patchU32(offset, value);
            write(w);
            EXPECT_EQ(captured([&] { player.loadLoop(path); }), "music == 0\n");
            EXPECT_FALSE(player.hasLoop());
            EXPECT_EQ(captured([&] { player.addEffect(path, 0); }), "sc.chunk == NULL\n");
        }
        write(WavBytes(1, 11025, 8));
        EXPECT_EQ(captured([&] { player.loadLoop(path); }), "");
        EXPECT_TRUE(player.hasLoop());
        player.close();
    }
    std::remove(path.c_str());
    SDL_Quit();
}

}  // namespace
}  // namespace reef
