#include "tools/CreatureModels.h"

#include <algorithm>
#include <cmath>

#include "tools/ModelGenerator.h"
#include "tools/Noise.h"

namespace reef::tools {
namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831853f;
constexpr float kDegrees = kPi / 180.0f;

float smooth(float e0, float e1, float x) { return smoothstep(e0, e1, x); }

P3 rotateAbout(P3 v, P3 axis, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return v * c + cross(axis, v) * s + axis * (dot(axis, v) * (1.0f - c));
}

// A thin two-faced sheet (fins, flaps): the surface f pushed `half` to each side
// along `side`, each face wound so that it faces away from the other.
void addSheet(Mesh& m, const std::function<P3(float, float)>& f, int nu, int nv, float s0, float s1, float t0, float t1,
              P3 side, float half) {
    for (int sign = 1; sign >= -1; sign -= 2) {
        const P3 offset = side * (half * static_cast<float>(sign));
        const auto g = [&](float u, float v) { return f(u, v) + offset; };
        const P3 n = cross(g(0.55f, 0.5f) - g(0.45f, 0.5f), g(0.5f, 0.55f) - g(0.5f, 0.45f));
        m.addPatch(g, nu, nv, s0, s1, t0, t1, dot(n, offset) < 0.0f);
    }
}

// ---- Fish -------------------------------------------------------------------------

// 0 at the tail base, 1 at the largest height, back to 0 at the snout.
float bodyProfile(const FishShape& s, float p) {
    const float q = std::clamp(p, 0.0f, 1.0f);
    const float g = q < s.deepestAt ? 0.5f * q / s.deepestAt : 0.5f + 0.5f * (q - s.deepestAt) / (1.0f - s.deepestAt);
    return std::max(0.0f, std::sin(kPi * g));  // never below 0: powers of it must stay real
}

// Which parts a fish vertex belongs to, for the texture projection.
enum class FishPart { Side, Pectoral };

struct FishBuild {
    Mesh mesh;
    std::vector<FishPart> parts;
};

FishBuild fishRest(const FishShape& s, float theta) {
    FishBuild out;
    Mesh& m = out.mesh;
    const float L = s.length;
    const auto yAt = [&](float p) { return (p - 0.5f) * L; };
    // Body: rings from just behind the tail base (closed there) to the snout.
    m.addPatch(
        [&](float u, float v) {
            const float a = u * kTwoPi;
            const float p = -0.03f + 1.03f * v;
            const float top = std::cos(a) > 0.0f ? s.hump * s.depth * std::cos(a) * std::exp(-std::pow((p - 0.84f) / 0.1f, 2.0f)) : 0.0f;
            return P3{s.halfWidth(p) * std::sin(a), yAt(p), s.centre(p) + s.halfDepth(p) * std::cos(a) + top};
        },
        12, 15, 0.0f, 1.0f, 0.0f, 1.0f, false);
    // Caudal fin: from the tail stalk back to its trailing edge.
    const float baseHalf = s.halfDepth(0.0f) * 0.9f, c0 = s.centre(0.0f);
    addSheet(
        m,
        [&](float u, float v) {
            const float w = std::fabs(2.0f * u - 1.0f);
            float length = s.tailLength, lift = 0.0f, span = s.tailSpan;
            switch (s.tail) {
                case TailKind::Forked: length *= 0.5f + 0.5f * std::pow(w, 1.2f); break;
                case TailKind::Rounded: length *= 1.0f - 0.3f * w * w; span *= 0.85f; break;
                case TailKind::Lunate: length *= 0.35f + 0.65f * std::pow(w, 1.4f); break;
                case TailKind::Shark:
                    length *= 0.3f + 0.75f * std::pow(u, 1.6f) + 0.3f * std::pow(1.0f - u, 2.0f);
                    lift = 0.25f * s.tailSpan;
                    break;
            }
            const float zBase = c0 + (u - 0.5f) * 2.0f * baseHalf;
            const float zEdge = c0 + (u - 0.5f) * span + lift;
            return P3{0.0f, yAt(0.0f) + 0.02f * L - length * v, zBase + (zEdge - zBase) * v};
        },
        4, 3, 0.0f, 1.0f, 0.0f, 1.0f, P3{1, 0, 0}, 0.06f);
    // Dorsal and anal fins along the back and the belly.
    const auto fin = [&](float from, float to, float height, bool up, bool triangle) {
        const float sign = up ? 1.0f : -1.0f;
        addSheet(
            m,
            [&](float u, float v) {
                const float p = from + (to - from) * u;
                const float base = s.centre(p) + sign * s.halfDepth(p) * 0.8f;
                if (triangle) {
                    const float tipP = from + 0.2f * (to - from);
                    const float y = yAt(p) + (yAt(tipP) - height * 0.35f - yAt(p)) * v;
                    return P3{0.0f, y, base + sign * height * v};
                }
                const float h = height * std::pow(std::sin(kPi * (0.05f + 0.9f * u)), 0.6f) * (0.75f + 0.25f * u);
                return P3{0.0f, yAt(p) - 0.25f * h * v, base + sign * h * v};
            },
            triangle ? 3 : 6, 1, 0.0f, 1.0f, 0.0f, 1.0f, P3{1, 0, 0}, 0.05f);
    };
    if (s.dorsalHeight > 0.0f) fin(s.dorsalFrom, s.dorsalTo, s.dorsalHeight, true, s.sharkDorsal);
    if (s.analHeight > 0.0f) fin(s.analFrom, s.analTo, s.analHeight, false, s.sharkDorsal);
    out.parts.assign(m.positions.size(), FishPart::Side);
    // Pectoral fins behind the gills, beating with the tail.
    if (s.pectoral > 0.0f) {
        for (int side = -1; side <= 1; side += 2) {
            const float sx = static_cast<float>(side);
            const size_t first = m.positions.size();
            addSheet(
                m,
                [&](float u, float v) {
                    const float p = 0.7f + 0.08f * u;
                    const P3 root{sx * s.halfWidth(p) * 0.9f, yAt(p), s.centre(p) - 0.35f * s.halfDepth(p)};
                    const float flap = 0.35f * std::sin(theta * 2.0f + (side > 0 ? 0.0f : kPi));
                    const P3 dir = unit(P3{sx * 0.75f * std::cos(flap), -0.6f, -0.25f + 0.75f * std::sin(flap)});
                    const float length = s.pectoral * (0.55f + 0.45f * std::sin(kPi * (0.2f + 0.8f * u)));
                    return root + dir * (length * v);
                },
                2, 2, FishLayout::kPectoralS + 0.01f, 0.99f, FishLayout::kPectoralT + 0.01f, 0.99f, P3{0, 0, 1}, 0.04f);
            out.parts.resize(m.positions.size(), FishPart::Pectoral);
            (void)first;
        }
    }
    return out;
}

// The tail beat: a wave running back along the body, growing toward the tail.
P3 swimSway(const FishShape& s, P3 p, float theta) {
    const float q = p.y / s.length + 0.5f;
    const float back = std::max(0.0f, 1.0f - q);
    const float head = 0.015f * s.length * std::max(0.0f, q - 0.7f) * std::sin(theta + kPi);
    return p + P3{s.beat * s.length * back * back * std::sin(theta - 2.5f * q) + head, 0.0f, 0.0f};
}

}  // namespace

