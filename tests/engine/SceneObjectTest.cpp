// Placement, turning and drawing state of SceneObject.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/SceneObject.h"
#include "engine/Texture.h"
#include "testsupport/GlTestContext.h"

namespace reef {
namespace {

// Exposes the stored (z-negated) vectors.
class Probe : public SceneObject {
public:
    Vec3 storedPosition() const { return m_position; }
    Vec3 storedTarget() const { return m_target; }
    Vec3 storedUp() const { return m_up; }
};

void expectVec(const Vec3& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

TEST(SceneObjectPlacement, StoresZNegatedAndGettersUndoIt) {
    Probe o;
    expectVec(o.getTarget(), 0, 0, 1);  // stored (0, 0, -1): facing world +z
    o.placeAt(1, 2, 3);
    o.setTarget(4, 5, 6);
    o.setUp(0, 1, 0.5f);
    expectVec(o.storedPosition(), 1, 2, -3);
    expectVec(o.storedTarget(), 4, 5, -6);
    expectVec(o.storedUp(), 0, 1, -0.5f);
    expectVec(o.getPosition(), 1, 2, 3);
    expectVec(o.getTarget(), 4, 5, 6);
    expectVec(o.getUp(), 0, 1, 0.5f);
}

TEST(SceneObjectPlacement, SetPositionCarriesTheTargetOnlyUnderLookAt) {
    Probe lookAt;
    lookAt.clearFlags(SceneObject::kEulerPlacement);  // on by default
    lookAt.setTarget(0, 0, 5);
    lookAt.setPosition(1, 2, 3);
    expectVec(lookAt.getPosition(), 1, 2, 3);
    expectVec(lookAt.getTarget(), 1, 2, 8);

    Probe euler;  // the default flags place by Euler angles
    euler.setTarget(0, 0, 5);
    euler.setPosition(1, 2, 3);
    expectVec(euler.getTarget(), 0, 0, 5);

    lookAt.placeAt(0, 0, 0);  // placeAt never moves the target
    expectVec(lookAt.getTarget(), 1, 2, 8);
}

TEST(SceneObjectPlacement, MoveTurnAndRollKeepTheirDirections) {
    Probe o;
    o.moveForward(2.0f);
    expectVec(o.getPosition(), 0, 0, 2);
    expectVec(o.getTarget(), 0, 0, 3);

    Probe t;
    t.turn(90.0f);  // facing world +z turns to world +x
    expectVec(t.getTarget(), 1, 0, 0);
    t.turn(-90.0f);
    expectVec(t.getTarget(), 0, 0, 1);

    Probe r;
    r.roll(90.0f);  // up (0, 1, 0) rolls to world -x
    expectVec(r.getUp(), -1, 0, 0);
    expectVec(r.getTarget(), 0, 0, 1);
}

TEST(SceneObjectPlacement, AnglesWrap) {
    SceneObject o;
    o.setAngleY(370.0f);
    EXPECT_FLOAT_EQ(o.angleY(), 10.0f);
    o.setAngleX(-30.0f);
    EXPECT_FLOAT_EQ(o.angleX(), -30.0f);
    o.turnY(355.0f);
    EXPECT_FLOAT_EQ(o.angleY(), 5.0f);
}

TEST(SceneObjectTextures, ListsScalesAndOutOfRangeUnits) {
    Texture a, b;
    SceneObject o;
    EXPECT_FALSE(o.textured());
    o.addTexture(&a);
    EXPECT_TRUE(o.textured());
    EXPECT_FALSE(o.multi());
    o.setTextureScale(5, 3.0f);  // ignored
    o.setTexture(3, &b);         // ignored
    EXPECT_EQ(o.texture(0), &a);
    EXPECT_EQ(o.texture(3), nullptr);
    o.setTexture(0, &b);
    EXPECT_EQ(o.texture(0), &b);
    o.reset();
    EXPECT_EQ(o.textureCount(), 0);
    EXPECT_FALSE(o.textured());
}

Mat4 currentModelview() {
    Mat4 m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
    return m;
}

void expectMatrix(const Mat4& a, const Mat4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], 1e-5f) << "element " << i;
}

TEST(SceneObjectDraw, PlacementMatrices) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    glMatrixMode(GL_MODELVIEW);

    SceneObject euler;
    euler.setFlags(SceneObject::kEulerPlacement);
    euler.setPosition(1, 2, 3);
    euler.setAngleX(30);
    euler.setAngleY(40);
    euler.setAngleZ(50);
    euler.setScale3(2, 3, 4);
    glLoadIdentity();
    euler.beginDraw();
    Mat4 expected;
    expected.m[12] = 1;
    expected.m[13] = 2;
    expected.m[14] = -3;
    expected = multiply(expected, multiply(rotationZ(50), multiply(rotationY(40), rotationX(30))));
    Mat4 scaled;
    scaled.m[0] = 2;
    scaled.m[5] = 3;
    scaled.m[10] = 4;
    expectMatrix(currentModelview(), multiply(expected, scaled));
    euler.endDraw();

    SceneObject lookAt;
    lookAt.clearFlags(SceneObject::kEulerPlacement);
    lookAt.setPosition(1, 0, 0);
    lookAt.setTarget(1, 0, -4);
    glLoadIdentity();
    lookAt.beginDraw();
    expectMatrix(currentModelview(), placement({1, 0, 0}, {1, 0, 4}, {0, 1, 0}));
    lookAt.endDraw();
}

TEST(SceneObjectDraw, MaterialStateIsSetAndRestored) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    glEnable(GL_DEPTH_TEST);
    SceneObject o;
    o.clearFlags(SceneObject::kDepthTest);
    o.setFlags(SceneObject::kSphereMap);
    o.setBlend(true);
    o.setColour({0.25f, 0.5f, 0.75f});
    o.setAlpha(0.5f);
    o.beginDraw();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
    o.endDraw();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST(SceneObjectDraw, TextureCoordinatesAreScaledAndShifted) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    Texture texture;
    texture.setOffset(0.5f, 0.25f);
    SceneObject o;
    o.addTexture(&texture);
    o.setTextureScale(0, 2.0f);
    o.beginDraw();  // writes the unit's scale into the shared texture
    EXPECT_FLOAT_EQ(texture.scaleU(), 2.0f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    o.emitTexCoord(1.0f, 3.0f);
    GLfloat st[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, st);
    EXPECT_FLOAT_EQ(st[0], 2.5f);
    EXPECT_FLOAT_EQ(st[1], 6.25f);
    o.endDraw();
}

}  // namespace
}  // namespace reef
