// The view test that lets models out of sight skip their draw.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "engine/ViewCulling.h"
#include "testsupport/GlTestContext.h"

namespace reef {
namespace {

// A square 45-degree view from the origin down -z, near 0.1, far 100.
void lookDownNegativeZ() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool outside(float x, float y, float z, float radius) {
    const float centre[3] = {x, y, z};
    return sphereOutsideView(centre, radius);
}

TEST(ViewCulling, OnlySpheresWhollyBehindOnePlaneAreOutside) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    lookDownNegativeZ();
    // At 10 units the half-width of the view is 10 tan(22.5 degrees) = 4.14.
    EXPECT_FALSE(outside(0.0f, 0.0f, -10.0f, 1.0f));
    EXPECT_FALSE(outside(4.9f, 0.0f, -10.0f, 1.0f));  // overlaps the right edge
    EXPECT_TRUE(outside(6.0f, 0.0f, -10.0f, 1.0f));   // wholly right of it
    EXPECT_TRUE(outside(0.0f, -6.0f, -10.0f, 1.0f));  // wholly below
    EXPECT_TRUE(outside(0.0f, 0.0f, 10.0f, 1.0f));    // behind the eye
    EXPECT_FALSE(outside(0.0f, 0.0f, 0.5f, 1.0f));    // round the eye
    EXPECT_TRUE(outside(0.0f, 0.0f, -0.05f, 0.01f));  // before the near plane
    EXPECT_TRUE(outside(0.0f, 0.0f, -120.0f, 5.0f));  // beyond the far plane
    EXPECT_FALSE(outside(0.0f, 0.0f, -98.0f, 5.0f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ViewCulling, TheSphereIsInTheModelViewsOwnUnitsScaleIncluded) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    lookDownNegativeZ();
    glTranslatef(0.0f, 0.0f, -10.0f);
    glScalef(10.0f, 1.0f, 1.0f);
    // x is stretched ten times: 0.5 +- 0.1 spans 4 .. 6 in the view, across the edge at 4.14.
    EXPECT_FALSE(outside(0.5f, 0.0f, 0.0f, 0.1f));
    EXPECT_TRUE(outside(0.6f, 0.0f, 0.0f, 0.1f));  // 5 .. 7
    // y is not stretched: 3.5 +- 0.1 stays inside.
    EXPECT_FALSE(outside(0.0f, 3.5f, 0.0f, 0.1f));
    glLoadIdentity();
}

}  // namespace
}  // namespace reef