float FishShape::halfDepth(float p) const {
    if (p < 0.0f) return depth * 0.5f * peduncle * std::max(0.0f, 1.0f + p / 0.03f);
    const float a = bodyProfile(*this, p);
    float h = p < deepestAt ? peduncle + (1.0f - peduncle) * a : std::pow(a, snout);
    h *= 1.0f - 0.35f * flatHead * smooth(0.6f, 1.0f, p);
    return depth * 0.5f * h;
}

float FishShape::halfWidth(float p) const {
    if (p < 0.0f) return width * 0.5f * 0.35f * std::max(0.0f, 1.0f + p / 0.03f);
    const float a = bodyProfile(*this, p);
    const float w = p < deepestAt ? 0.35f + 0.65f * a : std::pow(a, snout * (1.0f - 0.5f * flatHead));
    return width * 0.5f * w * (1.0f + 0.5f * flatHead * smooth(0.5f, 0.9f, p));
}

float FishShape::centre(float p) const {
    // The snout sits a little below the body's middle line, as in most reef fish.
    return -0.08f * depth * smooth(0.7f, 1.0f, p) * (1.0f - flatHead);
}

FishTexel FishLayout::at(float s, float t) const {
    const float y = m_minY + s * (m_maxY - m_minY);
    const float z = m_maxZ - t * (m_maxZ - m_minZ);
    FishTexel out{s, t, 0.0f, 0.0f, s >= kPectoralS && t >= kPectoralT, y, z};
    out.body = y / m_shape.length + 0.5f;
    const float p = std::clamp(out.body, 0.0f, 1.0f);
    const float h = std::max(m_shape.halfDepth(p), 1e-3f);
    out.across = (m_shape.centre(p) - z) / h;
    return out;
}

