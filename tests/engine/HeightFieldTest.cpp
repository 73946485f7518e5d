// The terrain height field: map loading, the snaking strip and the undulation.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/Clock.h"
#include "engine/EngineImports.h"
#include "engine/HeightField.h"
#include "engine/WavyHeightField.h"
#include "platform/SdlEngineImports.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/GlTestContext.h"
#include "testsupport/TempFolder.h"
#include "writers/BmpWriter.h"

namespace reef {
namespace {

class HeightFieldTest : public ::testing::Test {
protected:
    SdlEngineImports sdl;
    EngineImports* previous = engineImports();
    test::TempFolder folder;
    std::string dir = folder.path();

    void SetUp() override { setEngineImports(&sdl); }
    void TearDown() override {
        setEngineImports(previous);
    }
    // An 8-bit map whose grey level at (x, z) is level(x, z).
    template <typename Level>
    std::string map(const std::string& name, int width, int height, Level level) {
        std::vector<uint8_t> pixels;
        for (int z = 0; z < height; ++z) {
            for (int x = 0; x < width; ++x) pixels.push_back(static_cast<uint8_t>(level(x, z)));
        }
        const std::string path = dir + "/" + name;
        test::writeFile(path, writeBmp(width, height, 1, pixels));
        return path;
    }
};

TEST_F(HeightFieldTest, GridSizeAndFlatHeight) {
    HeightField field;
    ASSERT_TRUE(field.loadHeightMap(map("flat.tqt", 64, 64, [](int, int) { return 200; })));
    field.setResolution(50);
    field.setHeightScale(0.015f);
    EXPECT_FLOAT_EQ(field.stepX(), 1.26f);
    EXPECT_FLOAT_EQ(field.stepZ(), 1.26f);
    field.buildMesh();
    EXPECT_EQ(field.vertexCount(), 5000);
    ASSERT_EQ(field.vertices().size(), 5000u);
    for (const auto& v : field.vertices()) ASSERT_NEAR(v.position[1], 3.0f, 1e-5f);
}

TEST_F(HeightFieldTest, StripSnakesOverTheSizedArea) {
    HeightField field;
    ASSERT_TRUE(field.loadHeightMap(map("ramp.tqt", 8, 8, [](int x, int) { return x * 10; })));
    field.setResolution(7);  // one pixel per cell
    field.setHeightScale(0.1f);
    field.setSize(60.0f, 50.0f);
    field.buildMesh();
    const auto& v = field.vertices();
    ASSERT_EQ(v.size(), 98u);
    // Column 0 runs forward, right edge first: pixel (1, 0), then (0, 0).
    EXPECT_FLOAT_EQ(v[0].position[0], 1 * 7.5f - 30.0f);
    EXPECT_FLOAT_EQ(v[0].position[1], 1.0f);
    EXPECT_FLOAT_EQ(v[1].position[0], -30.0f);
    EXPECT_FLOAT_EQ(v[1].position[2], -50.0f);
    EXPECT_FLOAT_EQ(v[0].texCoord[0], 1.0f / 8.0f);
    // Column 1 runs backward, left edge first, from the last row: pixel (1, 6), then (2, 6).
    EXPECT_FLOAT_EQ(v[14].position[0], 7.5f - 30.0f);
    EXPECT_FLOAT_EQ(v[14].position[2], 6 * 6.25f - 50.0f);
    EXPECT_FLOAT_EQ(v[15].position[0], 2 * 7.5f - 30.0f);
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const auto& p : v) {
        minX = std::min(minX, p.position[0]);
        maxX = std::max(maxX, p.position[0]);
        minZ = std::min(minZ, p.position[2]);
        maxZ = std::max(maxZ, p.position[2]);
    }
    EXPECT_FLOAT_EQ(minX, -30.0f);
    EXPECT_GT(maxX, 20.0f);
    EXPECT_LE(maxX, 30.0f);
    EXPECT_FLOAT_EQ(minZ, -50.0f);
    EXPECT_LE(maxZ, 0.0f);
}

TEST_F(HeightFieldTest, AnyWidthReadsRowByRowAndHeightAtWraps) {
    // Width 5 and 7: the decoder pads these rows to 8 bytes.
    for (int width : {5, 7, 4}) {
        SCOPED_TRACE(width);
        HeightField field;
        ASSERT_TRUE(field.loadHeightMap(map("odd.tqt", width, 3, [](int x, int z) { return 16 * z + x; })));
        EXPECT_EQ(field.imageWidth(), width);
        EXPECT_EQ(field.imageHeight(), 3);
        for (int z = 0; z < 3; ++z) {
            for (int x = 0; x < width; ++x) EXPECT_EQ(field.heightAt(x, z), 16 * z + x);
        }
        EXPECT_EQ(field.heightAt(width, 0), field.heightAt(0, 0));
        EXPECT_EQ(field.heightAt(width + 1, 3), field.heightAt(1, 0));
        EXPECT_EQ(field.heightAt(-1, -1), field.heightAt(width - 1, 2));
    }
}

TEST_F(HeightFieldTest, BadMapsAreRejectedAndLeaveTheFieldEmpty) {
    const std::string colour = dir + "/colour.tqt";
    test::writeFile(colour, writeBmp(4, 4, 3, std::vector<uint8_t>(48, 9)));
    HeightField field;
    test::captureOutput();
    test::captureErrors();
    EXPECT_FALSE(field.loadHeightMap(colour));
    // One fault, one line: the fixed one, nothing more on either stream.
    EXPECT_EQ(test::capturedOutput(), "sdlsurf->format->BytesPerPixel != 1\n");
    EXPECT_EQ(test::capturedErrors(), "");
    test::captureOutput();
    EXPECT_FALSE(field.loadHeightMap(dir + "/none.tqt"));
    EXPECT_EQ(test::capturedOutput(), "Could not load height map: " + dir + "/none.tqt\n");
    EXPECT_EQ(field.heightAt(3, 3), 0);
    field.setResolution(10);
    field.buildMesh();
    EXPECT_EQ(field.vertexCount(), 0);
}

TEST_F(HeightFieldTest, ChangesRebuildAndResetEmpties) {
    HeightField field;
    ASSERT_TRUE(field.loadHeightMap(map("m.tqt", 16, 16, [](int, int) { return 10; })));
    field.setResolution(4);
    field.buildMesh();
    EXPECT_EQ(field.vertexCount(), 32);
    field.setResolution(5);
    EXPECT_FALSE(field.built());
    field.setHeightScale(2.0f);
    field.buildMesh();
    EXPECT_EQ(field.vertexCount(), 50);
    EXPECT_FLOAT_EQ(field.vertices()[0].position[1], 20.0f);
    field.setResolution(-3);
    field.buildMesh();
    EXPECT_EQ(field.vertexCount(), 0);
    field.reset();
    EXPECT_EQ(field.imageWidth(), 0);
    EXPECT_TRUE(field.vertices().empty());
}

TEST_F(HeightFieldTest, UndulationFollowsTheClock) {
    ManualClock clock(500);
    WavyHeightField field;
    ASSERT_TRUE(field.loadHeightMap(map("w.tqt", 11, 11, [](int, int) { return 0; })));
    field.setResolution(10);
    field.setSize(10.0f, 10.0f);
    field.buildMesh();
    clock.advance(1000);
    field.animate();
    EXPECT_FLOAT_EQ(field.phaseX(), 3.5f);
    EXPECT_FLOAT_EQ(field.phaseZ(), 2.5f);
    const auto& v = field.vertices();
    // Column 0, row 0: the right edge (i + 1 = 1) first, then the left edge.
    const float upp = 10.0f / 11.0f;
    const float b = 0.02f * std::sin(2.5f);
    EXPECT_NEAR(v[0].displacement[1], 0.01f * std::sin(upp * 0.19f * 3.1415927f + 3.5f) - b, 1e-6f);
    EXPECT_NEAR(v[1].displacement[1], 0.01f * std::sin(3.5f) - b, 1e-6f);
    // Column 1 runs backward: its first vertex is the left edge on the last row.
    const float bLast = 0.02f * std::sin(9 * upp * 0.13f * 3.1415927f + 2.5f);
    EXPECT_NEAR(v[20].displacement[1], 0.01f * std::sin(upp * 0.19f * 3.1415927f + 3.5f) - bLast, 1e-6f);
    for (const auto& p : v) ASSERT_LE(std::fabs(p.displacement[1]), 0.03f + 1e-6f);

    clock.advance(3000);  // 10.5 radians on x: back below one turn
    field.animate();
    EXPECT_LT(field.phaseX(), 6.2831855f);
    EXPECT_NEAR(field.phaseX(), std::fmod(14.0f, 6.2831855f), 1e-4f);
}

TEST_F(HeightFieldTest, DrawsOneStripAndRestoresTheMatrix) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    WavyHeightField field;
    ASSERT_TRUE(field.loadHeightMap(map("d.tqt", 9, 9, [](int x, int z) { return x + z; })));
    field.setResolution(8);
    field.setHeightScale(0.01f);
    field.setSize(1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLint depth = 0, after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    field.render();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(depth, after);
    EXPECT_EQ(field.vertexCount(), 128);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace reef
