#include "core/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/Random.h"

namespace reef {
namespace {

constexpr float kEps = 1e-5f;

void expectVec(const Vec3& v, float x, float y, float z, float eps = kEps) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(MathVector, BasicOperations) {
    const Vec3 a{1, 2, 3}, b{4, -5, 6};
    expectVec(sub(a, b), -3, 7, -3);
    expectVec(add(a, b), 5, -3, 9);
    expectVec(divide(b, 2), 2, -2.5f, 3);
    // Right-handed: x cross y is z.
    expectVec(cross({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
    expectVec(cross(a, b), 2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4);
    EXPECT_FLOAT_EQ(dot(a, b), 4 - 10 + 18);
    EXPECT_FLOAT_EQ(dot2({1, 2}, {3, 4}), 11);
    EXPECT_FLOAT_EQ(length({3, 4, 12}), 13);
    EXPECT_FLOAT_EQ(length2({3, 4}), 5);
    EXPECT_FLOAT_EQ(distance({1, 1, 1}, {4, 5, 1}), 5);
    expectVec(lerp({0, 0, 0}, {10, -10, 4}, 0.25f), 2.5f, -2.5f, 1);
}

TEST(MathVector, NormalisingZeroVectorsNeverYieldsNaN) {
    Vec3 v{0, 3, 4};
    normalize(v);
    expectVec(v, 0, 0.6f, 0.8f);
    expectVec(normalized({-2, 0, 0}), -1, 0, 0);
    const Vec2 p = normalized2({0, -5});
    EXPECT_FLOAT_EQ(p.y, -1);

    Vec3 zero{};
    normalize(zero);
    EXPECT_TRUE(finite(zero));
    EXPECT_TRUE(finite(normalized({0, 0, 0})));
    const Vec2 z2 = normalized2({0, 0});
    EXPECT_TRUE(std::isfinite(z2.x) && std::isfinite(z2.y));
    EXPECT_TRUE(std::isfinite(signedAngle({0, 0, 0}, {1, 0, 0})));
    EXPECT_TRUE(std::isfinite(signedAngle2({0, 0}, {1, 0})));
    Quat q{0, 0, 0, 0};
    normalize(q);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.w));
}

TEST(MathVector, SignedAngles) {
    // Equal directions (of different length) give exactly 0.
    EXPECT_EQ(signedAngle({1, 2, 3}, {2, 4, 6}), 0.0f);
    EXPECT_EQ(signedAngle2({0.5f, 0.5f}, {3, 3}), 0.0f);
    // A quarter turn from +x to +y is positive, back is negative.
    EXPECT_NEAR(signedAngle({1, 0, 0}, {0, 1, 0}), kPi / 2, kEps);
    EXPECT_NEAR(signedAngle({0, 1, 0}, {1, 0, 0}), -kPi / 2, kEps);
    // The creatures pass (x, z): a turn from +x toward +z counts positive.
    EXPECT_NEAR(signedAngle2({1, 0}, {0, 1}), kPi / 2, kEps);
    EXPECT_NEAR(signedAngle2({0, 1}, {1, 0}), -kPi / 2, kEps);
    // Opposite directions: pi in size, negative when the 2D cross term is 0.
    EXPECT_NEAR(signedAngle({1, 0, 0}, {-1, 0, 0}), -kPi, kEps);
    EXPECT_NEAR(signedAngle2({0, 1}, {0, -1}), -kPi, kEps);
    // The angle stays defined when rounding pushes the dot product past -1.
    for (int i = 1; i < 200; ++i) {
        const float a = 0.0137f * static_cast<float>(i);
        const Vec3 v{std::cos(a) * 3.1f, std::sin(a) * 0.7f, std::sin(a * 1.7f) * 2.3f};
        const Vec3 w{-v.x * 1.9f, -v.y * 1.9f, -v.z * 1.9f};
        const float angle = signedAngle(v, w);
        ASSERT_TRUE(std::isfinite(angle)) << i;
        EXPECT_NEAR(std::fabs(angle), kPi, 1e-3f) << i;
        const float angle2 = signedAngle2({v.x, v.z}, {w.x, w.z});
        ASSERT_TRUE(std::isfinite(angle2)) << i;
    }
}

TEST(MathVector, RotateToward) {
    const Vec3 x{1, 0, 0}, y{0, 1, 0};
    // Within the limit: exactly `to`.
    const Vec3 near = normalized({1, 0.01f, 0});
    const Vec3 r1 = rotateToward(x, near, 5);
    EXPECT_EQ(r1.x, near.x);
    EXPECT_EQ(r1.y, near.y);
    EXPECT_EQ(r1.z, near.z);
    const Vec3 r2 = rotateToward(x, y, 90);
    EXPECT_EQ(r2.y, 1.0f);
    // Beyond the limit: turned by exactly the limit, toward `to`.
    expectVec(rotateToward(x, y, 30), std::cos(30 * kDegreesToRadians), std::sin(30 * kDegreesToRadians), 0);
    expectVec(rotateToward({0, 0, 1}, {1, 0, 0}, 45), std::sqrt(0.5f), 0, std::sqrt(0.5f));
    // No turn allowed: `from`.
    expectVec(rotateToward(x, y, 0), 1, 0, 0);
    // Exactly opposite directions still turn by the limit and stay unit length.
    const Vec3 back = rotateToward(x, {-1, 0, 0}, 10);
    ASSERT_TRUE(finite(back));
    EXPECT_NEAR(length(back), 1, 1e-4f);
    EXPECT_NEAR(back.x, std::cos(10 * kDegreesToRadians), 1e-4f);
    // Repeated steps reach the opposite direction.
    Vec3 d{0, 0, 1};
    for (int i = 0; i < 40; ++i) d = rotateToward(d, {0, 0, -1}, 10);
    expectVec(d, 0, 0, -1, 1e-4f);
}

TEST(MathMatrix, MultiplyRotationsAndTransform) {
    Mat4 a;
    for (int i = 0; i < 16; ++i) a.m[i] = static_cast<float>(i + 1);
    Mat4 id;
    setIdentity(id);
    const Mat4 p = multiply(a, id);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p.m[i], a.m[i]);
    // Column-major product: translation(1,2,3) * scale 2 applied to a point.
    Mat4 t, s;
    t.m[12] = 1;
    t.m[13] = 2;
    t.m[14] = 3;
    s.m[0] = s.m[5] = s.m[10] = 2;
    const Mat4 ts = multiply(t, s);
    EXPECT_EQ(ts.m[0], 2);
    EXPECT_EQ(ts.m[12], 1);
    EXPECT_EQ(ts.m[14], 3);
    const Mat4 st = multiply(s, t);
    EXPECT_EQ(st.m[12], 2);
    EXPECT_EQ(st.m[14], 6);

    const Mat4 rx = rotationX(90), ry = rotationY(90), rz = rotationZ(90);
    EXPECT_NEAR(rx.m[6], 1, kEps);
    EXPECT_NEAR(rx.m[9], -1, kEps);
    EXPECT_NEAR(ry.m[2], -1, kEps);
    EXPECT_NEAR(ry.m[8], 1, kEps);
    EXPECT_NEAR(rz.m[1], 1, kEps);
    EXPECT_NEAR(rz.m[4], -1, kEps);
    EXPECT_NEAR(rz.m[0], 0, kEps);

    // transformPoint reads rows: translation lives in m[3], m[7], m[11].
    Mat4 row;
    row.m[3] = 5;
    row.m[7] = -1;
    row.m[11] = 2;
    expectVec(transformPoint({1, 1, 1}, row), 6, 0, 3);
}

TEST(MathMatrix, QuaternionMatrixTurnsByTheInverseUnderTransformPoint) {
    Quat q = fromAxisAngle({0, 1, 0}, 90);
    EXPECT_NEAR(q.w, std::cos(kPi / 4), kEps);
    EXPECT_NEAR(q.y, std::sin(kPi / 4), kEps);
    // The axis is not normalised by fromAxisAngle; normalize fixes the length.
    Quat q2 = fromAxisAngle({0, 2, 0}, 90);
    normalize(q2);
    EXPECT_NEAR(q2.x * q2.x + q2.y * q2.y + q2.z * q2.z + q2.w * q2.w, 1, kEps);

    Quat idq;
    setIdentity(idq);
    const Mat4 idm = toMatrix(idq);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(idm.m[i], (i % 5 == 0) ? 1.0f : 0.0f);

    // +90 degrees about z, applied with transformPoint, turns +x to -y (the inverse turn).
    const Mat4 m = toMatrix(fromAxisAngle({0, 0, 1}, 90));
    expectVec(transformPoint({1, 0, 0}, m), 0, -1, 0);
    // Rotations keep lengths.
    const Mat4 m2 = toMatrix(q2);
    EXPECT_NEAR(length(transformPoint({1, 2, 3}, m2)), length({1, 2, 3}), 1e-4f);
}

TEST(MathMatrix, PlacementLooksDownLocalMinusZ) {
    const Mat4 m = placement({1, 2, 3}, {1, 2, 13}, {0, 1, 0});
    // Local -z (column 2 negated) points toward the centre.
    EXPECT_NEAR(-m.m[8], 0, kEps);
    EXPECT_NEAR(-m.m[10], 1, kEps);
    EXPECT_NEAR(m.m[5], 1, kEps);  // up stays up
    EXPECT_NEAR(m.m[0], -1, kEps);  // side = f x up = (0,0,1) x (0,1,0) = (-1,0,0)
    EXPECT_EQ(m.m[12], 1);
    EXPECT_EQ(m.m[13], 2);
    EXPECT_EQ(m.m[14], 3);
    EXPECT_EQ(m.m[15], 1);
    EXPECT_EQ(m.m[3], 0);
}

TEST(MathScalar, CatmullRomHitsItsControlPoints) {
    const Vec3 p0{-1, 0, 2}, p1{0, 1, 0}, p2{3, -2, 5}, p3{4, 4, 4};
    const Vec3 a = catmullRom(p0, p1, p2, p3, 0);
    const Vec3 b = catmullRom(p0, p1, p2, p3, 1);
    expectVec(a, p1.x, p1.y, p1.z);
    expectVec(b, p2.x, p2.y, p2.z);
    // On collinear, evenly spaced points the curve is the straight line.
    expectVec(catmullRom({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, 0.5f), 1.5f, 0, 0);
}

TEST(MathScalar, Approach) {
    float v = 10;
    EXPECT_EQ(approach(v, 15, 2), 2);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(approach(v, 11, 2), -1);
    EXPECT_EQ(v, 11);
    EXPECT_EQ(approach(v, 11, 2), 0);
    EXPECT_EQ(v, 11);
    EXPECT_EQ(approach(v, 0, 2), -2);
    EXPECT_EQ(v, 9);
    // A diff of exactly maxStep takes the full step.
    EXPECT_EQ(approach(v, 11, 2), 2);
    EXPECT_EQ(v, 11);
}

TEST(MathScalar, WrapKeepsTheSign) {
    EXPECT_FLOAT_EQ(wrap(370, 360), 10);
    EXPECT_FLOAT_EQ(wrap(-30, 360), -30);
    EXPECT_FLOAT_EQ(wrap(-390.5f, 360), -30.5f);
    EXPECT_FLOAT_EQ(wrap(2.25f, 1), 0.25f);
    EXPECT_FLOAT_EQ(wrap(720, 360), 0);
    EXPECT_FLOAT_EQ(wrap(359.5f, 360), 359.5f);
}

TEST(MathScalar, RandomFloatRangeAndSteps) {
    seedRandom(7);
    float lo = 1e9f, hi = -1e9f;
    for (int i = 0; i < 20000; ++i) {
        const float v = randomFloat(-50, 50, 2);
        ASSERT_GE(v, -50.0f);
        ASSERT_LT(v, 50.0f);
        const float steps = (v + 50.0f) * 100.0f;
        ASSERT_NEAR(steps, std::round(steps), 0.02f) << v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_LT(lo, -49.5f);
    EXPECT_GT(hi, 49.5f);
    // rand() stops at 32767, so a span above that leaves the top unreached.
    for (int i = 0; i < 20000; ++i) ASSERT_LE(randomFloat(0, 359, 2), 327.67f + 1e-3f);
    // Five digits: steps of 0.00001 within [lo, hi).
    for (int i = 0; i < 1000; ++i) {
        const float v = randomFloat(0.0005f, 0.001f, 5);
        ASSERT_GE(v, 0.0005f);
        ASSERT_LT(v, 0.001f);
    }
    // An empty span never divides by zero.
    EXPECT_EQ(randomFloat(3, 3, 2), 3.0f);
    EXPECT_EQ(randomFloat(3, 2, 2), 3.0f);
}

TEST(MathScalar, RandomFloatDrawsExactlyOneRand) {
    seedRandom(99);
    const int r = rand();
    seedRandom(99);
    EXPECT_FLOAT_EQ(randomFloat(2, 6, 2), 2.0f + static_cast<float>(r % 400) / 100.0f);
    std::set<int> loops;
    for (int i = 0; i < 500; ++i) loops.insert(static_cast<int>(randomFloat(2, 6, 2)));
    EXPECT_EQ(loops, (std::set<int>{2, 3, 4, 5}));
}

TEST(MathScalar, PointInPolygon) {
    const Vec2 square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_TRUE(pointInPolygon(square, 4, {2, 2}));
    EXPECT_FALSE(pointInPolygon(square, 4, {5, 2}));
    EXPECT_FALSE(pointInPolygon(square, 4, {-1, 2}));
    EXPECT_FALSE(pointInPolygon(square, 4, {2, 5}));
    EXPECT_FALSE(pointInPolygon(square, 0, {2, 2}));
    EXPECT_FALSE(pointInPolygon(nullptr, -3, {2, 2}));
    // On the bottom (horizontal) edge: only the vertical edges decide; y = 0 is not above min y.
    EXPECT_FALSE(pointInPolygon(square, 4, {2, 0}));
    // On the top edge: y = 4 satisfies min < y <= max for the right edge only.
    EXPECT_TRUE(pointInPolygon(square, 4, {2, 4}));

    // The fish area with its default corners, in the order 1, 2, 3, 4.
    const Vec2 area[] = {{-15, 25}, {-6, 2}, {-2, 2}, {10, 25}};
    EXPECT_TRUE(pointInPolygon(area, 4, {-5, 12}));
    EXPECT_TRUE(pointInPolygon(area, 4, {0, 20}));
    EXPECT_FALSE(pointInPolygon(area, 4, {12, 20}));
    EXPECT_FALSE(pointInPolygon(area, 4, {-4, 0}));
    EXPECT_FALSE(pointInPolygon(area, 4, {-5, 30}));
}

}  // namespace
}  // namespace reef
