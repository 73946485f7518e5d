#include "core/Math.h"

#include <algorithm>
#include <cmath>

#include "core/Random.h"

namespace reef {

Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 scale(const Vec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vec3 divide(const Vec3& a, float s) { return {a.x / s, a.y / s, a.z / s}; }

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float dot2(const Vec2& p, const Vec2& q) { return p.x * q.x + p.y * q.y; }
float length(const Vec3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
float length2(const Vec2& p) { return std::sqrt(p.x * p.x + p.y * p.y); }
float distance(const Vec3& a, const Vec3& b) { return length(sub(a, b)); }

void normalize(Vec3& a) {
    const float len = length(a);
    if (len > 0.0f) a = divide(a, len);
}

Vec3 normalized(const Vec3& a) {
    Vec3 copy = a;
    normalize(copy);
    return copy;
}

Vec2 normalized2(const Vec2& p) {
    const float len = length2(p);
    if (len <= 0.0f) return p;
    return {p.x / len, p.y / len};
}

bool equal(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

float signedAngle(const Vec3& a, const Vec3& b) {
    const Vec3 na = normalized(a);
    const Vec3 nb = normalized(b);
    if (equal(na, nb)) return 0.0f;
    // Clamped on both sides: rounding can push the dot of opposite unit vectors below -1.
    const float angle = std::acos(std::clamp(dot(na, nb), -1.0f, 1.0f));
    return (na.x * nb.y - na.y * nb.x > 0.0f) ? angle : -angle;
}

float signedAngle2(const Vec2& p, const Vec2& q) {
    const Vec2 np = normalized2(p);
    const Vec2 nq = normalized2(q);
    if (np.x == nq.x && np.y == nq.y) return 0.0f;
    // The lower clamp keeps acos defined when rounding pushes the dot below -1.
    const float angle = std::acos(std::clamp(dot2(np, nq), -1.0f, 1.0f));
    return (np.x * nq.y - np.y * nq.x > 0.0f) ? angle : -angle;
}

Vec3 rotateToward(const Vec3& from, const Vec3& to, float maxDegrees) {
    Vec3 axis = normalized(cross(from, to));
    const float between = std::acos(std::clamp(dot(from, to), -1.0f, 1.0f));
    const float limit = maxDegrees * kDegreesToRadians;
    if (!(between > limit)) return to;
    // Opposite directions have no common plane; without an axis the turn would only
    // shrink `from` and never come about. Turn about the vertical instead (a yaw),
    // or about x when `from` is itself vertical.
    if (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f) {
        axis = normalized(cross(from, Vec3{0.0f, 1.0f, 0.0f}));
        if (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f) axis = normalized(cross(from, Vec3{1.0f, 0.0f, 0.0f}));
    }
    const float c = std::cos(limit);
    const float s = std::sin(limit);
    const float d = 1.0f - c;
    const float x = axis.x, y = axis.y, z = axis.z;
    const float fx = from.x, fy = from.y, fz = from.z;
    return {(c + d * x * x) * fx + (d * x * y - s * z) * fy + (d * x * z + s * y) * fz,
            (d * x * y + s * z) * fx + (c + d * y * y) * fy + (d * y * z - s * x) * fz,
            (d * x * z - s * y) * fx + (d * y * z + s * x) * fy + (c + d * z * z) * fz};
}

Vec3 transformPoint(const Vec3& v, const Mat4& mat) {
    const float* m = mat.m;
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3],
            m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7],
            m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11]};
}

namespace {
float catmullRom1(float p0, float p1, float p2, float p3, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                   (3.0f * p1 - p0 - 3.0f * p2 + p3) * t3);
}
}  // namespace

Vec3 catmullRom(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, float t) {
    return {catmullRom1(p0.x, p1.x, p2.x, p3.x, t), catmullRom1(p0.y, p1.y, p2.y, p3.y, t),
            catmullRom1(p0.z, p1.z, p2.z, p3.z, t)};
}

Vec3 lerp(const Vec3& p1, const Vec3& p2, float t) {
    return {p1.x + (p2.x - p1.x) * t, p1.y + (p2.y - p1.y) * t, p1.z + (p2.z - p1.z) * t};
}

void setIdentity(Mat4& m) { m = Mat4{}; }

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 p;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[4 * k + i] * b.m[4 * j + k];
            p.m[4 * j + i] = sum;
        }
    }
    return p;
}