P3 FishLayout::eye() const {
    const float p = 0.86f;
    return {(p - 0.5f) * m_shape.length, m_shape.centre(p) + 0.3f * m_shape.halfDepth(p),
            (0.035f * m_shape.length + 0.08f * m_shape.halfDepth(p)) * m_shape.eyeSize};
}

FishModel buildFish(const FishShape& shape, int frames) {
    const FishBuild rest = fishRest(shape, 0.0f);
    float minY = 1e9f, maxY = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (size_t i = 0; i < rest.mesh.positions.size(); ++i) {
        if (rest.parts[i] != FishPart::Side) continue;
        const P3 p = rest.mesh.positions[i];
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
    }
    FishLayout layout(shape, minY, maxY, minZ, maxZ);
    AnimatedMesh model = buildFrames(frames, [&](int k) {
        const float theta = kTwoPi * static_cast<float>(k) / static_cast<float>(frames);
        FishBuild b = fishRest(shape, theta);
        for (size_t i = 0; i < b.mesh.positions.size(); ++i) {
            P3& p = b.mesh.positions[i];
            if (b.parts[i] == FishPart::Side) {
                // Side projection: the same picture on both flanks.
                b.mesh.uvs[2 * i] = std::clamp((p.y - minY) / (maxY - minY), 0.0f, 1.0f);
                b.mesh.uvs[2 * i + 1] = std::clamp((maxZ - p.z) / (maxZ - minZ), 0.0f, 1.0f);
            }
            p = swimSway(shape, p, theta);
        }
        return b.mesh;
    });
    return {std::move(model), layout};
}

// ---- Manta --------------------------------------------------------------------------

AnimatedMesh buildManta(int frames) {
    constexpr float kSpan = 10.0f;  // half the wingspan
    const auto build = [&](float theta) {
        Mesh m;
        const auto wing = [&](float u, float v, bool top) {
            const float x = (2.0f * u - 1.0f) * kSpan;
            const float xi = std::fabs(x) / kSpan;
            const float front = 5.0f - 6.8f * std::pow(xi, 0.9f);
            const float back = -5.0f + 3.2f * std::pow(xi, 0.7f);
            const float y = back + (front - back) * v;
            const float bulk = std::pow(std::max(0.0f, 1.0f - xi), 1.4f) * std::pow(std::max(0.0f, std::sin(kPi * v)), 0.6f);
            const float z = top ? 1.3f * bulk : -0.6f * bulk;
            const float lift = 0.2f * kSpan * std::pow(xi, 1.5f) * std::sin(theta - 1.3f * xi);
            return P3{x, y - 0.6f * std::pow(xi, 2.0f) * std::cos(theta - 1.3f * xi), z + lift};
        };
        m.addPatch([&](float u, float v) { return wing(u, v, true); }, 16, 6, 0.0f, 1.0f, 0.49f, 0.01f, false);
        m.addPatch([&](float u, float v) { return wing(u, v, false); }, 16, 6, 0.0f, 1.0f, 0.99f, 0.51f, true);
        // Cephalic fins: two curled flaps beside the mouth.
        for (int side = -1; side <= 1; side += 2) {
            const float sx = static_cast<float>(side);
            addSheet(
                m,
                [&](float u, float v) {
                    const float curl = 0.6f * v * v;
                    return P3{sx * (1.5f + 0.3f * u - curl), 4.3f + 2.2f * v, -0.2f - 0.9f * u + 0.4f * v};
                },
                1, 2, 0.5f, 0.52f, 0.03f, 0.05f, P3{1, 0, 0}, 0.08f);
        }
        m.addTube({{0, -4.6f, 0.1f}, {0, -8.0f, 0.1f + 0.3f * std::sin(theta)}, {0, -12.0f, 0.2f + 0.6f * std::sin(theta - 0.8f)}},
                  {0.35f, 0.18f, 0.06f}, 4, 0.49f, 0.51f, 0.45f, 0.47f);
        return m;
    };
    return buildFrames(frames, [&](int k) { return build(kTwoPi * static_cast<float>(k) / static_cast<float>(frames)); });
}

