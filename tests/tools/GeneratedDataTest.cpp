// The data folder the build generated: every file the scene, the dialogs and the
// help overlay read is there, loads with the project's loaders and has what the
// scene relies on (frame ranges, alpha, power-of-two sizes, keys, sound format).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/HeightField.h"
#include "engine/Md3Format.h"
#include "engine/QModel.h"
#include "engine/TQArchive.h"
#include "engine/TQArchiveFormat.h"
#include "platform/SdlEngineImports.h"
#include "tests/tools/GeneratedDataFolder.h"
#include "testsupport/GlTestContext.h"
#include "tools/DataGenerator.h"
#include "tools/TerrainMap.h"
#include "ui/DatReader.h"
#include "ui/FontFormat.h"
#include "ui/ScreenText.h"

namespace reef::tools {
namespace {

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

class GeneratedData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dataDir().empty()) << "REEF_DATA_DIR is not set";
        ASSERT_TRUE(std::filesystem::is_directory(dataDir())) << dataDir() << " missing: build reef_data";
    }
    std::optional<DecodedImage> decode(const std::string& name) { return m_sdl.decodeBMP(dataDir() + name); }
    SdlEngineImports m_sdl;
};

std::vector<std::string> sequence(const char* pattern, int first) {
    std::vector<std::string> names;
    char name[96];
    for (int i = 0; i < 32; ++i) {
        std::snprintf(name, sizeof name, pattern, first + i);
        names.push_back(name);
    }
    return names;
}

// Alpha statistics of a 32-bit picture: share of transparent (< 8) and opaque (> 247) texels.
void alphaShares(const DecodedImage& d, float& transparent, float& opaque) {
    size_t t = 0, o = 0, n = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x, ++n) {
            const uint8_t a = d.pixels[static_cast<size_t>(y) * d.pitch + static_cast<size_t>(x) * 4 + 3];
            t += a < 8;
            o += a > 247;
        }
    transparent = static_cast<float>(t) / n;
    opaque = static_cast<float>(o) / n;
}

TEST_F(GeneratedData, EveryTextureDecodesPowerOfTwoWithAlphaWhereBlendingNeedsIt) {
    struct Expect {
        std::string name;
        int bytesPerPixel;
    };
    std::vector<Expect> expected = {
        {"sky_cloudy.tqt", 3}, {"sky_clear_32.tqt", 3}, {"sky_clear_16.tqt", 3}, {"models//gull.tqt", 3},
        {"models//manta.tqt", 3}, {"terrain.tqt", 3}, {"water.tqt", 4}, {"gwfader.tqt", 4},
        {"models//rock2.tqt", 4}, {"models//palmen_bg.tqt", 4}, {"blendmap.tqt", 4},
        {"models/reeffishes/anglefish.tqt", 3}, {"models/reeffishes/silverfish.tqt", 3},
        {"models//insel.tqt", 3}, {"models//palmenstaemme.tqt", 3}, {"models//palmenblaetter.tqt", 4},
    };
    for (const char* c : {"a", "b", "c", "d", "f", "g", "h", "i"}) expected.push_back({std::string("models//coral_") + c + ".tqt", 3});
    for (const auto& n : sequence("caustics64/caust%.2d.tqt", 0)) expected.push_back({n, 3});
    for (const auto& n : sequence("causticsfish32/caust%.2d.tqt", 0)) expected.push_back({n, 3});
    for (const auto& n : sequence("highlight/highlight%.5d.tqt", 44)) expected.push_back({n, 4});
    for (const Expect& e : expected) {
        const auto d = decode(e.name);
        ASSERT_TRUE(d.has_value()) << e.name;
        EXPECT_TRUE(powerOfTwo(d->width) && powerOfTwo(d->height)) << e.name << " " << d->width << "x" << d->height;
        EXPECT_EQ(d->bytesPerPixel, e.bytesPerPixel) << e.name;
    }
    // Cut-outs have both clear and solid texels; the fader runs from solid fog to clear.
    for (const char* name : {"models//rock2.tqt", "models//palmen_bg.tqt", "models//palmenblaetter.tqt", "gwfader.tqt"}) {
        const auto d = decode(name);
        ASSERT_TRUE(d.has_value());
        float clear = 0, solid = 0;
        alphaShares(*d, clear, solid);
        EXPECT_GT(clear, 0.05f) << name;
        EXPECT_GT(solid, 0.05f) << name;
    }
    const auto fader = decode("gwfader.tqt");
    const uint8_t* top = fader->pixels.data();
    EXPECT_EQ(top[3], 255);  // the top row is the far edge: solid fog colour
    EXPECT_NEAR(top[2], 0.121 * 255, 1.5);
    EXPECT_NEAR(top[1], 0.590 * 255, 1.5);
    EXPECT_NEAR(top[0], 0.707 * 255, 1.5);
    EXPECT_LT(fader->pixels[static_cast<size_t>(fader->height - 1) * fader->pitch + 3], 8);
    // The water is see-through everywhere, never opaque or invisible.
    float clear = 0, solid = 0;
    alphaShares(*decode("water.tqt"), clear, solid);
    EXPECT_EQ(clear, 0.0f);
    EXPECT_EQ(solid, 0.0f);
}

