// Loading, animating and drawing of QModel, with models built in memory.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <functional>
#include <limits>

#include "core/Clock.h"
#include "core/Random.h"
#include "engine/FilePath.h"
#include "engine/Md3Format.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/FeedbackPolygons.h"
#include "testsupport/GlTestContext.h"
#include "testsupport/GridModel.h"
#include "testsupport/TempFolder.h"
#include "writers/ArchiveWriter.h"
#include "writers/ByteWriter.h"

namespace reef {
namespace {

using test::gridModel;

bool load(QModel& model, const std::vector<uint8_t>& bytes, bool lighting = false) {
    return model.loadMD3FromMemory(bytes.data(), bytes.size(), lighting, "test.tqm");
}

void expectUnloaded(const QModel& model) {
    EXPECT_FALSE(model.loaded());
    EXPECT_EQ(model.numFrames(), 0);
    EXPECT_TRUE(model.gridPositions().empty());
    EXPECT_TRUE(model.packedNormals().empty());
    EXPECT_TRUE(model.indices().empty());
}

// One triangle per frame; frame f has its vertices as given, shifted by f * shift along file x.
Md3Model triangleModel(int frames, std::array<std::array<int16_t, 3>, 3> corners, int16_t shift = 0) {
    Md3Model model;
    Md3Surface s;
    s.triangles = {{0, 1, 2}};
    s.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
    for (int f = 0; f < frames; ++f) {
        std::vector<std::array<int16_t, 3>> frame;
        for (auto c : corners) frame.push_back({static_cast<int16_t>(c[0] + f * shift), c[1], c[2]});
        s.positions.push_back(frame);
    }
    model.surfaces.push_back(s);
    return model;
}

TEST(QModelLoad, ConvertsStoredCoordinatesToWorldUnits) {
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(triangleModel(1, {{{64, 128, -192}, {0, 0, 0}, {64, 0, 0}}}))));
    EXPECT_TRUE(model.loaded());
    EXPECT_EQ(model.numFrames(), 1);
    EXPECT_EQ(model.vertexCount(), 3);
    EXPECT_EQ(model.triangleCount(), 1);
    const std::array<float, 3> p = model.position(0, 0);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[1], -3.0f);
    EXPECT_FLOAT_EQ(p[2], -2.0f);
    EXPECT_FLOAT_EQ(model.texCoords()[2], 1.0f);  // s of vertex 1
}

TEST(QModelLoad, OnlyTheFirstSurfaceIsUsed) {
    Md3Model m = gridModel(3, 2);
    Md3Model other = gridModel(3, 5);
    m.surfaces.push_back(other.surfaces[0]);
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m)));
    EXPECT_EQ(model.triangleCount(), 4);
    EXPECT_EQ(model.vertexCount(), 6);
}

TEST(QModelLoad, TagsMoveTheFirstSurface) {
    Md3Model m = triangleModel(2, {{{64, 128, -192}, {0, 0, 0}, {64, 0, 0}}});
    m.tags = 3;
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m)));
    EXPECT_FLOAT_EQ(model.position(1, 0)[0], 1.0f);
}

// Normals are kept as directions: one packed step is 1/127 of a unit.
constexpr float kNormalStep = 1.0f / QModel::kNormalRange;

TEST(QModelLoad, NormalsBlockIsNegatedAndUsedOnlyWithLighting) {
    Md3Model m = triangleModel(2, {{{0, 0, 0}, {64, 0, 0}, {0, 64, 0}}});
    m.withNormals = true;
    m.normals = {{{1, 2, 3}, {0, 3, -4}, {7, 8, 9}}, {{0.5f, 0, 0}, {0, 0.5f, 0}, {0, 0, 0.5f}}};
    const std::vector<uint8_t> bytes = writeMd3(m);

    QModel lit;
    ASSERT_TRUE(load(lit, bytes, true));
    const std::array<float, 3> n = lit.normal(0, 1);
    EXPECT_NEAR(n[0], 0.0f, kNormalStep);
    EXPECT_NEAR(n[1], -0.6f, kNormalStep);
    EXPECT_NEAR(n[2], 0.8f, kNormalStep);
    EXPECT_NEAR(lit.normal(1, 2)[2], -1.0f, kNormalStep);
    EXPECT_EQ(lit.packedNormals().size(), lit.gridPositions().size());

    QModel unlit;
    ASSERT_TRUE(load(unlit, bytes, false));
    EXPECT_TRUE(unlit.packedNormals().empty());
    EXPECT_FLOAT_EQ(unlit.normal(0, 1)[0], 0.0f);
}

