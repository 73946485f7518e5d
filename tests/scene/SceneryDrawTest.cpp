#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "scene/Quad.h"
#include "scene/SkyDome.h"
#include "scene/WaterGrid.h"
#include "testsupport/GlTestContext.h"
#include "world/Clock.h"

namespace reef {
namespace {

struct Point {
    float x, y;
};
using Polygon = std::vector<Point>;

// Polygons drawn into a feedback buffer, in window coordinates of a 64 x 64
// viewport whose orthographic volume spans -extent .. extent on every axis.
std::vector<Polygon> feedbackPolygons(float extent, const std::function<void()>& drawCall) {
    std::vector<GLfloat> buffer(1 << 16);
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawCall();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Polygon> polygons;
    for (GLint i = 0; i < used;) {
        if (buffer[static_cast<size_t>(i)] != GL_POLYGON_TOKEN) {
            ++i;
            continue;
        }
        const int n = static_cast<int>(buffer[static_cast<size_t>(i) + 1]);
        Polygon polygon;
        for (int k = 0; k < n; ++k) {
            polygon.push_back({buffer[static_cast<size_t>(i + 2 + 3 * k)], buffer[static_cast<size_t>(i + 3 + 3 * k)]});
        }
        polygons.push_back(polygon);
        i += 2 + 3 * n;
    }
    return polygons;
}

GLint modelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

TEST(SceneryDraw, QuadDrawsItsCornersAndBalancesTheMatrixStack) {
    testing::GlTestContext gl;
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
    testing::GlTestContext gl;
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
    testing::GlTestContext gl;
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

}  // namespace
}  // namespace reef