// ---- Turtle -------------------------------------------------------------------------

namespace {

// One moment of the turtle: where it is (its own frame: y forward, z up), how
// far the flippers stroke (0 resting on the sand, 1 swimming) and breathing.
struct TurtlePose {
    P3 offset{};
    float pitch = 0.0f;  // degrees, nose up
    float swim = 0.0f;
    float stroke = 0.0f;  // radians
    float breath = 0.0f;  // 0..1
};

constexpr float kShellBottom = 1.3f;  // resting height of the plastron's middle

// Texture atlas of the turtle: shell top left half, plastron the next quarter,
// skin the last quarter.
constexpr float kSkinS0 = 0.77f, kSkinS1 = 0.98f;

P3 flipperPoint(float u, float v, float span, float chord0, float chord1, float thick, float sweepBack) {
    const float a = v * kTwoPi;
    const float chord = chord0 + (chord1 - chord0) * u;
    const float t = thick * (1.0f - 0.7f * u) + 0.05f;
    const float rounded = std::sqrt(std::max(0.0f, 1.0f - std::pow(std::max(0.0f, u - 0.85f) / 0.15f, 2.0f)));
    return P3{span * u, -sweepBack * u * u + 0.5f * chord * std::cos(a) * (0.3f + 0.7f * rounded),
              t * std::sin(a) * (0.3f + 0.7f * rounded)};
}

Mesh turtleMesh(const TurtlePose& pose) {
    Mesh m;
    const float lift = 0.12f * pose.breath;
    // Shell: a dome over an almost flat plastron, narrowing to the rear.
    m.addPatch(
        [&](float u, float v) {
            const float a = u * kTwoPi, phi = v * kPi;
            const float r = std::sin(phi);
            float x = 5.4f * r * std::cos(a), y = 7.0f * r * std::sin(a);
            if (y < 0.0f) x *= 1.0f + 0.18f * y / 7.0f;
            const float z = std::cos(phi) > 0.0f ? 3.0f * std::cos(phi) : 0.9f * std::cos(phi);
            return P3{x, y, kShellBottom + 0.9f + z + lift};
        },
        16, 8, 0.0f, 1.0f, 0.0f, 1.0f, true);
    // Planar texture coordinates: the dome from above, the plastron from below.
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const P3 p = m.positions[i];
        const bool top = p.z > kShellBottom + 0.9f + lift - 1e-3f;
        const float su = 0.5f + p.x / 11.6f, tv = 0.5f - p.y / 14.6f;
        m.uvs[2 * i] = top ? 0.01f + 0.48f * su : 0.51f + 0.24f * su;
        m.uvs[2 * i + 1] = std::clamp(tv, 0.01f, 0.99f);
    }
    // Head on a short neck, breathing lifts it.
    const P3 head{0.0f, 8.2f + 0.3f * pose.breath, kShellBottom + 1.3f + 0.5f * pose.breath};
    m.addTube({{0, 5.0f, kShellBottom + 1.0f}, head}, {1.2f, 1.0f}, 8, kSkinS0, kSkinS1, 0.4f, 0.5f);
    m.addEllipsoid(head + P3{0, 0.7f, 0.1f}, {1.25f, 1.8f, 1.1f}, 10, 6, kSkinS0, kSkinS1, 0.02f, 0.35f);
    m.addEllipsoid({0, -7.0f, kShellBottom + 0.8f}, {0.5f, 1.3f, 0.4f}, 6, 4, kSkinS0, kSkinS1, 0.5f, 0.6f);
    // Flippers: front ones long and curved, rear ones short paddles.
    for (int limb = 0; limb < 4; ++limb) {
        const bool front = limb < 2;
        const float sx = (limb % 2 == 0) ? 1.0f : -1.0f;
        const P3 root = front ? P3{3.8f * sx, 3.6f, kShellBottom + 0.9f} : P3{3.0f * sx, -5.0f, kShellBottom + 0.6f};
        float sweep, stroke, twist;
        if (front) {
            const float restSweep = -28.0f, restStroke = -12.0f;
            const float swimSweep = -12.0f + 22.0f * std::sin(pose.stroke);
            const float swimStroke = 32.0f * std::cos(pose.stroke);
            sweep = restSweep + (swimSweep - restSweep) * pose.swim;
            stroke = restStroke + (swimStroke - restStroke) * pose.swim + 3.0f * pose.breath;
            twist = 25.0f * std::sin(pose.stroke) * pose.swim;
        } else {
            sweep = -62.0f + (8.0f * std::sin(pose.stroke + 1.0f)) * pose.swim;
            stroke = -10.0f + (14.0f + 10.0f * std::cos(pose.stroke + 1.0f)) * pose.swim;
            twist = 0.0f;
        }
        const size_t first = m.positions.size();
        m.addPatch(
            [&](float u, float v) {
                P3 p = front ? flipperPoint(u, v, 8.0f, 2.6f, 0.8f, 0.45f, 1.6f) : flipperPoint(u, v, 3.4f, 2.0f, 1.4f, 0.4f, 0.3f);
                p = rotateAbout(p, P3{1, 0, 0}, twist * kDegrees);
                p = rotateAbout(p, P3{0, 1, 0}, -stroke * kDegrees);
                p = rotateAbout(p, P3{0, 0, 1}, sweep * kDegrees);
                return root + P3{p.x * sx, p.y, p.z};
            },
            6, 6, kSkinS0, kSkinS1, front ? 0.62f : 0.82f, front ? 0.8f : 0.98f, sx > 0.0f);
        (void)first;
    }
    // Place the whole turtle: pitch about its middle, then move along its path.
    for (P3& p : m.positions) {
        P3 q = p - P3{0, 0, kShellBottom};
        q = rotateAbout(q, P3{1, 0, 0}, pose.pitch * kDegrees);
        p = q + P3{0, 0, kShellBottom} + pose.offset;
    }
    return m;
}

}  // namespace