TEST(QModelLoad, NormalsWithoutADirectionStayZero) {
    Md3Model m = triangleModel(1, {{{0, 0, 0}, {64, 0, 0}, {0, 64, 0}}});
    m.withNormals = true;
    const float inf = std::numeric_limits<float>::infinity();
    m.normals = {{{0, 0, 0}, {std::nanf(""), 1, 0}, {inf, 0, 0}}};
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m), true));
    for (int v = 0; v < 3; ++v) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(model.normal(0, v)[k], 0.0f) << v;
    }
    // Tiny and huge normals keep their direction.
    m.normals = {{{1e-30f, 0, 0}, {0, -3e38f, 0}, {0, 0, 2e-45f}}};
    ASSERT_TRUE(load(model, writeMd3(m), true));
    EXPECT_FLOAT_EQ(model.normal(0, 0)[0], -1.0f);
    EXPECT_FLOAT_EQ(model.normal(0, 1)[1], 1.0f);
    EXPECT_FLOAT_EQ(model.normal(0, 2)[2], -1.0f);
}

TEST(QModelLoad, PartialNormalsBlockLeavesTheRestZero) {
    Md3Model m = triangleModel(2, {{{0, 0, 0}, {64, 0, 0}, {0, 64, 0}}});
    m.withNormals = true;
    m.normals = {{{1, 0, 0}, {0, 1, 0}}};  // one frame, two vertices
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m), true));
    EXPECT_FLOAT_EQ(model.normal(0, 1)[1], -1.0f);
    EXPECT_EQ(model.normal(0, 2), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(model.normal(1, 0), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
}

TEST(QModelLoad, ComputedNormalsFaceAwayFromTheWindingAndJoinAtSeams) {
    // Triangle A lies flat; triangle B stands upright and shares A's first corner
    // by position only (vertex 3 duplicates vertex 0, as at a texture seam).
    Md3Model m;
    Md3Surface s;
    s.triangles = {{0, 1, 2}, {3, 4, 5}};
    s.texCoords.assign(6, {0.0f, 0.0f});
    s.positions = {{{0, 0, 0}, {64, 0, 0}, {0, 64, 0}, {0, 0, 0}, {0, 0, 64}, {0, 64, 0}}};
    m.surfaces.push_back(s);
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m), true));
    const auto n = [&](int vertex) { return model.normal(0, vertex); };

    // Vertex 1 belongs to A alone: A's face normal (0, -1, 0), negated.
    EXPECT_NEAR(n(1)[0], 0.0f, 1e-6f);
    EXPECT_NEAR(n(1)[1], 1.0f, 1e-6f);
    EXPECT_NEAR(n(1)[2], 0.0f, 1e-6f);
    // Vertices 0 and 3 sit at one position: both get the same averaged, unit normal.
    EXPECT_EQ(n(0), n(3));
    EXPECT_NEAR(std::hypot(n(0)[0], n(0)[1], n(0)[2]), 1.0f, 1e-5f);
    EXPECT_GT(std::fabs(n(0)[0]), 0.1f);  // B's sideways normal is mixed in
    EXPECT_GT(n(0)[1], 0.1f);             // and so is A's
}

TEST(QModelLoad, EndOffsetAtTheEndMeansNoNormalsBlock) {
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(triangleModel(1, {{{0, 0, 0}, {64, 0, 0}, {0, 64, 0}}})), true));
    // Computed, not read: the flat triangle's normal points up.
    EXPECT_NEAR(model.normal(0, 0)[1], 1.0f, 1e-6f);
}

