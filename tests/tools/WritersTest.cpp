// The generator's writers, read back through the loaders the programs use.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "engine/QModel.h"
#include "engine/TQArchive.h"
#include "engine/TQArchiveFormat.h"
#include "engine/WavCheck.h"
#include "platform/SdlEngineImports.h"
#include "testsupport/TempFolder.h"
#include "tools/BmpWriter.h"
#include "tools/DatWriter.h"
#include "tools/GeneratedFiles.h"
#include "tools/Md3Writer.h"
#include "tools/Noise.h"
#include "tools/WavWriter.h"
#include "ui/DatReader.h"
#include "writers/ArchiveWriter.h"
#include "writers/BmpWriter.h"

namespace reef::tools {
namespace {

// Writes bytes into the test's folder; the file's path.
std::string writeTemp(const test::TempFolder& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder.file(name);
    test::writeFile(path, bytes);
    return path;
}

TEST(BmpWriter, DecoderSeesTopRowFirstAndAlphaKept) {
    // 3 x 5 with a distinct colour per row, odd width so every row is padded.
    Image img(3, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) img.at(x, y) = {y / 4.0f, x / 2.0f, 1.0f, (y + 1) / 5.0f};
    SdlEngineImports sdl;
    const test::TempFolder folder;
    for (bool alpha : {false, true}) {
        const std::string path =
            writeTemp(folder, alpha ? "a32.bmp" : "a24.bmp", alpha ? bmp::encode32(img) : bmp::encode24(img));
        const auto d = sdl.decodeBMP(path);
        ASSERT_TRUE(d.has_value());
        ASSERT_EQ(d->width, 3);
        ASSERT_EQ(d->height, 5);
        ASSERT_EQ(d->bytesPerPixel, alpha ? 4 : 3);
        for (int y = 0; y < 5; ++y) {
            const uint8_t* p = d->pixels.data() + static_cast<size_t>(y) * d->pitch + 2 * d->bytesPerPixel;
            EXPECT_EQ(p[0], 255);                                   // blue
            EXPECT_EQ(p[1], 255);                                   // green: x = 2
            EXPECT_EQ(p[2], toByte(y / 4.0f)) << "row " << y;       // red encodes the row
            if (alpha) {
                EXPECT_EQ(p[3], toByte((y + 1) / 5.0f));
            }
        }
    }
}

TEST(BmpWriter, GreyMapDecodesAsPaletteIndices) {
    std::vector<uint8_t> grey(8 * 3);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 10);
    const test::TempFolder folder;
    const auto d = SdlEngineImports().decodeBMP(writeTemp(folder, "grey.bmp", writeBmp(8, 3, 1, grey)));
    ASSERT_TRUE(d.has_value());
    ASSERT_EQ(d->bytesPerPixel, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(d->pixels[static_cast<size_t>(y) * d->pitch + x], grey[y * 8 + x]);
}

TEST(ArchiveWriter, RoundTripsThroughTheReaderScrambledOrNot) {
    const std::vector<uint8_t> payload = {0x00, 0x6B, 0xFF, 'I', 'D', 'P', '3'};
    for (bool scrambled : {false, true}) {
        const std::vector<uint8_t> bytes = wrapInArchive(payload, scrambled ? tqarchive::kFlagScrambled : 0);
        ASSERT_EQ(bytes.size(), tqarchive::kHeaderSize + payload.size());
        EXPECT_EQ(bytes[tqarchive::kPayloadOffset] != payload[0], scrambled);
        TQArchive archive;
        ASSERT_TRUE(TQArchive::isArchive(bytes));
        ASSERT_TRUE(archive.open(bytes));
        EXPECT_EQ(archive.payload(), payload);
        EXPECT_EQ(archive.flags() & tqarchive::kFlagScrambled, scrambled ? tqarchive::kFlagScrambled : 0u);
    }
}

TEST(DatWriter, ReaderGetsMultiLineUmlautValuesAndUnsafeValuesAreRefused) {
    DatWriter w;
    w.section("GER");
    EXPECT_TRUE(w.entry("caption", "Einstellungen für Vögel"));
    EXPECT_TRUE(w.entry("help", "Zeile 1\r\nZeile ß"));
    EXPECT_FALSE(w.entry("bad", "a } b"));   // would end the value early
    EXPECT_FALSE(w.entry("bad2", "a [ b"));  // would end the section
    EXPECT_TRUE(w.entry("last", "x"));
    const std::vector<uint8_t> bytes = w.bytes();
    DatReader reader;
    reader.setSection("GER");
    ASSERT_TRUE(reader.open(bytes.data(), bytes.size()));
    EXPECT_EQ(reader.lookup("caption"), u"Einstellungen f\u00fcr V\u00f6gel");
    EXPECT_EQ(reader.lookup("help"), u"Zeile 1\r\nZeile \u00df");
    EXPECT_TRUE(reader.lookup("bad").empty());
    EXPECT_EQ(reader.lookup("last"), u"x");
}

// A two-triangle square at height 1, rising over 3 frames, with and without the normals block.
AnimatedMesh square() {
    AnimatedMesh m;
    m.mesh.addVertex({0, 0, 1}, 0, 0);
    m.mesh.addVertex({1, 0, 1}, 1, 0);
    m.mesh.addVertex({1, 1, 1}, 1, 1);
    m.mesh.addVertex({0, 1, 1}, 0, 1);
    m.mesh.addTriangle(0, 1, 2);
    m.mesh.addTriangle(0, 2, 3);
    for (int f = 0; f < 3; ++f) {
        std::vector<P3> frame = m.mesh.positions;
        for (P3& p : frame) p.z += 0.5f * f;
        m.frames.push_back(frame);
    }
    return m;
}

TEST(Md3Writer, LoaderReadsPositionsFramesAndNormalsInItsAxes) {
    const AnimatedMesh m = square();
    Md3Options options;
    options.name = "square";
    for (int f = 0; f < 3; ++f) options.normals.push_back(std::vector<P3>(4, P3{0, 0, 1}));  // up in the file frame
    for (bool withNormals : {false, true}) {
        Md3Options o = options;
        if (!withNormals) o.normals.clear();
        const std::vector<uint8_t> bytes = encodeMd3(m, o);
        QModel model;
        ASSERT_TRUE(model.loadMD3FromMemory(bytes.data(), bytes.size(), true, "square"));
        ASSERT_EQ(model.numFrames(), 3);
        ASSERT_EQ(model.vertexCount(), 4);
        ASSERT_EQ(model.triangleCount(), 2);
        // File (x, y, z) becomes (x, z, -y): vertex 2 = (1, 1, 1 + 0.5 f).
        for (int f = 0; f < 3; ++f) {
            const std::array<float, 3> p = model.position(f, 2);
            EXPECT_FLOAT_EQ(p[0], 1.0f);
            EXPECT_FLOAT_EQ(p[1], 1.0f + 0.5f * f);
            EXPECT_FLOAT_EQ(p[2], -1.0f);
        }
        const auto& texCoords = model.texCoords();
        EXPECT_FLOAT_EQ(texCoords[2 * 2], 1.0f);
        EXPECT_FLOAT_EQ(texCoords[2 * 2 + 1], 1.0f);
        if (withNormals) {
            // Up in the file frame must arrive as +y for the renderer.
            const std::array<float, 3> n = model.normal(1, 0);
            EXPECT_NEAR(n[0], 0.0f, 1e-6f);
            EXPECT_NEAR(n[1], 1.0f, 1e-6f);
            EXPECT_NEAR(n[2], 0.0f, 1e-6f);
        }
    }
}

TEST(WavWriter, HeaderDescribes16BitMonoPcm) {
    const std::vector<uint8_t> b = wav::encodeMono16({0.0f, 1.0f, -1.0f, 2.0f});
    ASSERT_EQ(b.size(), wav::kHeaderSize + 8);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
    EXPECT_EQ(b[20] | b[21] << 8, 1);                                       // PCM
    EXPECT_EQ(b[22] | b[23] << 8, 1);                                       // mono
    EXPECT_EQ(b[24] | b[25] << 8 | b[26] << 16, wav::kSampleRate);
    EXPECT_EQ(b[34] | b[35] << 8, 16);
    EXPECT_EQ(static_cast<int16_t>(b[46] | b[47] << 8), 32767);
    EXPECT_EQ(static_cast<int16_t>(b[50] | b[51] << 8), 32767);            // clipped
    // What the generator writes is what the saver's check lets through.
    const char* why = "accepted";
    EXPECT_TRUE(checkWav(b.data(), b.size(), nullptr, &why)) << why;
}

TEST(Noise, FractalAndCellularTileWithTheirPeriod) {
    const Noise n(5);
    for (float x : {0.1f, 1.7f, 3.3f})
        for (float y : {0.4f, 2.2f}) {
            EXPECT_NEAR(n.fractal(x, y, 4, 4), n.fractal(x + 4.0f, y, 4, 4), 1e-4f);
            EXPECT_NEAR(n.fractal(x, y, 4, 4), n.fractal(x, y + 4.0f, 4, 4), 1e-4f);
            float a1, a2, b1, b2;
            n.cellular(x, y, 4, 1.0f, 0.2f, a1, a2);
            n.cellular(x + 4.0f, y - 4.0f, 4, 1.0f + 6.2831853f, 0.2f, b1, b2);
            EXPECT_NEAR(a1, b1, 1e-4f);
            EXPECT_NEAR(a2, b2, 1e-4f);
        }
}

TEST(GeneratedFiles, RefusesPathsOutsideTheFolder) {
    GeneratedFiles folder;
    EXPECT_FALSE(folder.add("../escape.txt", {1}));
    EXPECT_FALSE(folder.add("/abs.txt", {1}));
    EXPECT_FALSE(folder.add("", {1}));
    EXPECT_TRUE(folder.add("models/x.tqm", {1, 2}));
    EXPECT_EQ(folder.totalBytes(), 2u);
}

}  // namespace
}  // namespace reef::tools