AnimatedMesh buildRestingTurtle() {
    // The turtle rests with its nose to the viewer's right and a little toward him.
    const float heading = -110.0f * kDegrees;
    return buildFrames(kTurtleFrames, [&](int f) {
        TurtlePose pose;
        if (f <= 100) {
            // Swims in from behind and above, glides down and folds its flippers.
            const float t = static_cast<float>(f) / 100.0f;
            const float e = smooth(0.0f, 0.88f, t);
            pose.offset = P3{0.0f, -260.0f * (1.0f - e), 70.0f * std::pow(1.0f - e, 1.5f)};
            pose.swim = 1.0f - smooth(0.62f, 0.96f, t);
            pose.stroke = kTwoPi * 8.0f * t;
            pose.pitch = -9.0f * pose.swim * (1.0f - e);
        } else if (f <= 126) {
            // Resting: slow breaths, one per loop.
            const float phase = kTwoPi * static_cast<float>(f - 100) / 26.0f;
            pose.breath = 0.5f - 0.5f * std::cos(phase);
        } else {
            // Pushes off the sand and swims away forward and up.
            const float t = static_cast<float>(f - 127) / 103.0f;
            const float e = smooth(0.06f, 1.0f, t);
            pose.swim = smooth(0.0f, 0.12f, t);
            pose.stroke = kTwoPi * 9.0f * t;
            pose.offset = P3{0.0f, 240.0f * std::pow(e, 1.3f), 90.0f * std::pow(e, 1.6f)};
            pose.pitch = 14.0f * pose.swim * (1.0f - 0.6f * t);
        }
        Mesh m = turtleMesh(pose);
        for (P3& p : m.positions) p = rotateAbout(p, P3{0, 0, 1}, heading);
        return m;
    });
}