TEST(QModelLoad, FramesWithoutVerticesLoadEmpty) {
    Md3Model m;
    m.surfaces.push_back(Md3Surface{});
    m.surfaces[0].positions.assign(3, {});
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m), true));
    EXPECT_EQ(model.numFrames(), 3);
    EXPECT_TRUE(model.gridPositions().empty());
    EXPECT_TRUE(model.packedNormals().empty());
    EXPECT_TRUE(model.framePositions(2).empty());
}

TEST(QModelLoad, ArchiveWrappedModelsLoadLikePlainOnes) {
    const std::vector<uint8_t> plain = writeMd3(gridModel(4, 3));
    for (uint32_t flags : {0u, 1u, 5u, 0x100u}) {
        SCOPED_TRACE(flags);
        QModel model;
        ASSERT_TRUE(load(model, wrapInArchive(plain, flags)));
        EXPECT_EQ(model.numFrames(), 4);
        EXPECT_EQ(model.triangleCount(), 6);
        EXPECT_FLOAT_EQ(model.position(3, 2)[0], (64.0f + 3.0f) / 64.0f);
    }
}

TEST(QModelLoad, PackedOrEmptyArchiveFailsCleanly) {
    const std::vector<uint8_t> plain = writeMd3(gridModel(2, 1));
    QModel packed;
    EXPECT_FALSE(load(packed, wrapInArchive(plain, 2)));
    expectUnloaded(packed);
    QModel empty;
    EXPECT_FALSE(load(empty, wrapInArchive({}, 0)));
    expectUnloaded(empty);
    QModel shortPayload;
    EXPECT_FALSE(load(shortPayload, wrapInArchive(std::vector<uint8_t>(plain.begin(), plain.begin() + 50), 1)));
    expectUnloaded(shortPayload);
}

TEST(QModelLoad, MissingFilePrintsTheFixedLine) {
    QModel model;
    test::captureOutput();
    EXPECT_FALSE(model.loadMD3("/nonexistent/dir/model.tqm", false));
    EXPECT_EQ(test::capturedOutput(), "QModel::loadMD3 fopen /nonexistent/dir/model.tqm failed\n");
    expectUnloaded(model);
}

TEST(QModelLoad, BackslashPathsOpen) {
    const test::TempFolder folder;
    const std::string dir = folder.path();
    const std::vector<uint8_t> bytes = wrapInArchive(writeMd3(gridModel(2, 2)), 1);
    test::writeFile(dir + "/m.tqm", bytes);
    std::string windowsStyle = dir + "\\m.tqm";
    QModel model;
    EXPECT_TRUE(model.loadMD3(windowsStyle, true));
    EXPECT_EQ(model.numFrames(), 2);
}

