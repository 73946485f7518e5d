#include "tools/ModelGenerator.h"

#include <algorithm>
#include <cmath>

#include "engine/TQArchiveFormat.h"
#include "tools/Md3Writer.h"
#include "tools/Noise.h"
#include "tools/Rng.h"
#include "writers/ArchiveWriter.h"

namespace reef::tools {
namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kPi = 3.1415927f;

// Rotates v about the unit axis by `angle` radians (Rodrigues).
P3 rotate(P3 v, P3 axis, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return v * c + cross(axis, v) * s + axis * (dot(axis, v) * (1.0f - c));
}

// A sway that grows with height above the base: frames loop over one period.
P3 sway(P3 p, float height, float amplitude, float theta, float exponent = 1.6f) {
    const float h = std::clamp(p.z / height, 0.0f, 1.2f);
    const float w = std::pow(h, exponent) * amplitude;
    const float local = 0.6f * (p.x + p.y) / height;  // neighbouring parts lag a little
    return p + P3{w * std::sin(theta + local), w * 0.6f * std::sin(theta * 2.0f + 1.3f + local), 0.0f};
}

// ---- Cluster helpers ----------------------------------------------------------

// A part of a cluster: scaled by k, turned by `turn` radians about the vertical
// and moved to `at` (model units).
Mesh placed(Mesh m, P3 at, float k, float turn = 0.0f) {
    const float c = std::cos(turn), s = std::sin(turn);
    for (P3& p : m.positions) p = P3{(p.x * c - p.y * s) * k + at.x, (p.x * s + p.y * c) * k + at.y, p.z * k + at.z};
    return m;
}

// The same part painted from another column of the texture: its s range moves to
// [s0, s0 + width]. The coral textures hold one colour variety per column, so one
// model shows colonies of different colours.
Mesh tinted(Mesh m, float s0, float width) {
    for (size_t i = 0; i < m.uvs.size(); i += 2) m.uvs[i] = s0 + m.uvs[i] * width;
    return m;
}

// ---- Branching corals ---------------------------------------------------------

struct Branch {
    std::vector<P3> path;
    std::vector<float> radii;
};

// Grows a branch from `start` along `dir`, bending slightly, then forks recursively.
void grow(std::vector<Branch>& out, Rng& rng, P3 start, P3 dir, float length, float radius, int depth,
          float upward, float spread, int segments, float tipRadius) {
    Branch b;
    P3 p = start, d = unit(dir);
    b.path.push_back(p);
    b.radii.push_back(radius);
    const float endRadius = depth == 0 ? tipRadius : radius * 0.72f;
    for (int s = 1; s <= segments; ++s) {
        d = unit(d + P3{rng.range(-0.15f, 0.15f), rng.range(-0.15f, 0.15f), upward});
        p = p + d * (length / segments);
        b.path.push_back(p);
        b.radii.push_back(radius + (endRadius - radius) * s / segments);
    }
    out.push_back(b);
    if (depth == 0) return;
    const int forks = 2;
    for (int f = 0; f < forks; ++f) {
        const P3 side = unit(cross(d, P3{rng.range(-1.0f, 1.0f), rng.range(-1.0f, 1.0f), 0.3f}));
        const float angle = spread * (f == 0 ? 1.0f : -0.8f) * rng.range(0.7f, 1.2f);
        grow(out, rng, p, rotate(d, side, angle), length * rng.range(0.6f, 0.8f), endRadius, depth - 1, upward,
             spread, segments, tipRadius);
    }
}

Mesh branchesMesh(const std::vector<Branch>& branches, int sides, float height, int tipRings = 1) {
    Mesh m;
    for (const Branch& b : branches)
        m.addTube(b.path, b.radii, sides, 0.0f, 1.0f, std::clamp(b.path.front().z / height, 0.0f, 1.0f),
                  std::clamp(b.path.back().z / height, 0.0f, 1.0f), tipRings);
    return m;
}

// One staghorn colony: antler-like branches, about 1.3 units tall at k = 1.
Mesh staghornColony(uint32_t seed, int roots) {
    Rng rng(seed);
    std::vector<Branch> branches;
    for (int i = 0; i < roots; ++i) {
        const float a = kTwoPi * i / roots + rng.range(-0.3f, 0.3f);
        const P3 dir{std::cos(a) * 0.45f, std::sin(a) * 0.45f, 1.0f};
        grow(branches, rng, P3{std::cos(a) * 0.06f, std::sin(a) * 0.06f, -0.05f}, dir, rng.range(0.45f, 0.6f), 0.085f,
             2, 0.12f, 0.5f, 2, 0.045f);
    }
    return branchesMesh(branches, 4, 1.3f);
}

// Staghorn thicket: three colonies of different sizes and two colours side by side.
Mesh staghornRest() {
    Mesh m = tinted(staghornColony(101, 5), 0.0f, 0.5f);
    m.append(tinted(placed(staghornColony(111, 5), {0.95f, 0.35f, 0.0f}, 0.75f, 1.1f), 0.5f, 0.5f));
    m.append(tinted(placed(staghornColony(121, 5), {-0.8f, 0.55f, 0.0f}, 0.6f, 2.3f), 0.0f, 0.5f));
    m.append(tinted(placed(staghornColony(131, 3), {1.6f, -0.5f, -0.08f}, 0.5f, 0.4f), 0.0f, 0.5f));
    m.append(tinted(placed(staghornColony(141, 3), {-1.5f, -0.4f, -0.08f}, 0.45f, 1.7f), 0.5f, 0.5f));
    return m;
}

// One sea fan: a lacy membrane spread between a few ribs on a short stalk, about 25
// units tall, in the x-z plane. The membrane takes the left three quarters of the
// texture (the lace), the ribs the last quarter.
Mesh seaFan(uint32_t seed) {
    Rng rng(seed);
    Mesh m;
    std::vector<Branch> ribs;
    ribs.push_back(Branch{{{0, 0, -1.0f}, {0, 0, 2.0f}, {0.2f, 0, 4.0f}}, {1.1f, 0.9f, 0.75f}});
    const float reach = 19.0f;
    std::vector<float> rim(9);
    for (float& r : rim) r = reach * rng.range(0.85f, 1.05f);
    for (int i = 0; i < 5; ++i) {
        const float a = (i - 2) * 0.36f;
        Branch b;
        for (int s = 0; s <= 3; ++s) {
            const float t = s / 3.0f;
            const float bend = 0.1f * std::sin(t * kPi) * (i - 2);
            b.path.push_back(P3{0.2f + std::sin(a + bend) * reach * 0.95f * t, 0.0f, 4.0f + std::cos(a + bend) * reach * 0.95f * t});
            b.radii.push_back(0.55f - 0.3f * t);
        }
        ribs.push_back(b);
    }
    m.append(tinted(branchesMesh(ribs, 4, 25.0f), 0.78f, 0.22f));
    // The membrane: u across the fan from left to right, v out from the stalk; its
    // rim undulates and the sheet waves a little front to back.
    const float phase = rng.range(0.0f, kTwoPi);
    m.addPatch(
        [&](float u, float v) {
            const float a = (u - 0.5f) * 2.0f * 0.8f;
            const float fi = u * 8.0f;
            const int k = std::min(static_cast<int>(fi), 7);
            const float r = (rim[static_cast<size_t>(k)] * (1.0f - (fi - k)) + rim[static_cast<size_t>(k + 1)] * (fi - k)) * v;
            return P3{0.2f + std::sin(a) * r, 0.6f * std::sin(u * 9.0f + phase) * v, 4.0f + std::cos(a) * r * 0.95f};
        },
        10, 6, 0.0f, 0.75f, 0.0f, 1.0f);
    return m;
}

// Two fans of different size growing side by side.
Mesh seaFanRest() {
    Mesh m = seaFan(102);
    m.append(placed(seaFan(112), {9.0f, 3.0f, -0.5f}, 0.65f, 0.5f));
    m.append(placed(seaFan(122), {-8.0f, 4.0f, -0.5f}, 0.5f, -0.6f));
    return m;
}

// Sea whips: long thin rods from one holdfast, about 1 unit tall; two colours.
Mesh seaWhips(uint32_t seed, int count, float s0) {
    Rng rng(seed);
    Mesh m;
    for (int i = 0; i < count; ++i) {
        const float a = kTwoPi * i / count + rng.range(-0.25f, 0.25f), lean = rng.range(0.3f, 0.7f), length = rng.range(0.7f, 1.1f);
        std::vector<P3> path;
        std::vector<float> radii;
        for (int s = 0; s <= 4; ++s) {
            const float t = s / 4.0f;
            path.push_back({std::cos(a) * (0.06f + lean * length * t * t), std::sin(a) * (0.06f + lean * length * t * t),
                            -0.04f + length * t});
            radii.push_back(0.05f - 0.02f * t);
        }
        m.addTube(path, radii, 4, s0, s0 + 0.33f, 0.0f, 1.0f, 1);
    }
    return m;
}

// A barrel sponge: a squat open vase, about 0.4 units tall.
Mesh barrelSponge(float s0) {
    Mesh m;
    m.addPatch(
        [&](float u, float v) {
            const float a = u * kTwoPi;
            // Up the outside (v < 0.7), over the lip and down into the dark hollow.
            const float h = v < 0.7f ? 0.4f * v / 0.7f : 0.4f - 0.3f * (v - 0.7f) / 0.3f;
            const float r = v < 0.7f ? 0.16f + 0.08f * std::sin(v / 0.7f * kPi * 0.8f) : 0.2f - 0.08f * (v - 0.7f) / 0.3f;
            const float ribs = 1.0f + 0.06f * std::sin(a * 10.0f);
            return P3{std::cos(a) * r * ribs, std::sin(a) * r * ribs, h - 0.03f};
        },
        12, 6, s0, s0 + 0.33f, 0.0f, 1.0f);
    return m;
}

// Sea-whip garden: two whip clumps of different colours with barrel sponges at their feet.
Mesh seaWhipsRest() {
    Mesh m = seaWhips(103, 9, 0.0f);
    m.append(placed(seaWhips(113, 7, 0.34f), {0.55f, 0.3f, 0.0f}, 0.8f));
    m.append(placed(barrelSponge(0.67f), {-0.35f, 0.25f, 0.0f}, 1.0f));
    m.append(placed(barrelSponge(0.67f), {0.3f, -0.3f, 0.0f}, 0.7f, 1.0f));
    m.append(placed(seaWhips(123, 6, 0.0f), {-0.9f, -0.2f, -0.04f}, 0.65f, 0.7f));
    m.append(placed(barrelSponge(0.67f), {1.1f, 0.1f, -0.03f}, 0.9f, 2.0f));
    return m;
}

// One soft coral: a fleshy trunk with lobed branches ending in polyp clusters, about
// 0.9 units tall.
Mesh softCoral(uint32_t seed, int lobes) {
    Rng rng(seed);
    Mesh m;
    m.addTube({{0, 0, -0.05f}, {0, 0, 0.25f}, {0.02f, 0, 0.4f}}, {0.14f, 0.12f, 0.1f}, 6, 0.0f, 1.0f, 0.0f, 0.4f, 1);
    for (int i = 0; i < lobes; ++i) {
        const float a = kTwoPi * i / lobes + rng.range(-0.2f, 0.2f);
        const P3 start{0.02f, 0.0f, 0.3f + 0.02f * i};
        const P3 dir = unit(P3{std::cos(a), std::sin(a), rng.range(0.8f, 1.4f)});
        const P3 mid = start + dir * 0.2f;
        const P3 end = mid + unit(dir + P3{0, 0, 0.6f}) * rng.range(0.18f, 0.3f);
        m.addTube({start, mid, end}, {0.08f, 0.06f, 0.05f}, 5, 0.0f, 1.0f, 0.3f, 0.8f, 1);
        for (int k = 0; k < 3; ++k) {
            const P3 c = end + P3{rng.range(-0.07f, 0.07f), rng.range(-0.07f, 0.07f), rng.range(0.0f, 0.08f)};
            const float r = rng.range(0.07f, 0.1f);
            m.addEllipsoid(c, P3{r, r, r * 1.2f}, 6, 4, 0.0f, 1.0f, 0.8f, 1.0f);
        }
    }
    return m;
}

// Soft-coral bed: three colonies in three muted colours.
Mesh softCoralRest() {
    Mesh m = tinted(softCoral(104, 5), 0.0f, 0.33f);
    m.append(tinted(placed(softCoral(114, 5), {0.6f, 0.35f, 0.0f}, 0.75f, 0.8f), 0.34f, 0.32f));
    m.append(tinted(placed(softCoral(124, 5), {-0.5f, 0.45f, 0.0f}, 0.65f, 2.0f), 0.67f, 0.33f));
    m.append(tinted(placed(softCoral(134, 3), {1.2f, -0.3f, -0.06f}, 0.55f, 3.0f), 0.67f, 0.33f));
    m.append(tinted(placed(softCoral(144, 3), {-1.1f, -0.35f, -0.06f}, 0.5f, 4.1f), 0.0f, 0.33f));
    return m;
}

// ---- Massive corals -------------------------------------------------------------

// One brain coral: a squat dome with meandering grooves, about 1.2 units across.
Mesh brainDome(float pulse, uint32_t seed, int slices, int stacks, float s0) {
    const Noise n(seed);
    Mesh m;
    m.addPatch(
        [&](float u, float v) {
            const float a = u * kTwoPi, polar = v * 1.75f;  // from the top down past the equator
            P3 dir{std::sin(polar) * std::cos(a), std::sin(polar) * std::sin(a), std::cos(polar)};
            const float groove = std::fabs(n.fractal(dir.x * 2.5f + 9.0f, dir.y * 2.5f + dir.z * 1.7f + 9.0f, 0, 2, 0.35f));
            const float r = 0.6f * (1.0f + pulse) * (0.94f + 0.06f * smoothstep(0.02f, 0.14f, groove));
            return P3{dir.x * r, dir.y * r * 0.9f, dir.z * r * 0.75f - 0.02f};
        },
        slices, stacks, s0, s0 + 0.33f, 0.0f, 1.0f, true);
    return m;
}

// Brain-coral boulders: a large dome with two smaller ones and a pebble, each its own colour.
Mesh brainCoral(float pulse) {
    Mesh m = brainDome(pulse, 105, 22, 10, 0.0f);
    m.append(placed(brainDome(pulse * 0.7f, 115, 18, 8, 0.34f), {0.85f, 0.3f, -0.05f}, 0.6f, 1.0f));
    m.append(placed(brainDome(pulse * 0.5f, 125, 14, 7, 0.67f), {-0.7f, 0.5f, -0.05f}, 0.45f, 2.2f));
    m.append(placed(brainDome(0.0f, 135, 10, 5, 0.34f), {0.2f, -0.75f, -0.04f}, 0.3f));
    m.append(placed(brainDome(pulse * 0.6f, 145, 14, 7, 0.0f), {1.6f, -0.4f, -0.06f}, 0.5f, 0.6f));
    m.append(placed(brainDome(pulse * 0.6f, 155, 14, 7, 0.67f), {-1.5f, -0.3f, -0.06f}, 0.4f, 1.4f));
    return m;
}

// One table coral: a stalk carrying a wide, thin plate with a wavy rim, about 20
// units across at k = 1.
Mesh tablePlate(float theta, uint32_t seed, int slices) {
    const Noise n(seed);
    Mesh m;
    m.addTube({{0, 0, -0.5f}, {0.3f, 0, 3.5f}, {0.5f, 0, 6.5f}}, {2.2f, 1.6f, 1.8f}, 6, 0.0f, 1.0f, 0.95f, 0.6f, 1);
    const float tiltX = 0.05f * std::sin(theta), tiltY = 0.04f * std::cos(theta);
    const auto plate = [&](float u, float v, bool top) {
        const float a = u * kTwoPi;
        const float rim = 11.0f * (1.0f + 0.12f * n.gradient(std::cos(a) * 2.0f + 5.0f, std::sin(a) * 2.0f + 5.0f, 0));
        const float r = rim * v;
        const float wave = 0.5f * std::sin(a * 5.0f) * v * v;
        const float bumps = top ? 0.15f * n.gradient(r * std::cos(a) * 0.8f, r * std::sin(a) * 0.8f, 0) : 0.0f;
        const float thick = top ? 0.0f : -0.9f * (1.0f - v * v * v * v) - 0.01f;
        const float x = r * std::cos(a) + 0.5f, y = r * std::sin(a);
        const float z = 6.8f + wave + bumps + thick + 0.06f * r + x * tiltX + y * tiltY;
        return P3{x, y, z};
    };
    // Texture: the upper half of the picture is the lit top, the lower half the shaded underside.
    m.addPatch([&](float u, float v) { return plate(u, v, true); }, slices, 5, 0.0f, 3.0f, 0.0f, 0.48f, true);
    m.addPatch([&](float u, float v) { return plate(u, v, false); }, slices, 3, 0.0f, 3.0f, 0.75f, 0.52f, false);
    return m;
}

// Tiered tables: a large plate with two smaller ones beside and below it, and a
// few small boulders round the stalk.
Mesh tableCoral(float theta) {
    Mesh m = tablePlate(theta, 106, 22);
    m.append(placed(tablePlate(theta + 1.7f, 116, 18), {13.0f, 6.0f, -0.5f}, 0.55f, 1.3f));
    m.append(placed(tablePlate(theta + 3.1f, 126, 16), {-11.0f, 8.0f, -0.5f}, 0.4f, 2.6f));
    Mesh rocks;
    rocks.addEllipsoid({4.0f, -4.0f, 0.3f}, {2.2f, 1.8f, 1.4f}, 8, 5, 0.0f, 1.0f, 0.55f, 0.75f);
    rocks.addEllipsoid({-3.5f, 2.5f, 0.2f}, {1.6f, 1.4f, 1.0f}, 8, 5, 0.0f, 1.0f, 0.55f, 0.75f);
    m.append(rocks);
    return m;
}

// One open tube sponge of `height` and `radius` at base, leaning along `lean`.
void addSpongeTube(Mesh& m, P3 base, P3 lean, float height, float radius, float phase, float theta, float s0, int res) {
    // The profile runs up the outside, over the rim, and down the inside.
    m.addPatch(
        [&](float u, float v) {
            const float ang = u * kTwoPi;
            float h, r;
            if (v < 0.45f) {
                const float t = v / 0.45f;
                h = height * t;
                r = radius * (0.8f + 0.25f * t);
            } else if (v < 0.55f) {
                const float t = (v - 0.45f) / 0.1f;
                h = height + 0.6f * std::sin(t * kPi);
                r = radius * 1.05f - 0.8f * t;
            } else {
                const float t = (v - 0.55f) / 0.45f;
                h = height * (1.0f - 0.85f * t);
                r = radius * 1.05f - 0.8f - 0.4f * t;
            }
            const float bendNow = 0.9f * std::pow(h / 25.0f, 2.0f) * std::sin(theta + phase);
            const P3 axis = base + lean * h + P3{bendNow, 0.4f * bendNow, 0.0f};
            return axis + P3{r * std::cos(ang), r * std::sin(ang), 0.0f};
        },
        res, res, s0, s0 + 0.5f, 0.0f, 1.0f);
}

// Tube sponges: two groups of open tubes with thick walls in two colours, the tallest
// about 25 units (drawn at 0.04).
Mesh tubeSponges(float theta) {
    Rng rng(107);
    Mesh m;
    for (int i = 0; i < 8; ++i) {
        const bool second = i >= 5;  // the smaller group beside the first, in the other colour
        const int k = second ? i - 5 : i;
        const float a = kTwoPi * k / (second ? 3.0f : 5.0f) + rng.range(-0.3f, 0.3f);
        const float height = k == 0 ? (second ? 16.0f : 24.0f) : rng.range(10.0f, second ? 14.0f : 20.0f);
        const float radius = rng.range(2.0f, 2.8f) * (second ? 0.85f : 1.0f);
        const P3 centre = second ? P3{11.0f, 4.0f, 0.0f} : P3{0, 0, 0};
        const float spread = second ? 2.6f : 3.2f;
        const P3 base = centre + P3{k == 0 ? 0.0f : std::cos(a) * spread, k == 0 ? 0.0f : std::sin(a) * spread, -0.5f};
        const P3 lean{k == 0 ? 0.0f : std::cos(a) * 0.25f, k == 0 ? 0.0f : std::sin(a) * 0.25f, 1.0f};
        addSpongeTube(m, base, lean, height, radius, rng.range(0.0f, kTwoPi), theta, second ? 0.5f : 0.0f, 10);
    }
    return m;
}

// One anemone: a short column with a crown of tentacles, about 1 unit across.
Mesh anemoneCrown(float theta, uint32_t seed, int tentacles) {
    Rng rng(seed);
    Mesh m;
    m.addTube({{0, 0, -0.05f}, {0, 0, 0.12f}}, {0.22f, 0.25f}, 8, 0.0f, 2.0f, 0.0f, 0.2f, 1);
    for (int i = 0; i < tentacles; ++i) {
        const float ring = (i % 3) / 3.0f;
        const float a = kTwoPi * (i + 0.5f * ring) / tentacles * 3.0f;
        const float r0 = 0.06f + 0.16f * (1.0f - ring);
        const float length = rng.range(0.3f, 0.45f) * (1.0f - 0.3f * ring);
        const float swirl = 0.35f * std::sin(theta + a * 2.0f);
        std::vector<P3> path;
        std::vector<float> radii;
        for (int s = 0; s <= 3; ++s) {
            const float t = s / 3.0f;
            const float out = r0 + length * (0.7f * t) + 0.05f * swirl * t * t;
            const float ang = a + swirl * t * t;
            path.push_back({std::cos(ang) * out, std::sin(ang) * out, 0.12f + length * (0.75f * t - 0.35f * t * t)});
            radii.push_back(0.045f - 0.022f * t);
        }
        m.addTube(path, radii, 4, 0.0f, 1.0f, 0.0f, 1.0f, 1);
    }
    return m;
}

// Anemone field: three anemones of different sizes, swaying out of step.
Mesh anemone(float theta) {
    Mesh m = anemoneCrown(theta, 108, 36);
    m.append(placed(anemoneCrown(theta + 2.1f, 118, 27), {0.75f, 0.35f, 0.0f}, 0.75f));
    m.append(placed(anemoneCrown(theta + 4.2f, 128, 21), {-0.6f, 0.5f, 0.0f}, 0.6f));
    m.append(placed(anemoneCrown(theta + 1.0f, 138, 18), {1.4f, -0.4f, 0.0f}, 0.5f));
    return m;
}

// Every position (and so every frame) times k: the builders work at a base size.
Mesh enlarged(Mesh m, float k) {
    for (P3& p : m.positions) p = p * k;
    return m;
}

AnimatedMesh swayed(const Mesh& rest, int frames, float height, float amplitude) {
    return animate(rest, frames, [&](P3 p, size_t, int k) { return sway(p, height, amplitude, kTwoPi * k / frames); });
}

// ---- Gull -----------------------------------------------------------------------

// The gull, about 1 unit across the wings at scale 0.05: body along +y (its
// heading), wings along x. flap and fold are the shoulder and wrist angles.
Mesh gull(float flap, float fold) {
    Mesh m;
    m.addEllipsoid({0, 0, 0}, {1.3f, 4.6f, 1.3f}, 12, 10, 0.1f, 0.8f, 0.52f, 0.98f);
    m.addEllipsoid({0, 4.2f, 0.9f}, {1.0f, 1.4f, 1.0f}, 10, 8, 0.78f, 0.9f, 0.55f, 0.9f);
    m.addTube({{0, 5.2f, 0.75f}, {0, 6.0f, 0.65f}, {0, 6.8f, 0.45f}}, {0.35f, 0.25f, 0.08f}, 6, 0.93f, 0.99f, 0.7f, 0.75f);
    // Tail: a flat wedge behind the body.
    m.addPatch([](float u, float v) {
            const float y = -3.5f - 3.2f * v;
            const float half = 0.9f + 0.9f * v;
            return P3{(u - 0.5f) * 2.0f * half, y, 0.2f - 0.1f * v};
        }, 4, 3, 0.02f, 0.3f, 0.6f, 0.7f, true);
    m.addPatch([](float u, float v) {
            const float y = -3.5f - 3.2f * v;
            const float half = 0.9f + 0.9f * v;
            return P3{(u - 0.5f) * 2.0f * half, y, 0.05f - 0.1f * v};
        }, 4, 3, 0.02f, 0.3f, 0.6f, 0.7f, false);
    for (int side = -1; side <= 1; side += 2) {
        const float s = static_cast<float>(side);
        // Each wing is one closed, flattened tube: u along the span, v around the
        // wing's cross-section (leading edge, upper side, trailing edge, lower side).
        m.addPatch(
            [&](float u, float v) {
                const float span = 10.5f * u;
                const float chord = 3.8f * (1.0f - 0.7f * u);
                const float centre = 1.6f - 1.6f * u * u - chord * 0.5f;
                const float thick = 0.34f * (1.0f - 0.8f * u) + 0.03f;
                const float a = v * 6.2831853f;
                P3 p{span, centre + 0.5f * chord * std::cos(a), thick * std::sin(a) + 0.4f * (1.0f - u) * (1.0f - std::fabs(std::cos(a)))};
                // Shoulder at x = 1, wrist at 45 % of the span.
                const float wrist = 10.5f * 0.45f;
                if (p.x > wrist) {
                    const P3 rel = p - P3{wrist, 0, 0};
                    p = P3{wrist, 0, 0} + rotate(rel, P3{0, 1, 0}, -fold);
                }
                p = rotate(p, P3{0, 1, 0}, -flap);
                p.x = s * (p.x + 1.0f);
                // Texture: v across the wing folds the upper and lower side onto one picture.
                return p;
            },
            8, 8, 0.0f, 1.0f, 0.0f, 1.0f, side > 0);
        // The wing picture is the top half of the atlas: s along the span, t across the chord.
        const size_t first = m.positions.size() - 9 * 9;
        for (size_t j = 0; j <= 8; ++j)
            for (size_t i = 0; i <= 8; ++i) {
                const float v = j / 8.0f;
                const float across = 0.5f - 0.5f * std::cos(v * 6.2831853f);  // 0 at the leading edge, 1 at the trailing edge
                m.uvs[2 * (first + j * 9 + i) + 1] = 0.48f * across + 0.01f;
            }
    }
    return m;
}

AnimatedMesh gullModel() {
    // Frames 0-19 glide (a slow flex of the held wings), 20-22 lead from the glide
    // pose into the flap, 23-42 one full wing beat.
    return buildFrames(43, [](int k) {
        float flap, fold;
        if (k < 20) {
            const float t = kTwoPi * k / 20.0f;
            flap = 0.1f + 0.05f * std::sin(t);
            fold = -0.05f + 0.05f * std::sin(t + 0.8f);
        } else if (k < 23) {
            const float t = (k - 19) / 4.0f;
            flap = 0.1f + (0.6f - 0.1f) * t;
            fold = -0.05f + (0.15f + 0.05f) * t;
        } else {
            const float t = kTwoPi * (k - 23) / 20.0f;
            flap = 0.1f + 0.5f * std::cos(t);   // 23 starts at the top of the beat
            fold = 0.15f * std::cos(t - 0.9f);
        }
        return gull(flap, fold);
    });
}

// ---- Island and palms -------------------------------------------------------------

constexpr float kIslandRadiusX = 9.0f, kIslandRadiusY = 6.0f;

Mesh island() {
    const Noise n(109);
    Mesh m;
    m.addPatch(
        [&](float u, float v) {
            const float a = u * kTwoPi;
            const float r = 1.18f * v;
            const float edge = 1.0f + 0.14f * n.gradient(std::cos(a) * 1.5f + 3.0f, std::sin(a) * 1.5f + 3.0f, 0);
            const float rr = r / edge;
            float h = 0.6f + 2.0f * std::pow(std::max(0.0f, 1.0f - rr), 1.4f) - 1.2f * smoothstep(0.95f, 1.18f, rr);
            h += 0.25f * n.fractal(std::cos(a) * r * 3.0f, std::sin(a) * r * 3.0f, 0, 3) * (1.0f - smoothstep(0.7f, 1.0f, rr));
            const float x = std::cos(a) * kIslandRadiusX * r, y = std::sin(a) * kIslandRadiusY * r;
            return P3{x, y, h};
        },
        40, 12, 0.0f, 1.0f, 0.0f, 1.0f, true);
    // Planar texture coordinates from above, matching the island picture.
    for (size_t i = 0; i < m.positions.size(); ++i) {
        m.uvs[2 * i] = 0.5f + m.positions[i].x / (2.0f * kIslandRadiusX * 1.2f);
        m.uvs[2 * i + 1] = 0.5f - m.positions[i].y / (2.0f * kIslandRadiusY * 1.2f);
    }
    return m;
}

struct Palm {
    P3 base;
    float height, leanAngle, lean, phase;
};

const Palm kPalms[] = {
    {{-1.5f, 0.5f, 1.6f}, 7.5f, 2.6f, 2.2f, 0.0f},
    {{1.0f, -0.8f, 1.8f}, 9.0f, 0.3f, 1.6f, 1.7f},
    {{2.8f, 1.2f, 1.4f}, 6.2f, 0.9f, 2.6f, 3.1f},
    {{-3.6f, -1.0f, 1.1f}, 5.5f, 3.6f, 1.8f, 4.4f},
};

// Point at height fraction t on a palm's trunk in frame phase theta.
P3 trunkPoint(const Palm& p, float t, float theta) {
    const P3 dir{std::cos(p.leanAngle), std::sin(p.leanAngle), 0.0f};
    // The sway is large enough to see from the reef, a few tenths of a unit at the crown.
    const float bend = p.lean * t * t + 0.55f * t * t * std::sin(theta + p.phase);
    return p.base + dir * bend + P3{0.0f, 0.0f, p.height * t} +
           P3{0.25f * t * t * std::sin(theta * 2.0f + p.phase), 0.0f, 0.0f};
}

Mesh palmTrunks(float theta) {
    Mesh m;
    for (const Palm& p : kPalms) {
        std::vector<P3> path;
        std::vector<float> radii;
        for (int s = 0; s <= 10; ++s) {
            const float t = s / 10.0f;
            path.push_back(trunkPoint(p, t, theta) - P3{0, 0, t == 0.0f ? 0.4f : 0.0f});
            radii.push_back(0.32f - 0.14f * t);
        }
        m.addTube(path, radii, 8, 0.0f, 1.0f, 0.0f, 3.0f);
    }
    return m;
}

Mesh palmLeaves(float theta) {
    Mesh m;
    for (const Palm& p : kPalms) {
        const P3 top = trunkPoint(p, 1.0f, theta);
        for (int f = 0; f < 9; ++f) {
            const float a = kTwoPi * f / 9.0f + p.phase;
            const float length = 5.2f + 0.7f * std::sin(f * 2.3f);
            const float flutter = 0.3f * std::sin(theta + f * 1.1f + p.phase);
            const P3 out{std::cos(a), std::sin(a), 0.0f};
            const P3 across{-std::sin(a), std::cos(a), 0.0f};
            m.addPatch(
                [&](float u, float v) {
                    const float w = 1.25f * std::sin(kPi * std::min(1.0f, 0.15f + v)) * (1.0f - 0.3f * v);
                    const float x = (u - 0.5f) * 2.0f;
                    const float arch = length * (0.45f * v - 0.75f * v * v) + flutter * v * v * length;
                    const P3 rib = top + out * (length * v) + P3{0, 0, arch};
                    return rib + across * (x * w) + P3{0, 0, -0.25f * std::fabs(x) * w};
                },
                2, 8, 0.0f, 1.0f, 0.0f, 1.0f, true);
        }
    }
    return m;
}

// Normals for the island group, bent toward the scene's light: the light of the
// scene hangs low to the right of the viewer, so plain outward normals would leave
// the tops of the island in shadow. Bending keeps the shape readable and lit.
std::vector<std::vector<P3>> bentNormals(const AnimatedMesh& model) {
    const P3 light = unit(P3{0.38f, -0.26f, -0.88f});  // direction to the light, model frame
    std::vector<std::vector<P3>> out;
    for (const auto& frame : model.frames) {
        std::vector<P3> n = smoothNormals(frame, model.mesh.triangles);
        for (P3& v : n) v = unit(v + light * 1.2f);
        out.push_back(std::move(n));
    }
    return out;
}

// ---- Reef fish --------------------------------------------------------------------

// A fish body along +y (snout) with side-projected texture coordinates; the tail
// beats through `frames` frames.
AnimatedMesh fishModel(float length, float depth, float width, float tailSize, int frames) {
    const auto body = [=](float theta) {
        Mesh m;
        m.addPatch(
            [&](float u, float v) {
                const float a = u * kTwoPi;
                const float y = (v - 0.5f) * length;  // tail at v = 0
                const float profile = std::sin(kPi * std::pow(std::clamp(v * 0.98f + 0.01f, 0.0f, 1.0f), 0.8f));
                P3 p{std::sin(a) * width * 0.5f * profile, y, std::cos(a) * depth * 0.5f * profile};
                const float tail = 1.0f - v;
                p.x += 0.12f * length * tail * tail * std::sin(theta - 2.5f * v);
                return p;
            },
            14, 12, 0.0f, 1.0f, 0.0f, 1.0f, false);
        for (int face = 0; face < 2; ++face)
            m.addPatch(
                [&](float u, float v) {
                    const float y = -0.5f * length * 0.96f - tailSize * v;
                    const float z = (u - 0.5f) * tailSize * (0.4f + 1.4f * v);
                    return P3{0.12f * length * std::sin(theta) + (face ? -0.01f : 0.01f), y, z};
                },
                2, 2, 0.0f, 0.1f, 0.2f, 0.8f, face == 1);
        // Side-projected texture coordinates: s from tail to snout, t from back to belly.
        for (size_t i = 0; i < m.positions.size(); ++i) {
            m.uvs[2 * i] = std::clamp((m.positions[i].y + 0.5f * length + tailSize) / (length + tailSize), 0.0f, 1.0f);
            m.uvs[2 * i + 1] = std::clamp(0.5f - m.positions[i].z / (depth * 1.6f), 0.0f, 1.0f);
        }
        return m;
    };
    return buildFrames(frames, [&](int k) { return body(kTwoPi * k / frames); });
}

}  // namespace