Mat4 rotationX(float degrees) {
    const float r = degrees * kDegreesToRadians;
    Mat4 m;
    m.m[5] = m.m[10] = std::cos(r);
    m.m[6] = std::sin(r);
    m.m[9] = -std::sin(r);
    return m;
}

Mat4 rotationY(float degrees) {
    const float r = degrees * kDegreesToRadians;
    Mat4 m;
    m.m[0] = m.m[10] = std::cos(r);
    m.m[2] = -std::sin(r);
    m.m[8] = std::sin(r);
    return m;
}

Mat4 rotationZ(float degrees) {
    const float r = degrees * kDegreesToRadians;
    Mat4 m;
    m.m[0] = m.m[5] = std::cos(r);
    m.m[1] = std::sin(r);
    m.m[4] = -std::sin(r);
    return m;
}

Mat4 placement(const Vec3& eye, const Vec3& center, const Vec3& up) {
    const Vec3 f = normalized(sub(center, eye));
    const Vec3 s = normalized(cross(f, up));
    const Vec3 u = cross(s, f);
    Mat4 m;
    const float values[16] = {s.x,  s.y,  s.z,  0, u.x,   u.y,   u.z,   0,
                              -f.x, -f.y, -f.z, 0, eye.x, eye.y, eye.z, 1};
    std::copy(values, values + 16, m.m);
    return m;
}

void setIdentity(Quat& q) { q = Quat{}; }

Quat fromAxisAngle(const Vec3& axis, float degrees) {
    const float half = degrees * 0.0055555557f * kPi * 0.5f;
    const float s = std::sin(half);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(half)};
}

void normalize(Quat& q) {
    const float len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (len <= 0.0f) return;
    q.x /= len;
    q.y /= len;
    q.z /= len;
    q.w /= len;
}

Mat4 toMatrix(const Quat& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Mat4 m;
    m.m[0] = 1 - 2 * (y * y + z * z);
    m.m[1] = 2 * (x * y + w * z);
    m.m[2] = 2 * (x * z - w * y);
    m.m[3] = 0;
    m.m[4] = 2 * (x * y - w * z);
    m.m[5] = 1 - 2 * (x * x + z * z);
    m.m[6] = 2 * (y * z + w * x);
    m.m[7] = 0;
    m.m[8] = 2 * (x * z + w * y);
    m.m[9] = 2 * (y * z - w * x);
    m.m[10] = 1 - 2 * (x * x + y * y);
    m.m[11] = 0;
    m.m[12] = m.m[13] = m.m[14] = 0;
    m.m[15] = 1;
    return m;
}

float approach(float& value, float target, float maxStep) {
    if (target == value) return 0.0f;
    const float diff = target - value;
    if (diff >= maxStep) {
        value += maxStep;
        return maxStep;
    }
    if (diff > -maxStep) {
        value = target;
        return diff;
    }
    value -= maxStep;
    return -maxStep;
}

float wrap(float x, int n) {
    const float whole = std::trunc(x);
    if (n == 0) return x;
    // Values beyond the int range cannot carry a meaningful angle; keep them as they are.
    if (!(std::fabs(whole) < 2.0e9f)) return x;
    return x - whole + static_cast<float>(static_cast<long long>(whole) % n);
}

float randomFloat(float lo, float hi, int digits) {
    float scaleFactor = 10.0f;
    for (int i = 1; i < digits; ++i) scaleFactor *= 10.0f;
    const int span = static_cast<int>((hi - lo) * scaleFactor);
    // An empty span has no value to draw; lo is the only sensible answer (and avoids mod 0).
    if (span <= 0) return lo;
    const int r = rand() % span;
    const float result = lo + static_cast<float>(r) / scaleFactor;
    return std::min(result, hi);
}

bool pointInPolygon(const Vec2* points, int count, const Vec2& p) {
    if (count < 1) return false;
    int crossings = 0;
    for (int k = 1; k <= count; ++k) {
        const Vec2& a = points[k - 1];
        const Vec2& b = points[k % count];
        if (a.y == b.y) continue;
        if (!(std::min(a.y, b.y) < p.y && p.y <= std::max(a.y, b.y))) continue;
        if (!(p.x <= std::max(a.x, b.x))) continue;
        if (a.x == b.x || p.x <= (p.y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x) ++crossings;
    }
    return (crossings % 2) == 1;
}

}  // namespace reef