// Mean of all colour channels, 0..1.
float meanBrightness(const DecodedImage& d) {
    double sum = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width * d.bytesPerPixel; ++x)
            if (d.bytesPerPixel == 3 || x % 4 != 3) sum += d.pixels[static_cast<size_t>(y) * d.pitch + x];
    return static_cast<float>(sum / (d.width * d.height * 3) / 255.0);
}

// Mean absolute difference of two same-sized pictures, 0..255.
float difference(const DecodedImage& a, const DecodedImage& b) {
    double sum = 0;
    for (size_t i = 0; i < std::min(a.pixels.size(), b.pixels.size()); ++i) sum += std::abs(a.pixels[i] - b.pixels[i]);
    return static_cast<float>(sum / static_cast<double>(a.pixels.size()));
}

TEST_F(GeneratedData, CausticsAreBrightAndSequencesLoopAndTile) {
    for (const char* pattern : {"caustics64/caust%.2d.tqt", "causticsfish32/caust%.2d.tqt", "highlight/highlight%.5d.tqt"}) {
        const bool highlight = std::string(pattern).find("highlight") != std::string::npos;
        const auto names = sequence(pattern, highlight ? 44 : 0);
        std::vector<DecodedImage> frames;
        for (const auto& n : names) frames.push_back(*decode(n));
        // The step from the last frame back to the first is no bigger than an ordinary step.
        float largestStep = 0;
        for (size_t i = 0; i + 1 < frames.size(); ++i) largestStep = std::max(largestStep, difference(frames[i], frames[i + 1]));
        EXPECT_GT(largestStep, 0.0f) << pattern << ": frames do not move";
        EXPECT_LE(difference(frames.back(), frames.front()), largestStep * 1.1f) << pattern;
        // Tileable: the wrap from the right column to the left is like any neighbouring pair of columns.
        const DecodedImage& f = frames[0];
        const int bpp = f.bytesPerPixel;
        double seam = 0, inner = 0;
        for (int y = 0; y < f.height; ++y)
            for (int c = 0; c < bpp; ++c) {
                const uint8_t* row = f.pixels.data() + static_cast<size_t>(y) * f.pitch;
                seam += std::abs(row[c] - row[(f.width - 1) * bpp + c]);
                inner += std::abs(row[c] - row[bpp + c]);
            }
        EXPECT_LT(seam, inner * 1.6 + 1.0) << pattern;
        if (!highlight) {
            // Multiplied over the floor and the fish: mostly near white.
            EXPECT_GT(meanBrightness(f), 0.78f) << pattern;
        }
    }
}

TEST_F(GeneratedData, HeightMapLoadsAndTheDrawnFloorCarriesEveryCoral) {
    const auto d = decode("terrain_map.tqt");
    ASSERT_TRUE(d.has_value());
    ASSERT_EQ(d->bytesPerPixel, 1);
    EXPECT_EQ(d->width % 4, 0);  // the decoder pads rows to 4 bytes
    // The floor as the scene builds it: resolution 50, 0.015 per grey level, 60 x 50 at y = -8.
    setEngineImports(&m_sdl);
    HeightField field;
    ASSERT_TRUE(field.loadHeightMap(dataDir() + "terrain_map.tqt"));
    setEngineImports(nullptr);
    field.setResolution(50);
    field.setHeightScale(0.015f);
    field.setSize(60.0f, 50.0f);
    const float upx = 60.0f / field.imageWidth(), upz = 50.0f / field.imageHeight();
    const auto vertexY = [&](int i, int j) {
        return -8.0f + field.heightAt(static_cast<int>(i * field.stepX()), static_cast<int>(j * field.stepZ())) * 0.015f;
    };
    // Height of the drawn grid at world (x, z), bilinear over its cell.
    const auto floorAt = [&](float x, float z) {
        const float gi = (x + 30.0f) / (field.stepX() * upx), gj = (50.0f - z) / (field.stepZ() * upz);
        const int i = static_cast<int>(gi), j = static_cast<int>(gj);
        const float fi = gi - i, fj = gj - j;
        return (vertexY(i, j) * (1 - fi) + vertexY(i + 1, j) * fi) * (1 - fj) +
               (vertexY(i, j + 1) * (1 - fi) + vertexY(i + 1, j + 1) * fi) * fj;
    };
    // Each coral stands on the drawn floor: not floating above it, not sunk into it.
    for (const TerrainMap::Anchor& a : TerrainMap::coralBases()) {
        const float floor = floorAt(a.x, a.z);
        EXPECT_GT(floor, a.y - 0.1f) << "coral at " << a.x << "," << a.z << " floats";
        EXPECT_LT(floor, a.y + 0.45f) << "coral at " << a.x << "," << a.z << " is buried";
    }
    // Near the camera the floor is low; it rises toward the back.
    EXPECT_LT(floorAt(0.0f, 3.0f), floorAt(0.0f, 45.0f));
}