// Every broken variant must fail without reading out of bounds (ASan watches) and
// leave the model unloaded, even when it held a good model before.
TEST(QModelLoad, HostileFilesAreRejected) {
    namespace f = md3;
    Md3Offsets at;
    const std::vector<uint8_t> good = writeMd3(gridModel(3, 2), &at);
    const size_t s = at.surface;
    using Edit = std::function<void(ByteWriter&)>;
    struct Case {
        const char* what;
        Edit edit;
    };
    const Case cases[] = {
        {"negative frame count", [](auto& w) { w.patchI32(f::kHeaderFrameCountOffset, -1); }},
        {"huge frame count", [](auto& w) { w.patchI32(f::kHeaderFrameCountOffset, 0x7fffffff); }},
        {"frame count moves surface out", [](auto& w) { w.patchI32(f::kHeaderFrameCountOffset, 900); }},
        {"negative tag count", [](auto& w) { w.patchI32(f::kHeaderTagCountOffset, -5); }},
        {"huge tag count", [](auto& w) { w.patchI32(f::kHeaderTagCountOffset, 0x40000000); }},
        {"surface frames negative", [s](auto& w) { w.patchI32(s + f::kSurfaceFrameCountOffset, -2); }},
        {"surface frames over file", [s](auto& w) { w.patchI32(s + f::kSurfaceFrameCountOffset, 1000); }},
        {"surface frames huge", [s](auto& w) { w.patchI32(s + f::kSurfaceFrameCountOffset, 0x7fffffff); }},
        {"vertex count negative", [s](auto& w) { w.patchI32(s + f::kSurfaceVertexCountOffset, -1); }},
        {"vertex count huge", [s](auto& w) { w.patchI32(s + f::kSurfaceVertexCountOffset, 0x7ffffff0); }},
        {"vertex count over file", [s](auto& w) { w.patchI32(s + f::kSurfaceVertexCountOffset, 60000); }},
        {"triangle count negative", [s](auto& w) { w.patchI32(s + f::kSurfaceTriangleCountOffset, -3); }},
        {"triangle count huge", [s](auto& w) { w.patchI32(s + f::kSurfaceTriangleCountOffset, 0x15555556); }},
        {"triangle offset past end", [s](auto& w) { w.patchI32(s + f::kSurfaceTrianglesOffset, 1 << 30); }},
        {"triangle offset negative", [s](auto& w) { w.patchI32(s + f::kSurfaceTrianglesOffset, -200); }},
        {"texcoord offset past end", [s](auto& w) { w.patchI32(s + f::kSurfaceTexCoordsOffset, 0x7fffffff); }},
        {"vertex offset past end", [s](auto& w) { w.patchI32(s + f::kSurfaceVerticesOffset, 100000); }},
        {"vertex offset negative", [s](auto& w) { w.patchI32(s + f::kSurfaceVerticesOffset, -8); }},
        {"triangle index past vertices", [s](auto& w) { w.patchI32(s + f::kSurfaceHeaderSize + 4, 6); }},
        {"triangle index negative", [s](auto& w) { w.patchI32(s + f::kSurfaceHeaderSize, -1); }},
        {"normals block in the header", [](auto& w) { w.patchI32(f::kHeaderEndOffset, 10); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteWriter w;
        w.bytes = good;
        c.edit(w);
        QModel model;
        ASSERT_TRUE(load(model, good, true));  // a previous good model must not survive
        test::captureOutput();
        EXPECT_FALSE(load(model, w.bytes, true));
        const std::string out = test::capturedOutput();
        EXPECT_NE(out.find("test.tqm"), std::string::npos) << out;
        expectUnloaded(model);
    }
}

// Bytes after the end offset that form no complete, consistent normals block
// (a stray byte, padding, a header whose counts or normals do not fit) are not
// the model's: it loads, and its normals are computed as without a block.
TEST(QModelLoad, TailsThatAreNoNormalsBlockAreIgnored) {
    Md3Offsets at;
    const std::vector<uint8_t> good = writeMd3(gridModel(3, 2), &at);
    QModel reference;
    ASSERT_TRUE(load(reference, good, true));
    using Edit = std::function<void(ByteWriter&)>;
    struct Case {
        const char* what;
        Edit edit;
    };
    const Case cases[] = {
        {"one trailing byte", [](auto& w) { w.bytes.push_back(0x0a); }},
        {"three trailing bytes", [](auto& w) { w.bytes.insert(w.bytes.end(), {1, 2, 3}); }},
        {"end offset two bytes short", [](auto& w) { w.patchI32(md3::kHeaderEndOffset, static_cast<int32_t>(w.size() - 2)); }},
        {"zero counts", [](auto& w) { w.zeros(4); }},
        {"counts over model", [](auto& w) { w.u16(4); w.u16(1); w.zeros(4 * 12); }},
        {"vertices over model", [](auto& w) { w.u16(1); w.u16(7); w.zeros(7 * 12); }},
        {"normals cut short", [](auto& w) { w.u16(3); w.u16(6); w.zeros(17 * 12); }},
        {"counts at maximum", [](auto& w) { w.u16(0xffff); w.u16(0xffff); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteWriter w;
        w.bytes = good;
        c.edit(w);
        QModel model;
        test::captureOutput();
        const bool ok = load(model, w.bytes, true);
        EXPECT_EQ(test::capturedOutput(), "");
        ASSERT_TRUE(ok);
        EXPECT_EQ(model.numFrames(), 3);
        EXPECT_EQ(model.packedNormals(), reference.packedNormals());
    }
}

TEST(QModelLoad, TruncatedAndGarbledFilesNeverCrash) {
    const std::vector<uint8_t> good = writeMd3(gridModel(3, 2));
    for (size_t n = 0; n < good.size(); ++n) {
        QModel model;
        test::captureOutput();
        const bool ok = model.loadMD3FromMemory(good.data(), n, true, "cut.tqm");
        test::capturedOutput();
        EXPECT_FALSE(ok) << "prefix of " << n << " bytes";
    }
    seedRandom(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = good;
        // Flip a handful of bytes, most often inside the headers.
        for (int k = 0; k < 6; ++k) {
            const size_t span = (k % 2) ? bytes.size() : 240;
            bytes[static_cast<size_t>(rand()) % span] = static_cast<uint8_t>(rand());
        }
        QModel model;
        test::captureOutput();
        if (model.loadMD3FromMemory(bytes.data(), bytes.size(), true, "garbled.tqm")) {
            // Whatever loaded must be drawable data: indices inside the vertices.
            for (uint16_t i : model.indices()) ASSERT_LT(i, model.vertexCount());
            ASSERT_EQ(model.gridPositions().size(),
                      static_cast<size_t>(model.numFrames()) * static_cast<size_t>(model.vertexCount()) * 3);
        }
        test::capturedOutput();
    }
}

// Models made by another game's tools load as they are, and still load with a
// stray byte after them; a tags-only file is refused with its reason.
TEST(QModelLoad, RealModelsFromAnotherGame) {
    const std::string dir = std::string(REEF_REAL_FIXTURES) + "/openarena/";
    for (const char* name : {"nail.md3", "ammo.md3", "nailgun_flash.md3"}) {
        SCOPED_TRACE(name);
        QModel model;
        ASSERT_TRUE(model.loadMD3(dir + name, true));
        EXPECT_GT(model.numFrames(), 0);
        EXPECT_GT(model.triangleCount(), 0);
        for (uint16_t i : model.indices()) ASSERT_LT(i, model.vertexCount());

        std::optional<std::vector<uint8_t>> bytes = readFileBytes(dir + name, QModel::kMaxFileBytes);
        ASSERT_TRUE(bytes);
        bytes->push_back(0);
        QModel padded;
        ASSERT_TRUE(padded.loadMD3FromMemory(bytes->data(), bytes->size(), true, name));
        EXPECT_EQ(padded.gridPositions(), model.gridPositions());
        EXPECT_EQ(padded.packedNormals(), model.packedNormals());
    }
    QModel hand;
    test::captureOutput();
    EXPECT_FALSE(hand.loadMD3(dir + "vulcan_hand.md3", true));
    EXPECT_EQ(test::capturedOutput(),
              "QModel::loadMD3 " + dir + "vulcan_hand.md3: model has no surface\n");
}

class QModelAnimation : public ::testing::Test {
protected:
    ManualClock clock{1000};
    QModel model;

    void SetUp() override {
        ASSERT_TRUE(load(model, writeMd3(gridModel(50, 1))));
        model.addSequence(0, 9, "swim");
        model.setSequence("swim");
        model.setFramesPerSecond(5.0f);  // 200 ms per frame
    }
    float pos() const { return model.currentSequence()->pos; }
    void step(uint32_t ms) {
        clock.advance(ms);
        model.advance();
    }
};

TEST_F(QModelAnimation, AdvancesOneFramePerPeriod) {
    step(200);
    EXPECT_FLOAT_EQ(pos(), 1.0f);
    EXPECT_EQ(model.currentFrameIndex(), 1);
    EXPECT_EQ(model.nextFrameIndex(), 2);
    step(100);
    EXPECT_FLOAT_EQ(model.fraction(), 0.5f);
}

TEST_F(QModelAnimation, WrapsPastTheLastFrameAndCountsTheLoop) {
    model.setFrameNumber(9);
    step(140);  // 9.7: the next frame after the last is the first
    EXPECT_NEAR(pos(), 9.7f, 1e-4f);
    EXPECT_EQ(model.currentFrameIndex(), 9);
    EXPECT_EQ(model.nextFrameIndex(), 0);
    EXPECT_EQ(model.loopCount(), 0);
    step(100);  // + 0.5
    EXPECT_NEAR(pos(), 0.2f, 1e-4f);
    EXPECT_EQ(model.loopCount(), 1);
    EXPECT_EQ(model.currentFrameIndex(), 0);
}

TEST_F(QModelAnimation, LongPauseWrapsOnceAndStaysInRange) {
    step(1000000);  // 5000 frames
    EXPECT_GE(pos(), 0.0f);
    EXPECT_LT(pos(), 10.0f);
    EXPECT_EQ(model.loopCount(), 1);
}

TEST_F(QModelAnimation, LoopLimitStopsOnTheFirstFrame) {
    model.playLoops(2);
    step(2000);
    EXPECT_EQ(model.loopCount(), 1);
    EXPECT_TRUE(model.animating());
    step(2000);
    EXPECT_EQ(model.loopCount(), 2);
    EXPECT_FALSE(model.animating());
    EXPECT_EQ(model.loopLimit(), -1);
    EXPECT_FLOAT_EQ(pos(), 0.0f);
    step(700);  // held
    EXPECT_FLOAT_EQ(pos(), 0.0f);
    EXPECT_EQ(model.currentFrameIndex(), 0);
    EXPECT_EQ(model.nextFrameIndex(), 0);
}

TEST_F(QModelAnimation, HeldModelShowsItsCurrentFrame) {
    model.setFrameNumber(4);
    model.setAnimating(false);
    step(1000);
    EXPECT_EQ(model.currentFrameIndex(), 4);
    EXPECT_EQ(model.nextFrameIndex(), 4);
}

TEST_F(QModelAnimation, SequencesAreClampedUniqueAndSelectedByName) {
    model.addSequence(0, 100, "movein");
    model.addSequence(3, 4, "movein");  // same name: ignored
    model.addSequence(-5, 20, "sit");
    model.addSequence(30, 10, "odd");   // reversed: one frame
    ASSERT_EQ(model.sequences().size(), 4u);
    EXPECT_EQ(model.sequences()[1].first, 0);
    EXPECT_EQ(model.sequences()[1].last, 49);
    EXPECT_EQ(model.sequences()[2].first, 0);
    EXPECT_EQ(model.sequences()[3].last, 30);

    model.setSequence("sit");
    EXPECT_EQ(model.lastFrame(), 20);
    model.setSequence("nope");
    EXPECT_EQ(model.lastFrame(), 20);
    model.setSequence("odd");
    step(5000);  // a one-frame sequence wraps onto itself without hanging
    EXPECT_EQ(model.frameNumber(), 30);
}

TEST_F(QModelAnimation, AbsurdSpeedsOrPositionsNeverGiveAFrame) {
    model.setFramesPerSecond(0.0f);  // stands still
    step(500);
    EXPECT_FLOAT_EQ(pos(), 0.0f);
    model.setFramesPerSecond(std::nanf(""));
    step(500);
    EXPECT_EQ(model.currentFrameIndex(), -1);  // drawing refuses it
    model.setSequence("swim");
    model.setFramesPerSecond(5.0f);
    model.setFrameNumber(2147483647);
    model.setAnimating(false);
    step(10);
    EXPECT_EQ(model.currentFrameIndex(), -1);
}

// One value of each vertex a draw sends through a feedback buffer of the given
// type (perVertex values a vertex; the value at index pick).
std::vector<float> feedbackValues(const std::function<void()>& drawCall, GLenum type, int perVertex, int pick) {
    std::vector<float> values;
    for (const std::vector<float>& polygon : test::feedbackPolygons(type, perVertex, drawCall))
        for (size_t k = static_cast<size_t>(pick); k < polygon.size(); k += static_cast<size_t>(perVertex))
            values.push_back(polygon[k]);
    return values;
}

// The x of each vertex drawn, in window coordinates of a 64 x 64 viewport.
std::vector<float> feedbackVertices(const std::function<void()>& drawCall) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return feedbackValues(drawCall, GL_3D, 3, 0);
}

TEST(QModelDraw, InterpolatesBetweenFramesOnlyWhenTheObjectAsks) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    ManualClock clock(0);
    QModel model;
    // Frame f is shifted by f * 16 / 64 = 0.25 f units, that is 8 f pixels.
    ASSERT_TRUE(load(model, writeMd3(triangleModel(2, {{{0, 0, 0}, {16, 0, 0}, {0, 0, 16}}}, 16))));
    model.addSequence(0, 1, "swim");
    model.setFramesPerSecond(10.0f);
    ModelObject object;
    object.setModel(&model);
    clock.advance(50);  // half a frame
    std::vector<float> xs = feedbackVertices([&] { object.render(); });
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[0], 32.0f + 4.0f, 0.01f);

    object.clearFlags(SceneObject::kInterpolateFrames);
    xs = feedbackVertices([&] { object.render(); });
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[0], 32.0f, 0.01f);
    // The next frame, a blend from it back towards frame 0, then that frame unblended
    // again: each draw shows its own positions, none left over from the one before.
    clock.advance(100);
    xs = feedbackVertices([&] { object.render(); });
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[0], 40.0f, 0.01f);
    object.setFlags(SceneObject::kInterpolateFrames);
    clock.advance(25);
    xs = feedbackVertices([&] { object.render(); });
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[0], 40.0f - 6.0f, 0.01f);
    object.clearFlags(SceneObject::kInterpolateFrames);
    xs = feedbackVertices([&] { object.render(); });
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[0], 40.0f, 0.01f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Scaled texture coordinates are the scaling model's own: a model sharing the
// geometry keeps the coordinates as loaded.
TEST(QModelLoad, ScaledTextureCoordinatesStayWithTheScalingModel) {
    QModel loaded, sharing;
    ASSERT_TRUE(load(loaded, writeMd3(triangleModel(1, {{{0, 0, 0}, {16, 0, 0}, {0, 0, 16}}}))));
    sharing.shareGeometry(loaded);
    sharing.scaleTextureCoordinates(3.0f);
    EXPECT_FLOAT_EQ(sharing.texCoords()[2], 3.0f);  // s of vertex 1
    EXPECT_FLOAT_EQ(sharing.texCoords()[5], 3.0f);  // t of vertex 2
    EXPECT_FLOAT_EQ(loaded.texCoords()[2], 1.0f);
    EXPECT_FALSE(sharing.sharesGeometryWith(loaded));
    EXPECT_EQ(sharing.vertexCount(), 3);
    QModel empty;
    empty.scaleTextureCoordinates(2.0f);  // nothing loaded: nothing to scale
    EXPECT_FALSE(empty.loaded());
}