AnimatedMesh buildSwimmingTurtle(int frames) {
    return buildFrames(frames, [&](int k) {
        TurtlePose pose;
        pose.swim = 1.0f;
        pose.stroke = kTwoPi * static_cast<float>(k) / static_cast<float>(frames);
        pose.offset = P3{0.0f, 0.0f, -kShellBottom - 1.0f};  // centred on its path
        return turtleMesh(pose);
    });
}

// ---- Moray and its rock ------------------------------------------------------------

namespace {

constexpr float kRockCentreZ = 6.0f;
constexpr float kRockHalfDepth = 9.0f;
const P3 kHole{0.0f, -kRockHalfDepth * 0.97f, kRockCentreZ};
constexpr float kMorayLength = 20.0f;
constexpr float kMorayRadius = 1.15f;
constexpr float kMorayReach = 15.0f;  // how far the head comes out of the hole

// The eel's path: inside the rock it runs back and down into the sand, outside
// it arcs up out of the hole toward the viewer.
P3 morayPath(float s) {
    if (s <= 0.0f) return kHole + P3{0.0f, -s * 0.75f, s * 0.6f};
    const float k = 0.07f;
    return kHole + P3{0.0f, -std::sin(k * s) / k, (1.0f - std::cos(k * s)) / k};
}

}  // namespace

AnimatedMesh buildMoray(int frames) {
    return buildFrames(frames, [&](int f) {
        const float t = static_cast<float>(f) / static_cast<float>(frames);
        const float out = smooth(0.0f, 0.25f, t) * (1.0f - smooth(0.72f, 0.98f, t));
        const float headS = -2.5f + (kMorayReach + 2.5f) * out;
        const float gape = out * (0.5f - 0.5f * std::cos(kTwoPi * 5.0f * t));
        const float look = std::sin(kTwoPi * 2.0f * t) * out;
        Mesh m;
        m.addPatch(
            [&](float u, float v) {
                const float s = headS - kMorayLength * (1.0f - v);
                const float a = u * kTwoPi;
                const P3 c = morayPath(s);
                const P3 tangent = unit(morayPath(s + 0.05f) - morayPath(s - 0.05f));
                const P3 side{1.0f, 0.0f, 0.0f};
                const P3 up = cross(tangent, side);
                const float tip = v > 0.86f ? std::sqrt(std::max(0.0f, 1.0f - std::pow((v - 0.86f) / 0.145f, 2.0f))) : 1.0f;
                const float r = kMorayRadius * (0.45f + 0.55f * std::min(1.0f, v * 4.0f)) * (0.25f + 0.75f * tip);
                float vertical = r * std::cos(a) * 1.15f;
                // The jaw drops from the corner of the mouth toward the snout.
                if (std::cos(a) < 0.0f && v > 0.86f) vertical -= gape * 1.3f * (v - 0.86f) / 0.14f;
                const float outside = std::max(0.0f, s) / kMorayReach;
                const float sway = 1.6f * outside * outside * look;
                return c + side * (r * std::sin(a) * 0.85f + sway) + up * vertical;
            },
            8, 15, 0.0f, 1.0f, 1.0f, 0.0f, true);
        return m;
    });
}