struct ModelExpect {
    const char* path;
    int frames;       // at least: the highest frame a sequence uses + 1
    float scale;      // the object scale the scene draws it with
    float minExtent;  // world units after scale (largest bounding-box side)
    float maxExtent;
};

TEST_F(GeneratedData, ModelsLoadWithTheirFramesSizesAndSeamlessLoops) {
    const ModelExpect models[] = {
        // Corals are clusters of colonies: a patch of floor each, not one tuft.
        {"models/coral_a.tqm", 10, 1.0f, 1.5f, 5.5f},   {"models/coral_b.tqm", 20, 0.04f, 0.8f, 1.8f},
        {"models/coral_c.tqm", 20, 0.04f, 0.8f, 1.8f},  {"models/coral_d.tqm", 20, 0.05f, 1.2f, 2.5f},
        {"models/coral_f.tqm", 10, 1.0f, 1.5f, 5.5f},   {"models/coral_g.tqm", 10, 1.0f, 1.5f, 5.5f},
        {"models/coral_h.tqm", 10, 1.0f, 1.5f, 5.5f},   {"models/coral_i.tqm", 10, 1.2f, 1.5f, 5.5f},
        {"models//gull.tqm", 43, 0.05f, 1.2f, 2.2f},    {"models/insel.tqm", 1, 1.0f, 8.0f, 30.0f},
        {"models/palmenstaemme.tqm", 20, 1.0f, 4.0f, 20.0f}, {"models/palmenblaetter.tqm", 20, 1.0f, 4.0f, 25.0f},
        {"models/reeffishes/rfish.tqm", 10, 0.03f, 0.2f, 1.0f}, {"models/reeffishes/silverfish.tqm", 10, 0.03f, 0.2f, 1.0f},
    };
    int withNormals = 0, archived = 0, scrambled = 0;
    for (const ModelExpect& e : models) {
        SCOPED_TRACE(e.path);
        QModel m;
        ASSERT_TRUE(m.loadMD3(dataDir() + e.path, true));
        ASSERT_GE(m.numFrames(), e.frames);
        EXPECT_LE(m.triangleCount(), 4000);
        EXPECT_GT(m.triangleCount(), 0);
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (const auto& p : m.framePositions(0))
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
            }
        const float extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]}) * e.scale;
        EXPECT_GE(extent, e.minExtent);
        EXPECT_LE(extent, e.maxExtent);
        // Every vertex has a normal to light it by (a zero normal would draw it black).
        for (const auto& n : m.frameNormals(0)) EXPECT_NEAR(std::hypot(n[0], n[1], n[2]), 1.0f, 1e-3f);
        // Loops: the last frame of each looping range leads back to its first as smoothly
        // as the frames inside it follow each other.
        std::vector<std::pair<int, int>> loops;
        if (std::string(e.path).find("gull") != std::string::npos) loops = {{0, 19}, {23, 42}};
        else if (m.numFrames() > 1) loops = {{0, std::min(m.numFrames(), e.frames) - 1}};
        for (const auto& [first, last] : loops) {
            const auto step = [&](int a, int b) {
                float worst = 0;
                const auto fa = m.framePositions(a);
                const auto fb = m.framePositions(b);
                for (size_t i = 0; i < fa.size(); ++i)
                    for (int k = 0; k < 3; ++k) worst = std::max(worst, std::fabs(fa[i][k] - fb[i][k]));
                return worst;
            };
            float largest = 0;
            for (int f = first; f < last; ++f) largest = std::max(largest, step(f, f + 1));
            EXPECT_LE(step(last, first), largest * 1.25f + 0.02f) << "range " << first << "-" << last;
        }
        const std::vector<uint8_t> bytes = readAll(dataDir() + e.path);
        if (TQArchive::isArchive(bytes)) {
            ++archived;
            TQArchive a;
            ASSERT_TRUE(a.open(bytes));
            scrambled += (a.flags() & tqarchive::kFlagScrambled) != 0;
            const auto& p = a.payload();
            withNormals += p.size() > md3::kHeaderSize &&
                           (p[104] | p[105] << 8 | p[106] << 16 | static_cast<size_t>(p[107]) << 24) < p.size();
        } else {
            withNormals += (bytes[104] | bytes[105] << 8 | bytes[106] << 16 | static_cast<size_t>(bytes[107]) << 24) < bytes.size();
        }
    }
    EXPECT_GT(withNormals, 0);
    EXPECT_LT(withNormals, static_cast<int>(std::size(models)));
    EXPECT_GT(scrambled, 0);
    EXPECT_GT(archived, 0);
}

