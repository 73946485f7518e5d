#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/Clock.h"
#include "engine/Texture.h"
#include "scene/Quad.h"
#include "scene/SkyDome.h"
#include "scene/WaterGrid.h"
#include "testsupport/FeedbackPolygons.h"
#include "testsupport/GlTestContext.h"

namespace reef {
namespace {

struct Point {
    float x, y;
};
using Polygon = std::vector<Point>;

// Polygons drawn into a feedback buffer, in window coordinates of a 64 x 64
// viewport whose orthographic volume spans -extent .. extent on every axis.
std::vector<Polygon> feedbackPolygons(float extent, const std::function<void()>& drawCall) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<Polygon> polygons;
    for (const std::vector<float>& values : test::feedbackPolygons(GL_3D, 3, drawCall)) {
        Polygon polygon;
        for (size_t k = 0; k + 2 < values.size(); k += 3) polygon.push_back({values[k], values[k + 1]});
        polygons.push_back(polygon);
    }
    return polygons;
}

GLint modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

TEST(SceneryDraw, QuadDrawsItsCornersAndBalancesTheMatrixStack) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    Quad quad;
    quad.setSize(4.0f, 2.0f);
    const GLint depth = modelviewDepth();
    const std::vector<Polygon> polygons = feedbackPolygons(4.0f, [&] { quad.render(); });
    EXPECT_EQ(modelviewDepth(), depth);
    // x -2..2 and y -1..1 of an 8-unit-wide volume on 64 pixels.
    float minX = 64, maxX = 0, minY = 64, maxY = 0;
    size_t corners = 0;
    for (const Polygon& p : polygons) {
        for (const Point& v : p) {
            minX = std::min(minX, v.x);
            maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
            ++corners;
        }
    }
    ASSERT_GE(corners, 4u);
    EXPECT_NEAR(minX, 16.0f, 0.01f);
    EXPECT_NEAR(maxX, 48.0f, 0.01f);
    EXPECT_NEAR(minY, 24.0f, 0.01f);
    EXPECT_NEAR(maxY, 40.0f, 0.01f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SceneryDraw, SkyDomeDrawsEveryTriangleAndRestoresLighting) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    ManualClock clock(100);
    SkyDome dome;
    dome.setDivisions(4);
    dome.setSpinSpeed(0.0f);
    ASSERT_TRUE(dome.build());
    for (bool lightingOn : {true, false}) {
        if (lightingOn) {
            glEnable(GL_LIGHTING);
        } else {
            glDisable(GL_LIGHTING);
        }
        const GLint depth = modelviewDepth();
        const std::vector<Polygon> polygons = feedbackPolygons(3000.0f, [&] { dome.render(); });
        EXPECT_EQ(polygons.size(), 32u);  // 2 n^2 with n = 4
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, lightingOn);
        EXPECT_EQ(modelviewDepth(), depth);
    }
    glDisable(GL_LIGHTING);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SceneryDraw, WaterGridDrawsOneQuadPerCell) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    WaterGrid grid;
    ASSERT_TRUE(grid.build(6.0f, 4.0f, 3, 2));
    const GLint depth = modelviewDepth();
    const std::vector<Polygon> polygons = feedbackPolygons(4.0f, [&] { grid.render(); });
    EXPECT_EQ(modelviewDepth(), depth);
    size_t corners = 0;
    for (const Polygon& p : polygons) corners += p.size();
    // Six cells, drawn as quads or each split into two triangles.
    EXPECT_TRUE((polygons.size() == 6 && corners == 24) || (polygons.size() == 12 && corners == 36))
        << polygons.size() << " polygons, " << corners << " corners";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The colour drawn at pixel (x, 32) of the 64 x 64 back buffer.
uint32_t pixelAt(int x) {
    uint8_t rgba[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(x, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return (uint32_t(rgba[0]) << 16) | (uint32_t(rgba[1]) << 8) | rgba[2];
}

TEST(SceneryDraw, WaterGridTextureCoordinatesTakeTheTexturesScaleAndOffset) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    // Four texels across, red, green, blue, white, on the default texture object
    // (the one an unloaded Texture binds), sampled without filtering.
    const uint8_t texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);

    // One cell over the whole view: u runs 0 .. 1 from left to right.
    WaterGrid grid;
    ASSERT_TRUE(grid.build(2.0f, 2.0f, 1, 1));
    Texture water;
    grid.addTexture(&water);
    const auto drawn = [&](float scale, float offset) {
        water.setScaleU(scale);
        water.setOffset(offset, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        grid.render();
        return std::array<uint32_t, 4>{pixelAt(4), pixelAt(20), pixelAt(36), pixelAt(52)};
    };
    constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    EXPECT_EQ(drawn(1.0f, 0.0f), (std::array<uint32_t, 4>{red, green, blue, white}));
    EXPECT_EQ(drawn(1.0f, 0.25f), (std::array<uint32_t, 4>{green, blue, white, red}));  // one texel on
    EXPECT_EQ(drawn(0.5f, 0.5f), (std::array<uint32_t, 4>{blue, blue, white, white}));  // half as wide

    // Nothing of the draw stays behind for the next object.
    GLfloat matrix[16];
    glGetFloatv(GL_TEXTURE_MATRIX, matrix);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(matrix[k], k % 5 == 0 ? 1.0f : 0.0f) << k;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    glEnable(GL_DEPTH_TEST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace reef