AnimatedMesh buildFrames(int frameCount, const std::function<Mesh(int)>& build) {
    AnimatedMesh out;
    for (int k = 0; k < frameCount; ++k) {
        Mesh m = build(k);
        if (k == 0) out.mesh = m;
        out.frames.push_back(std::move(m.positions));
    }
    return out;
}

std::vector<ModelSpec> ModelGenerator::buildAll() {
    std::vector<ModelSpec> specs;
    const auto add = [&](std::string path, AnimatedMesh model, bool normals, bool archived, bool scrambled) {
        ModelSpec s;
        s.path = std::move(path);
        s.model = std::move(model);
        s.normalsBlock = normals;
        s.archived = archived;
        s.scrambled = scrambled;
        specs.push_back(std::move(s));
    };
    add("models/coral_a.tqm", swayed(enlarged(staghornRest(), 1.4f), 10, 1.8f, 0.045f), false, true, true);
    add("models/coral_b.tqm",
        animate(enlarged(seaFanRest(), 1.2f), 20, [](P3 p, size_t, int k) {
            const float theta = kTwoPi * k / 20.0f;
            const float h = std::clamp(p.z / 30.0f, 0.0f, 1.2f);
            return p + P3{0.3f * h * h * std::sin(theta + p.x * 0.1f), 2.2f * h * h * std::sin(theta + p.x * 0.08f), 0.0f};
        }),
        false, false, false);
    add("models/coral_c.tqm", buildFrames(20, [](int k) { return enlarged(tubeSponges(kTwoPi * k / 20.0f), 1.2f); }), false, false, false);
    add("models/coral_d.tqm", buildFrames(20, [](int k) { return enlarged(tableCoral(kTwoPi * k / 20.0f), 1.2f); }), true, false, false);
    add("models/coral_f.tqm", swayed(enlarged(softCoralRest(), 1.6f), 10, 1.45f, 0.08f), false, false, false);
    add("models/coral_g.tqm", buildFrames(10, [](int k) { return enlarged(brainCoral(0.012f * std::sin(kTwoPi * k / 10.0f)), 1.4f); }),
        true, false, false);
    add("models/coral_h.tqm", buildFrames(10, [](int k) { return enlarged(anemone(kTwoPi * k / 10.0f), 1.5f); }), false, false, false);
    add("models/coral_i.tqm", swayed(enlarged(seaWhipsRest(), 1.2f), 10, 1.2f, 0.12f), false, true, false);
    // The gull is drawn at scale 0.05: about 1.8 units across the wings, large enough
    // to read as a gull when it passes near.
    add("models/gull.tqm", [] {
            AnimatedMesh g = gullModel();
            for (auto& frame : g.frames)
                for (P3& p : frame) p = p * 1.6f;
            for (P3& p : g.mesh.positions) p = p * 1.6f;
            return g;
        }(), false, true, true);
    add("models/insel.tqm", buildFrames(1, [](int) { return island(); }), true, false, false);
    add("models/palmenstaemme.tqm", buildFrames(20, [](int k) { return palmTrunks(kTwoPi * k / 20.0f); }), true, false, false);
    add("models/palmenblaetter.tqm", buildFrames(20, [](int k) { return palmLeaves(kTwoPi * k / 20.0f); }), true, false, false);
    add("models/reeffishes/rfish.tqm", fishModel(16.0f, 14.0f, 3.0f, 5.0f, 10), false, false, false);
    add("models/reeffishes/silverfish.tqm", fishModel(16.0f, 5.0f, 3.0f, 4.0f, 10), false, false, false);
    for (ModelSpec& s : specs) {
        if (!s.normalsBlock) continue;
        const bool islandGroup = s.path.find("insel") != std::string::npos || s.path.find("palmen") != std::string::npos;
        if (islandGroup) {
            s.normals = bentNormals(s.model);
        } else {
            for (const auto& frame : s.model.frames) s.normals.push_back(smoothNormals(frame, s.model.mesh.triangles));
        }
    }
    return specs;
}

bool ModelGenerator::generate(GeneratedFiles& folder) const {
    bool ok = true;
    for (const ModelSpec& s : buildAll()) {
        Md3Options options;
        const size_t slash = s.path.find_last_of('/');
        options.name = s.path.substr(slash == std::string::npos ? 0 : slash + 1);
        options.normals = s.normals;
        std::vector<uint8_t> bytes = encodeMd3(s.model, options);
        if (s.archived) bytes = wrapInArchive(bytes, s.scrambled ? tqarchive::kFlagScrambled : 0);
        ok = folder.add(s.path, std::move(bytes)) && ok;
    }
    return ok;
}

}  // namespace reef::tools