TEST_F(GeneratedData, TextFilesHoldEveryKeyTheDialogsAndTheOverlayUse) {
    struct File {
        const char* name;
        std::vector<const char*> keys;
    };
    const File files[] = {
        {"Directory.dat", {"win32reg", "appname_long", "mainbitmap"}},
        {"Language.dat",
         {"caption", "cancel", "OK", "screensettings", "intro", "boid", "fish", "birds", "animals", "diverse", "sky",
          "camera", "sound", "infotxt", "hyperlink", "hyperlink_txt", "boidtype", "boidcount", "fishtype", "fishcount",
          "birdtype", "gulls", "animalstype", "diversetype", "skytext", "cloudy", "cloudless", "cameratext", "automatic", "top",
          "middle", "bottom", "scrollspeed", "resttime_top", "resttime_bottom", "soundtext", "on_off", "help",
          "helpexpanded"}},
        {"ScreenLanguage.dat",
         {"caption", "displaymodetext", "leaveresolution", "bitsperpixel", "resolution", "shadesecondary", "OK", "cancel"}},
    };
    for (const File& f : files) {
        DatReader reader;
        reader.setSection("GER");
        ASSERT_TRUE(reader.open(dataDir() + f.name)) << f.name;
        for (const char* key : f.keys) EXPECT_FALSE(reader.lookup(key).empty()) << f.name << ": " << key;
        EXPECT_FALSE(reader.streamFromArchive()) << f.name;
    }
    DatReader directory;
    directory.setSection("GER");
    ASSERT_TRUE(directory.open(dataDir() + "Directory.dat"));
    std::string picture;
    for (char16_t c : directory.lookup("mainbitmap")) picture += static_cast<char>(c);
    EXPECT_TRUE(decode(picture).has_value()) << picture;
    DatReader language;
    language.setSection("GER");
    ASSERT_TRUE(language.open(dataDir() + "Language.dat"));
    const std::u16string help = language.lookup("helpexpanded");
    for (const char16_t* key : {u"Esc", u"Pos1", u"Pfeil hoch", u"Pfeil runter", u"Leertaste", u"F1", u"F:"})
        EXPECT_NE(help.find(key), std::u16string::npos);
    for (const char* name : {"icon.bmp", "gull_icon.bmp"}) EXPECT_TRUE(decode(name).has_value()) << name;
    const auto gullIcon = decode("gull_icon.bmp");
    EXPECT_EQ(gullIcon->width, 64);
    EXPECT_EQ(gullIcon->height, 32);
}

// 16-bit samples of a mono PCM WAV after checking its header; empty when it is not one.
std::vector<int16_t> wavSamples(const std::vector<uint8_t>& b, int& rate) {
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" || std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return {};
    const int format = b[20] | b[21] << 8, channels = b[22] | b[23] << 8, bits = b[34] | b[35] << 8;
    rate = b[24] | b[25] << 8 | b[26] << 16;
    const size_t bytes = b[40] | b[41] << 8 | b[42] << 16 | static_cast<size_t>(b[43]) << 24;
    if (format != 1 || channels != 1 || bits != 16 || 44 + bytes > b.size()) return {};
    std::vector<int16_t> s(bytes / 2);
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(b[44 + 2 * i] | b[45 + 2 * i] << 8);
    return s;
}