// The lit red of each vertex a draw sends (x, y, z, r, g, b, a a vertex).
std::vector<float> litReds(const std::function<void()>& drawCall) {
    return feedbackValues(drawCall, GL_3D_COLOR, 7, 3);
}

// The packed normals reach the lighting as unit normals in world axes, whatever
// the grid's scale on the matrix: a light along (0, 0.6, -0.8) gives each vertex
// exactly the cosine of its normal's angle to it.
TEST(QModelDraw, LightingSeesUnitNormalsInWorldAxes) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    Md3Model m = triangleModel(1, {{{0, 0, 0}, {16, 0, 0}, {0, 0, 16}}});
    m.withNormals = true;
    // Stored negated: the world normals (0, 3, 0), (0, 0, -1) and (0.6, 0.8, 0).
    m.normals = {{{0, -3, 0}, {0, 0, 1}, {-0.6f, -0.8f, 0}}};
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m), true));

    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, towards[4] = {0, 0.6f, -0.8f, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightfv(GL_LIGHT0, GL_POSITION, towards);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const std::vector<float> reds = litReds([&] {
        model.update();
        model.draw(nullptr);
        model.finish();
    });
    glDisable(GL_LIGHTING);
    ASSERT_EQ(reds.size(), 3u);
    EXPECT_NEAR(reds[0], 0.6f, 0.02f);
    EXPECT_NEAR(reds[1], 0.8f, 0.02f);
    EXPECT_NEAR(reds[2], 0.48f, 0.02f);
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Normals only feed lighting: an unlit draw of a model loaded with them leaves the
// normalisation off, as for a model loaded without them.
TEST(QModelDraw, NormalisationOnlyWhileLit) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    Md3Model m = triangleModel(1, {{{0, 0, 0}, {16, 0, 0}, {0, 0, 16}}});
    m.withNormals = true;
    m.normals = {{{0, -1, 0}, {0, -1, 0}, {0, -1, 0}}};
    QModel model;
    ASSERT_TRUE(load(model, writeMd3(m), true));
    for (const bool lighting : {false, true, false}) {
        SCOPED_TRACE(lighting);
        if (lighting) glEnable(GL_LIGHTING);
        model.update();
        EXPECT_EQ(glIsEnabled(GL_NORMALIZE) == GL_TRUE, lighting);
        model.draw(nullptr);
        model.finish();
        glDisable(GL_LIGHTING);
        EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(QModelDraw, UnloadedOrFreedModelDrawsNothing) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    QModel model;
    ModelObject object;
    object.setModel(&model);
    test::captureOutput();
    EXPECT_TRUE(feedbackVertices([&] { object.render(); }).empty());
    // Every later frame fails the same way; the line is not repeated for it.
    for (int frame = 0; frame < 50; ++frame) object.render();
    EXPECT_EQ(test::capturedOutput(), "frame >= NumFrames\n");

    ASSERT_TRUE(load(model, writeMd3(gridModel(5, 1))));
    model.addSequence(0, 4, "swim");
    object.reset();  // frees the shared model
    EXPECT_FALSE(model.loaded());
    test::captureOutput();
    EXPECT_TRUE(feedbackVertices([&] { object.render(); }).empty());
    test::capturedOutput();

    // A sequence position outside the frames (set by hand) is refused, not read.
    ASSERT_TRUE(load(model, writeMd3(gridModel(5, 1))));
    model.addSequence(0, 4, "swim");
    model.setFrameNumber(-3);
    model.setAnimating(false);
    test::captureOutput();
    EXPECT_TRUE(feedbackVertices([&] { object.render(); }).empty());
    EXPECT_TRUE(feedbackVertices([&] { object.render(); }).empty());
    EXPECT_EQ(test::capturedOutput(), "frame >= NumFrames\n");
}

TEST(QModelDraw, BoundsHoldEveryFrameAndModelsOutOfViewAreNotSent) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    ManualClock clock(0);
    QModel model;
    // Frame f lies f units along x: the frames together span x 0 .. 2.25, y 0 .. 0.25.
    ASSERT_TRUE(load(model, writeMd3(triangleModel(3, {{{0, 0, 0}, {16, 0, 0}, {0, 0, 16}}}, 64))));
    const float* c = model.boundsCentre();
    float farthest = 0.0f;
    for (int f = 0; f < model.numFrames(); ++f) {
        for (int v = 0; v < model.vertexCount(); ++v) {
            const std::array<float, 3> p = model.position(f, v);
            farthest = std::max(farthest, std::hypot(p[0] - c[0], p[1] - c[1], p[2] - c[2]));
        }
    }
    EXPECT_NEAR(c[0], 1.125f, 1e-6f);
    EXPECT_LE(farthest, model.boundsRadius() * 1.0001f);
    EXPECT_LT(model.boundsRadius(), 1.2f);  // and not much more than needed

    model.addSequence(0, 2, "swim");
    model.setFramesPerSecond(10.0f);
    ModelObject object;
    object.setModel(&model);
    object.setPosition(-0.5f, 0.0f, 0.0f);  // partly in the -1 .. 1 view
    EXPECT_FALSE(feedbackVertices([&] { object.render(); }).empty());
    object.setPosition(5.0f, 0.0f, 0.0f);  // wholly beside it
    clock.advance(100);
    EXPECT_TRUE(feedbackVertices([&] { object.render(); }).empty());
    EXPECT_EQ(model.frameNumber(), 1);  // the animation goes on while unseen
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace reef
