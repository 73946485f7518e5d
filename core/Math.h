// Vector, matrix and quaternion helpers shared by every moving thing of the reef.
// Plain structs, free functions, float precision, no allocation. Angles are degrees
// unless a name says otherwise.
#pragma once

#include <cstdint>

namespace reef {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// A 2D pair; the creatures pass a direction's (x, z) as one.
struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

// Sixteen floats in OpenGL column-major order: m[4 * column + row].
struct Mat4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

struct Quat {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

inline constexpr float kDegreesToRadians = 0.017453292f;
inline constexpr float kRadiansToDegrees = 57.295776f;
inline constexpr float kPi = 3.1415927f;
inline constexpr float kTwoPi = 6.2831855f;

// Vectors.
Vec3 sub(const Vec3& a, const Vec3& b);
Vec3 add(const Vec3& a, const Vec3& b);
Vec3 scale(const Vec3& a, float s);
Vec3 divide(const Vec3& a, float s);
Vec3 cross(const Vec3& a, const Vec3& b);
float dot(const Vec3& a, const Vec3& b);
float dot2(const Vec2& p, const Vec2& q);
float length(const Vec3& a);
float length2(const Vec2& p);
float distance(const Vec3& a, const Vec3& b);
// NOTE: a zero-length vector is left unchanged (returned as it is) instead of
// turning into NaN, so one degenerate frame never poisons a creature.
void normalize(Vec3& a);
Vec3 normalized(const Vec3& a);
Vec2 normalized2(const Vec2& p);
bool equal(const Vec3& a, const Vec3& b);
// Signed angles in radians; positive when the 2D cross term (x then y) is positive.
float signedAngle(const Vec3& a, const Vec3& b);
float signedAngle2(const Vec2& p, const Vec2& q);
// Turns unit vector `from` toward unit vector `to` by at most maxDegrees.
Vec3 rotateToward(const Vec3& from, const Vec3& to, float maxDegrees);
// Reads m by rows of four floats (translation in m[3], m[7], m[11]).
Vec3 transformPoint(const Vec3& v, const Mat4& m);
Vec3 catmullRom(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, float t);
Vec3 lerp(const Vec3& p1, const Vec3& p2, float t);

// Matrices.
void setIdentity(Mat4& m);
Mat4 multiply(const Mat4& a, const Mat4& b);
Mat4 rotationX(float degrees);
Mat4 rotationY(float degrees);
Mat4 rotationZ(float degrees);
// Places a model at eye with its local -z axis toward center.
Mat4 placement(const Vec3& eye, const Vec3& center, const Vec3& up);

// Quaternions.
void setIdentity(Quat& q);
Quat fromAxisAngle(const Vec3& axis, float degrees);
void normalize(Quat& q);
Mat4 toMatrix(const Quat& q);

// Scalars.
// Moves value toward target by at most maxStep; returns the change made.
float approach(float& value, float target, float maxStep);
// x - trunc(x) + (trunc(x) mod n): the remainder keeps the sign of x.
float wrap(float x, int n);
// A value in [lo, hi) in steps of 10^-digits, drawn with the reef's rand().
float randomFloat(float lo, float hi, int digits);
// Crossing-count test of the 2D point p against the closed polygon.
bool pointInPolygon(const Vec2* points, int count, const Vec2& p);

}  // namespace reef