AnimatedMesh buildMorayRock() {
    const Noise n(301);
    return buildFrames(1, [&](int) {
        Mesh m;
        m.addPatch(
            [&](float u, float v) {
                const float a = u * kTwoPi, b = (v - 0.5f) * kPi;
                P3 d{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)};
                // Keep the face around the hole smooth so the moray meets its opening.
                const float nearHole = std::exp(-(std::pow(d.x / 0.35f, 2.0f) + std::pow(d.z / 0.35f, 2.0f))) * (d.y < 0 ? 1.0f : 0.0f);
                const float bump = 1.0f + 0.16f * n.fractal(d.x * 2.0f + 5.0f, d.y * 2.0f + d.z * 1.3f + 5.0f, 0, 3) * (1.0f - nearHole);
                return P3{14.0f * d.x * bump, kRockHalfDepth * d.y * bump, kRockCentreZ + 8.0f * d.z * bump};
            },
            18, 10, 0.0f, 1.0f, 1.0f, 0.0f, false);
        return m;
    });
}

// ---- Giant clam ------------------------------------------------------------------------

AnimatedMesh buildClam(int frames) {
    constexpr float kLength = 16.0f, kWidth = 4.6f, kHeight = 7.0f;
    return buildFrames(frames, [&](int f) {
        const float t = static_cast<float>(f) / static_cast<float>(frames);
        const float open = smooth(0.04f, 0.3f, t) * (1.0f - smooth(0.7f, 0.96f, t));
        const float angle = (13.0f + 23.0f * open) * kDegrees;
        const float ripple = std::sin(kTwoPi * 3.0f * t) * open;
        Mesh m;
        // A valve: from the hinge (v = 0, along y at the bottom) up to the wavy lip.
        const auto valve = [&](float u, float v, float side, float inset) {
            const float phi = v * kPi * 0.92f;
            const float half = 0.5f * kLength * (0.55f + 0.45f * std::sin(kPi * (0.25f + 0.75f * v)));
            const float folds = 1.1f * std::sin(kTwoPi * 2.5f * u) * v * v;
            const float r = kWidth * std::sin(phi) * (1.0f - inset) + folds * (1.0f - inset);
            const float z = kHeight * (0.5f - 0.5f * std::cos(phi)) + 0.7f * std::fabs(std::sin(kPi * 5.0f * u)) * v * v;
            const float y = (u - 0.5f) * 2.0f * half * std::sqrt(std::max(0.05f, 1.0f - std::pow(1.0f - v, 6.0f)));
            P3 p{r, y, z * (1.0f - 0.5f * inset)};
            p = rotateAbout(p, P3{0, 1, 0}, -angle);
            return P3{p.x * side, p.y, p.z};
        };
        for (int side = -1; side <= 1; side += 2) {
            const float sx = static_cast<float>(side);
            m.addPatch([&](float u, float v) { return valve(u, v, sx, 0.0f); }, 10, 6, 0.0f, 1.0f, 0.02f, 0.46f, sx < 0.0f);
            m.addPatch([&](float u, float v) { return valve(u, v, sx, 0.08f); }, 10, 6, 0.0f, 1.0f, 0.02f, 0.46f, sx > 0.0f);
        }
        // The mantle between the two lips, bulging up as the valves part.
        m.addPatch(
            [&](float u, float v) {
                const P3 a = valve(u, 0.97f, -1.0f, 0.05f), b = valve(u, 0.97f, 1.0f, 0.05f);
                const P3 mid = a + (b - a) * v;
                const float bulge = (1.6f + 1.8f * open) * std::sin(kPi * v) * std::sin(kPi * (0.08f + 0.84f * u));
                return mid + P3{0.0f, 0.0f, bulge + 0.25f * ripple * std::sin(kTwoPi * 2.0f * u)};
            },
            10, 4, 0.02f, 0.98f, 0.54f, 0.98f, true);
        return m;
    });
}

}  // namespace reef::tools