// Every text file holds a German and an English section with the same keys in
// the same order, and no English text is empty: a text added in one language
// only, or lost in the other, fails here.
TEST_F(GeneratedData, TextFilesHoldTheSameKeysInGermanAndEnglish) {
    for (const char* name : {"Directory.dat", "Language.dat", "ScreenLanguage.dat"}) {
        SCOPED_TRACE(name);
        DatReader german, english;
        german.setSection("GER");
        english.setSection("ENG");
        ASSERT_TRUE(german.open(dataDir() + name));
        ASSERT_TRUE(english.open(dataDir() + name));
        german.lookup("");
        english.lookup("");
        ASSERT_TRUE(german.parsed());
        ASSERT_TRUE(english.parsed());
        std::vector<std::string> germanKeys, englishKeys;
        for (const auto& [key, value] : german.entries()) germanKeys.push_back(key);
        for (const auto& [key, value] : english.entries()) {
            englishKeys.push_back(key);
            EXPECT_FALSE(value.empty()) << key;
        }
        EXPECT_GE(germanKeys.size(), 3u);
        EXPECT_EQ(englishKeys, germanKeys);
    }
    // The settings are found under one path whichever language a person reads.
    DatReader german, english;
    german.setSection("GER");
    english.setSection("ENG");
    ASSERT_TRUE(german.open(dataDir() + "Directory.dat"));
    ASSERT_TRUE(english.open(dataDir() + "Directory.dat"));
    EXPECT_EQ(english.lookup("win32reg"), german.lookup("win32reg"));
    DatReader language;
    language.setSection("ENG");
    ASSERT_TRUE(language.open(dataDir() + "Language.dat"));
    EXPECT_EQ(language.lookup("caption"), u"Settings");
    EXPECT_EQ(language.lookup("hyperlink"), u"README.md");
}

TEST_F(GeneratedData, SoundsArePcmAtTheMixerRateAndTheWaterLoopsWithoutAClick) {
    int rate = 0;
    const auto water = wavSamples(readAll(dataDir() + "sound/water.wav"), rate);
    ASSERT_GT(water.size(), 22050u);
    EXPECT_EQ(rate, 22050);
    double meanStep = 0;
    for (size_t i = 1; i < water.size(); ++i) meanStep += std::abs(water[i] - water[i - 1]);
    meanStep /= static_cast<double>(water.size() - 1);
    EXPECT_LT(std::abs(water.front() - water.back()), meanStep * 6.0 + 50.0);
    std::vector<std::vector<int16_t>> cries;
    for (int i = 1; i <= 4; ++i) {
        cries.push_back(wavSamples(readAll(dataDir() + "sound/seagull" + std::to_string(i) + ".wav"), rate));
        ASSERT_GT(cries.back().size(), 11025u) << i;
        EXPECT_EQ(rate, 22050);
        const int16_t peak = *std::max_element(cries.back().begin(), cries.back().end());
        EXPECT_GT(peak, 16000) << "cry " << i << " is too quiet";
    }
    for (size_t a = 0; a < cries.size(); ++a)
        for (size_t b = a + 1; b < cries.size(); ++b) EXPECT_NE(cries[a], cries[b]);
}

TEST_F(GeneratedData, FontLoadsWithUmlautsAndOneLineHeight) {
    const std::vector<uint8_t> bytes = readAll(dataDir() + "font.tqf");
    ASSERT_GT(bytes.size(), tqf::glyphRecordsOffset(0));
    const auto i32 = [&](size_t at) { return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24); };
    EXPECT_TRUE(powerOfTwo(i32(tqf::kWidthOffset)));
    EXPECT_TRUE(powerOfTwo(i32(tqf::kHeightOffset)));
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    ScreenText text;
    ASSERT_TRUE(text.loadFontFromMemory(bytes.data(), bytes.size()));
    int height = -1;
    for (char16_t c : std::u16string(u"AZaz09 \u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00df\u00e9:/")) {
        const ScreenText::Glyph* g = text.findGlyph(c);
        ASSERT_NE(g, nullptr) << static_cast<int>(c);
        EXPECT_GT(g->width, 0);
        if (height < 0) height = g->height;
        EXPECT_EQ(g->height, height);
        EXPECT_LT(g->leftU, g->rightU);
        EXPECT_LT(g->topV, g->bottomV);  // rows go down the texture from the glyph's top
    }
    EXPECT_GE(height, 14);
    EXPECT_LE(height, 22);
}

TEST_F(GeneratedData, FolderIsSmallAndTheGeneratorRepeatsItByteForByte) {
    GeneratedFiles again;
    ASSERT_TRUE(DataGenerator().generate(again));
    size_t total = 0;
    for (const auto& [path, bytes] : again.files()) {
        const std::vector<uint8_t> onDisk = readAll(dataDir() + path);
        EXPECT_TRUE(onDisk == bytes) << path << " differs from a second run";
        total += bytes.size();
    }
    EXPECT_LT(total, 40u * 1024u * 1024u);
    EXPECT_GT(again.files().size(), 140u);
}

}  // namespace
}  // namespace reef::tools
