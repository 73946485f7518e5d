#include "tools/TextureGenerator.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstdio>

#include "tools/BmpWriter.h"
#include "tools/Noise.h"
#include "tools/Painter.h"
#include "tools/Rng.h"
#include "tools/TerrainMap.h"
#include "tools/TextGenerator.h"
#include "writers/BmpWriter.h"

namespace reef::tools {
namespace {

constexpr float kTwoPi = 6.2831853f;
const Colour kFog{0.121f, 0.590f, 0.707f, 1.0f};

Colour rgb(float r, float g, float b, float a = 1.0f) { return {r, g, b, a}; }

Image painted(int w, int h, const std::function<Colour(float, float)>& f) {
    Image img(w, h);
    Painter(img).fill(f);
    return img;
}

// ---- Skies ------------------------------------------------------------------

Image cloudySky() {
    const Noise n(11);
    return painted(1024, 1024, [&](float u, float v) {
        // The dome maps the picture's centre to the zenith and its rim below the horizon.
        const float r = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
        const Colour zenith = rgb(0.22f, 0.46f, 0.82f), horizon = rgb(0.72f, 0.84f, 0.94f);
        Colour sky = mix(zenith, horizon, std::pow(std::clamp(r / 0.72f, 0.0f, 1.0f), 1.4f));
        const float f = n.fractal(u * 10.0f, v * 10.0f, 10, 6, 0.55f) * 0.5f + 0.5f;
        const float cover = 0.52f - 0.08f * smoothstep(0.15f, 0.6f, r);  // more cloud toward the horizon
        const float density = smoothstep(cover, cover + 0.22f, f);
        const float shade = 0.78f + 0.22f * smoothstep(0.0f, 0.5f, n.fractal(u * 10.0f + 0.07f, v * 10.0f + 0.05f, 10, 4));
        const Colour cloud = rgb(0.97f * shade, 0.97f * shade, 0.99f * shade + 0.02f);
        return mix(sky, cloud, density * 0.85f);
    });
}

Image clearSky() {
    const Noise n(12);
    return painted(256, 256, [&](float u, float v) {
        const Colour top = rgb(0.16f, 0.38f, 0.78f), low = rgb(0.74f, 0.87f, 0.97f);
        Colour c = mix(top, low, std::pow(v, 1.6f));
        // A faint haze band near the horizon (the bottom of the picture).
        const float haze = smoothstep(0.7f, 1.0f, v) * (0.5f + 0.5f * n.fractal(u * 4.0f, v * 16.0f, 4, 3));
        return mix(c, rgb(0.93f, 0.95f, 0.97f), haze * 0.35f);
    });
}

// ---- Sea floor --------------------------------------------------------------

// The sea floor is one picture stretched over the whole height field (60 x 50
// units, about 17 texels a unit), so it carries the floor's detail itself: ripples,
// darker algae-stained patches, sea-grass meadows, coral rubble, pebbles and shells.
// It tiles: every noise wraps with the picture and shapes near an edge are drawn
// again on the opposite side.
constexpr int kSandSize = 1024;

// Calls draw(x, y) at the shape's place and at its wrapped copies where a shape of
// `reach` pixels would cross an edge of the picture.
void tiled(float x, float y, float reach, const std::function<void(float, float)>& draw) {
    const float size = static_cast<float>(kSandSize);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const float cx = x + dx * size, cy = y + dy * size;
            if (cx + reach < 0.0f || cx - reach > size || cy + reach < 0.0f || cy - reach > size) continue;
            draw(cx, cy);
        }
}

Image sand() {
    const Noise n(21);
    // Where the meadows and the rubble fields lie (0..1, tileable).
    const auto meadow = [&](float u, float v) { return smoothstep(0.0f, 0.3f, n.fractal(u * 5.0f + 11.0f, v * 5.0f, 5, 3)); };
    const auto rubble = [&](float u, float v) { return smoothstep(0.05f, 0.3f, n.fractal(u * 4.0f, v * 4.0f + 23.0f, 4, 3)); };
    Image img = painted(kSandSize, kSandSize, [&](float u, float v) {
        const float big = n.fractal(u * 6.0f, v * 6.0f, 6, 4) * 0.5f + 0.5f;
        const float grain = n.hash01(static_cast<int>(u * kSandSize), static_cast<int>(v * kSandSize), 5);
        // Ripples: crests across the current, bent by slow noise; flattened in the meadows.
        const float warp = n.fractal(u * 3.0f + 5.0f, v * 3.0f, 3, 3) * 2.2f;
        const float phase = (u * 0.35f + v) * 92.0f + warp * 3.0f;
        const float calm = 1.0f - 0.7f * meadow(u, v);
        const float ripple = (std::sin(phase) + 0.35f * std::sin(2.0f * phase + 0.8f)) * calm;
        const float light = 0.9f + 0.07f * ripple + 0.12f * (big - 0.5f) + 0.06f * (grain - 0.5f);
        Colour c = rgb(0.88f * light, 0.81f * light, 0.64f * light);
        // Algae-stained sand under the meadows, grey coarse sand under the rubble.
        c = mix(c, scaled(rgb(0.62f, 0.62f, 0.44f), light), 0.55f * meadow(u, v));
        return mix(c, scaled(rgb(0.74f, 0.72f, 0.66f), light), 0.4f * rubble(u, v));
    });
    Painter p(img);
    Rng rng(2101);
    const float size = static_cast<float>(kSandSize);
    // Sea grass: tufts of thin blades, each with its shadow, dense in the meadows.
    for (int i = 0; i < 9000; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        if (meadow(x / size, y / size) < rng.uniform() * 0.8f + 0.2f) continue;
        const int blades = 3 + rng.below(5);
        const float hue = rng.range(0.0f, 1.0f);
        for (int b = 0; b < blades; ++b) {
            const float a = rng.range(-2.2f, -0.9f), length = rng.range(4.0f, 10.0f);
            const float bx = x + rng.range(-1.5f, 1.5f), by = y + rng.range(-1.0f, 1.0f);
            const float ex = bx + std::cos(a) * length, ey = by + std::sin(a) * length;
            const Colour root = mix(rgb(0.18f, 0.34f, 0.12f), rgb(0.3f, 0.36f, 0.1f), hue);
            const Colour tip = mix(rgb(0.45f, 0.6f, 0.25f), rgb(0.62f, 0.62f, 0.3f), hue);
            tiled(bx, by, length + 3.0f, [&](float cx, float cy) {
                const float sx = cx + (ex - bx), sy = cy + (ey - by);
                p.capsule(cx + 1.2f, cy + 1.0f, sx + 2.0f, sy + 1.5f, 0.7f, 0.4f,
                          [](float, float) { return rgb(0.3f, 0.3f, 0.2f, 0.35f); });
                p.capsule(cx, cy, sx, sy, 0.75f, 0.35f, [&](float t, float) { return mix(root, tip, t); });
            });
        }
    }
    // Coral rubble: broken branch pieces, bleached or faded, heaped in the rubble fields.
    for (int i = 0; i < 9000; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        if (rubble(x / size, y / size) < rng.uniform() + 0.05f) continue;
        const float a = rng.range(0.0f, 6.2831853f), length = rng.range(1.5f, 5.0f), r = rng.range(0.6f, 1.3f);
        const float tone = rng.range(0.7f, 0.95f);
        const Colour c = rng.uniform() < 0.2f ? rgb(tone * 0.9f, tone * 0.78f, tone * 0.8f) : rgb(tone, tone * 0.97f, tone * 0.9f);
        const float dx = std::cos(a) * length, dy = std::sin(a) * length;
        tiled(x, y, length + 3.0f, [&](float cx, float cy) {
            p.capsule(cx + 0.8f, cy + 0.9f, cx + dx + 0.8f, cy + dy + 0.9f, r, r * 0.8f,
                      [](float, float) { return rgb(0.35f, 0.32f, 0.26f, 0.4f); });
            p.capsule(cx, cy, cx + dx, cy + dy, r, r * 0.8f, [&](float, float across) { return scaled(c, 1.0f - 0.25f * across); });
        });
    }
    // Pebbles.
    for (int i = 0; i < 900; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        const float r = rng.range(0.9f, 3.0f), tone = rng.range(0.4f, 0.8f);
        const Colour c = rgb(tone * 0.85f, tone * 0.8f, tone * 0.74f);
        tiled(x, y, r * 2.0f, [&](float cx, float cy) {
            p.ellipse(cx + r * 0.35f, cy + r * 0.4f, r * 1.1f, r * 0.8f, rgb(0.45f, 0.4f, 0.32f, 0.45f));  // shadow
            p.ellipse(cx, cy, r * 1.1f, r * 0.8f, c);
            p.ellipse(cx - r * 0.3f, cy - r * 0.25f, r * 0.45f, r * 0.3f, rgb(1.0f, 1.0f, 0.95f, 0.35f));  // glint
        });
    }
    // Shells: ribbed fans (cockles) and pale spirals, scattered everywhere.
    for (int i = 0; i < 420; ++i) {
        const float x = rng.range(0.0f, size), y = rng.range(0.0f, size);
        const float r = rng.range(2.0f, 4.0f), a = rng.range(0.0f, 6.2831853f);
        const bool cockle = rng.uniform() < 0.6f;
        const Colour c = cockle ? mix(rgb(0.96f, 0.9f, 0.82f), rgb(0.92f, 0.7f, 0.6f), rng.uniform())
                                : mix(rgb(0.98f, 0.96f, 0.9f), rgb(0.85f, 0.78f, 0.66f), rng.uniform());
        tiled(x, y, r * 2.5f, [&](float cx, float cy) {
            p.ellipse(cx + 0.8f, cy + 1.0f, r, r * 0.85f, rgb(0.35f, 0.3f, 0.22f, 0.45f));
            if (cockle) {
                p.ellipse(cx, cy, r, r * 0.85f, c);
                for (int k = -2; k <= 2; ++k) {  // the ribs fan out from the hinge
                    const float ra = a + k * 0.35f;
                    p.capsule(cx - std::cos(a) * r * 0.8f, cy - std::sin(a) * r * 0.8f, cx + std::cos(ra) * r * 0.9f,
                              cy + std::sin(ra) * r * 0.75f, 0.25f, 0.35f, [&](float, float) { return scaled(c, 0.75f); });
                }
            } else {
                p.capsule(cx - std::cos(a) * r, cy - std::sin(a) * r, cx + std::cos(a) * r, cy + std::sin(a) * r, r * 0.55f,
                          r * 0.15f, [&](float t, float) { return scaled(c, 0.85f + 0.15f * std::sin(t * 18.0f)); });
                p.ellipse(cx - std::cos(a) * r * 0.6f, cy - std::sin(a) * r * 0.6f, r * 0.35f, r * 0.35f, scaled(c, 0.8f));
            }
        });
    }
    return img;
}

// ---- Caustics and highlights ---------------------------------------------------

// Bright vein network of light focused by the waves, 0..1; tileable, loops in `phase`.
float veins(const Noise& n, float u, float v, float phase, int cells, float width) {
    const float wu = u * cells + 0.35f * n.gradient(u * 3.0f + std::cos(phase) * 0.4f, v * 3.0f + std::sin(phase) * 0.4f, 3);
    const float wv = v * cells + 0.35f * n.gradient(u * 3.0f + 7.0f + std::sin(phase) * 0.4f, v * 3.0f - std::cos(phase) * 0.4f, 3);
    float f1 = 0, f2 = 0;
    n.cellular(wu, wv, cells, phase, 0.18f, f1, f2);
    return 1.0f - smoothstep(0.0f, width, f2 - f1);
}

// The brightest sparkle near (u, v): a point per cell of a `cells` x `cells` grid
// that wraps with the picture, flaring at phase-locked times.
float sparkle(const Noise& n, float u, float v, float phase, int cells) {
    const int ci = static_cast<int>(u * cells), cj = static_cast<int>(v * cells);
    float best = 0.0f;
    for (int dj = -1; dj <= 1; ++dj)
        for (int di = -1; di <= 1; ++di) {
            const int i = ci + di, j = cj + dj;
            const int wi = (i % cells + cells) % cells, wj = (j % cells + cells) % cells;
            const float px = (i + 0.2f + 0.6f * n.hash01(wi, wj, 11)) / cells;
            const float py = (j + 0.2f + 0.6f * n.hash01(wi, wj, 12)) / cells;
            const float d = std::hypot(u - px, v - py) * cells;  // in cells
            const float rate = 1.0f + static_cast<float>(static_cast<int>(n.hash01(wi, wj, 13) * 3.0f));
            const float flare = std::pow(std::max(0.0f, std::sin(phase * rate + kTwoPi * n.hash01(wi, wj, 14))), 6.0f);
            // A bright core with a short cross of rays.
            const float core = 1.0f - smoothstep(0.02f, 0.09f, d);
            const float rays = (1.0f - smoothstep(0.0f, 0.035f, std::min(std::fabs(u - px), std::fabs(v - py)) * cells)) *
                               (1.0f - smoothstep(0.05f, 0.22f, d));
            best = std::max(best, flare * std::max(core, 0.7f * rays));
        }
    return best;
}

}  // namespace

Image TextureGenerator::causticFrame(int frame, int size, uint32_t seed) {
    const Noise a(seed), b(seed + 1);
    const float phase = kTwoPi * static_cast<float>(frame) / kSequenceFrames;
    return painted(size, size, [&](float u, float v) {
        // Two vein layers moving against each other; where they cross the light is brightest.
        const float l1 = veins(a, u, v, phase, size >= 128 ? 7 : 4, 0.16f);
        const float l2 = veins(b, u, v, -phase, size >= 128 ? 9 : 5, 0.12f);
        const float c = std::clamp(0.75f * l1 + 0.55f * l2 + 0.4f * l1 * l2, 0.0f, 1.0f);
        // Multiplied over the floor: near-white, never dark.
        const Colour base = rgb(0.76f, 0.8f, 0.82f), lit = rgb(1.0f, 1.0f, 1.0f);
        return mix(base, lit, c);
    });
}

Image TextureGenerator::highlightFrame(int frame, int size) {
    constexpr int kCellsA = 6;
    constexpr float kHalfCellA = 0.5f / kCellsA;
    constexpr int kDiagonalCellsB = 5;  // 5 diagonal cells are as wide as 7 square ones
    const Noise a(4401), b(4402);
    const float phase = kTwoPi * static_cast<float>(frame) / kSequenceFrames;
    return painted(size, size, [&](float u, float v) {
        // The veins gather along the cell borders of their noise lattice. The light
        // pattern is drawn with nearest filtering and a tile edge lies straight below
        // the eye, so that edge is sampled along the whole view axis: veins gathered on
        // it drew a dotted line down the middle of the screen. So the first layer's
        // lattice is shifted half a cell, which keeps its borders off the tile edges, and
        // the second layer's lattice runs diagonally (u + v, u - v: still whole periods
        // per tile), so its borders cross the edges at points only.
        const float l1 = veins(a, u + kHalfCellA, v + kHalfCellA, phase, kCellsA, 0.07f);
        const float l2 = veins(b, u + v, u - v, -phase, kDiagonalCellsB, 0.06f);
        float glint = std::clamp(l1 * l2 * 1.6f + 0.35f * std::max(l1, l2), 0.0f, 1.0f);
        // Sparkles: one point of sunlight per cell that flares and fades at its own
        // whole number of times per loop, so the sequence still loops seamlessly.
        glint = std::max(glint, sparkle(a, u, v, phase, 16));
        return rgb(0.92f, 0.97f, 1.0f, std::min(1.0f, glint * 1.3f));
    });
}

namespace {

Image water() {
    const Noise n(31);
    return painted(256, 256, [&](float u, float v) {
        const float warp = n.fractal(u * 4.0f, v * 4.0f, 4, 3);
        const float w1 = std::sin(kTwoPi * (v * 6.0f + warp * 0.9f));
        const float w2 = std::sin(kTwoPi * (u * 3.0f + v * 2.0f + warp * 0.6f));
        const float crest = std::pow(std::clamp(0.5f + 0.35f * w1 + 0.25f * w2, 0.0f, 1.0f), 3.0f);
        const float body = 0.5f + 0.5f * n.fractal(u * 8.0f, v * 8.0f, 8, 3);
        Colour c = mix(rgb(0.08f, 0.36f, 0.5f), rgb(0.55f, 0.84f, 0.9f), 0.3f * body + 0.7f * crest);
        c.a = 0.16f + 0.08f * body + 0.3f * crest;
        return c;
    });
}

Image fogFader() {
    // Top of the picture: the far edge at the surface, fully fogged; fading out toward the floor.
    return painted(64, 128, [&](float, float v) {
        Colour c = kFog;
        c.a = 1.0f - smoothstep(0.25f, 0.85f, v);
        return c;
    });
}

Image blendMap() {
    return painted(128, 128, [&](float u, float v) {
        const float du = (u - 0.5f) * 2.0f, dv = (v - 0.5f) * 2.0f;
        const float r = std::sqrt(du * du + dv * dv);
        return rgb(1.0f, 1.0f, 1.0f, 0.85f * (1.0f - smoothstep(0.45f, 1.0f, r)));
    });
}

// ---- Corals -----------------------------------------------------------------

// Small corallite cups on a jittered grid, 0 (none) to 1 (cup centre); tileable.
float polyps(const Noise& n, float u, float v, int cells) {
    float f1 = 0, f2 = 0;
    n.cellular(u * cells, v * cells, cells, 0.0f, 0.0f, f1, f2);
    return 1.0f - smoothstep(0.12f, 0.3f, f1);
}

// The column (0 .. columns - 1) of a coral atlas that u lies in, and u within it.
int column(float u, int columns, float& local) {
    const int k = std::clamp(static_cast<int>(u * columns), 0, columns - 1);
    local = u * columns - k;
    return k;
}

// The coral textures hold one colour variety per column where the model's colonies
// differ (see the coral builders): muted reef colours rather than bright ones.
Image coralTexture(char kind) {
    const Noise n(static_cast<uint32_t>(500 + kind));
    const int size = kind == 'g' || kind == 'h' || kind == 'b' ? 256 : 128;
    return painted(size, size, [&](float u, float v) {
        const float f = n.fractal(u * 4.0f, v * 4.0f, 4, 4) * 0.5f + 0.5f;
        float lu = 0.0f;
        switch (kind) {
            case 'a': {  // staghorn (v runs base to tip): ochre with violet tips, or pale tan with blue tips
                const int k = column(u, 2, lu);
                const float cup = polyps(n, u, v, 16);
                const Colour base = k == 0 ? rgb(0.72f, 0.56f, 0.38f) : rgb(0.8f, 0.72f, 0.56f);
                const Colour tip = k == 0 ? rgb(0.88f, 0.8f, 0.94f) : rgb(0.55f, 0.72f, 0.95f);
                Colour c = mix(base, tip, smoothstep(0.55f, 1.0f, v));
                return scaled(c, (0.85f + 0.25f * f - 0.25f * cup) * (0.7f + 0.3f * smoothstep(0.0f, 0.35f, v)));
            }
            case 'b': {  // sea fan: a red-purple lace (left three quarters, v out from the stalk) and its ribs
                const Colour red = rgb(0.66f, 0.16f, 0.3f), pale = rgb(0.92f, 0.42f, 0.5f);
                if (u >= 0.76f) return scaled(mix(red, pale, f * 0.5f), 0.7f + 0.3f * smoothstep(0.0f, 0.3f, v));
                // Meshes of the lace: a cell network, finer toward the rim; the holes
                // show the deep water through the sheet, dark blue-purple.
                float f1 = 0, f2 = 0;
                n.cellular(u / 0.75f * 18.0f, v * 14.0f, 0, 0.0f, 0.0f, f1, f2);
                const float strand = 1.0f - smoothstep(0.05f, 0.14f, f2 - f1);
                const Colour hole = rgb(0.2f, 0.12f, 0.28f);
                Colour c = mix(hole, mix(red, pale, f * 0.6f + 0.4f * v), strand);
                c = mix(c, pale, polyps(n, u, v, 48) * strand * 0.5f);
                return scaled(c, 0.75f + 0.25f * smoothstep(0.0f, 0.3f, v));
            }
            case 'c': {  // tube sponges (outside v < 0.45, rim, dark hollow): purple, or ochre-orange
                const int k = column(u, 2, lu);
                const float ridge = 0.5f + 0.5f * std::sin(lu * kTwoPi * 6.0f + f * 2.0f);
                Colour c = k == 0 ? mix(rgb(0.42f, 0.2f, 0.52f), rgb(0.66f, 0.42f, 0.74f), 0.5f * ridge + 0.5f * f)
                                  : mix(rgb(0.78f, 0.46f, 0.16f), rgb(0.92f, 0.7f, 0.3f), 0.5f * ridge + 0.5f * f);
                c = scaled(c, 0.75f + 0.3f * smoothstep(0.0f, 0.4f, v));
                const Colour rim = k == 0 ? rgb(0.84f, 0.66f, 0.86f) : rgb(0.98f, 0.85f, 0.55f);
                c = mix(c, rim, smoothstep(0.36f, 0.48f, v) * (1.0f - smoothstep(0.52f, 0.6f, v)));
                return mix(c, k == 0 ? rgb(0.16f, 0.06f, 0.2f) : rgb(0.25f, 0.12f, 0.04f), smoothstep(0.55f, 0.8f, v));
            }
            case 'd': {  // table coral: lit top with corallites (upper half), shaded underside and stalk
                const float cup = polyps(n, u, v, 12);
                const Colour top = scaled(mix(rgb(0.6f, 0.56f, 0.38f), rgb(0.78f, 0.72f, 0.5f), f), 1.0f - 0.35f * cup);
                const Colour under = scaled(mix(rgb(0.32f, 0.3f, 0.22f), rgb(0.44f, 0.4f, 0.3f), f), 1.0f - 0.15f * cup);
                return mix(top, under, smoothstep(0.47f, 0.53f, v));
            }
            case 'f': {  // soft corals: creamy pink, lilac, olive-yellow tufts; the fleshy trunks darker below
                const int k = column(u, 3, lu);
                const float tuft = n.fractal(u * 16.0f, v * 16.0f, 16, 2) * 0.5f + 0.5f;
                const Colour lo[3] = {rgb(0.84f, 0.56f, 0.6f), rgb(0.62f, 0.52f, 0.76f), rgb(0.66f, 0.64f, 0.34f)};
                const Colour hi[3] = {rgb(0.99f, 0.88f, 0.82f), rgb(0.88f, 0.82f, 0.96f), rgb(0.92f, 0.9f, 0.62f)};
                const Colour c = mix(lo[k], hi[k], 0.6f * tuft + 0.4f * f);
                return scaled(c, 0.72f + 0.28f * smoothstep(0.0f, 0.6f, v));
            }
            case 'g': {  // brain corals: meandering ridges and valleys, shaded toward the base (v = 1); three tones
                const int k = column(u, 3, lu);
                const float m = std::fabs(n.fractal(u * 12.0f, v * 6.0f, 12, 2, 0.35f));
                const float ridge = smoothstep(0.02f, 0.14f, m);
                const Colour valley[3] = {rgb(0.42f, 0.36f, 0.22f), rgb(0.42f, 0.28f, 0.3f), rgb(0.3f, 0.36f, 0.3f)};
                const Colour crest[3] = {rgb(0.72f, 0.74f, 0.5f), rgb(0.78f, 0.6f, 0.56f), rgb(0.62f, 0.74f, 0.62f)};
                const Colour c = scaled(mix(valley[k], crest[k], ridge), 0.9f + 0.2f * f);
                return scaled(c, 1.0f - 0.4f * smoothstep(0.45f, 1.0f, v));
            }
            case 'h': {  // anemones: pale olive tentacles with bright violet tips (v along a tentacle),
                         // light enough to stand out from the green water behind them
                const float stripe = 0.5f + 0.5f * std::sin(u * kTwoPi * 6.0f);
                Colour c = mix(rgb(0.62f, 0.7f, 0.46f), rgb(0.86f, 0.88f, 0.66f), stripe * 0.6f + f * 0.4f);
                c = scaled(c, 0.8f + 0.2f * smoothstep(0.0f, 0.5f, v));
                return mix(c, rgb(0.86f, 0.46f, 0.9f), smoothstep(0.6f, 0.95f, v));
            }
            default: {  // sea whips in orange and in deep red with tiny white polyps; yellow-brown barrel sponges
                const int k = column(u, 3, lu);
                if (k == 2) {
                    const float ribs = 0.5f + 0.5f * std::sin(lu * kTwoPi * 10.0f);
                    const Colour c = mix(rgb(0.55f, 0.42f, 0.2f), rgb(0.78f, 0.64f, 0.34f), 0.5f * ribs + 0.5f * f);
                    return mix(c, rgb(0.2f, 0.14f, 0.06f), smoothstep(0.7f, 0.85f, v));  // the hollow
                }
                const float cup = polyps(n, u, v, 20);
                const Colour body = k == 0 ? rgb(0.92f, 0.5f, 0.18f) : rgb(0.72f, 0.16f, 0.16f);
                const Colour c = mix(scaled(body, 0.85f + 0.25f * f), rgb(1.0f, 0.95f, 0.85f), cup * 0.7f);
                return scaled(c, 0.7f + 0.3f * smoothstep(0.0f, 0.4f, v));
            }
        }
    });
}

// ---- Creatures' textures ----------------------------------------------------

// Gull atlas: top half the wing (u from root to tip, v across the wing from the
// leading edge), bottom half the body seen from the side (u from tail to beak,
// v from back to belly).
Image gullTexture() {
    const Noise n(41);
    return painted(128, 128, [&](float u, float v) {
        const float grain = 0.96f + 0.04f * n.fractal(u * 16.0f, v * 16.0f, 16, 2);
        if (v < 0.5f) {
            const float across = v * 2.0f;
            Colour c = rgb(0.62f, 0.66f, 0.71f);                                  // mantle grey
            c = mix(c, rgb(0.92f, 0.93f, 0.95f), smoothstep(0.8f, 0.95f, across));  // white trailing edge
            const float tip = smoothstep(0.74f, 0.82f, u);
            c = mix(c, rgb(0.08f, 0.08f, 0.1f), tip);                            // black tips
            const float mirror = std::hypot((u - 0.9f) * 3.0f, across - 0.45f);
            c = mix(c, rgb(0.95f, 0.95f, 0.95f), (1.0f - smoothstep(0.08f, 0.12f, mirror)) * tip);
            return scaled(c, grain);
        }
        const float along = u, down = (v - 0.5f) * 2.0f;
        Colour c = rgb(0.95f, 0.95f, 0.96f);
        c = mix(c, rgb(0.66f, 0.69f, 0.74f), smoothstep(0.3f, 0.05f, down) * smoothstep(0.75f, 0.55f, along));  // grey back
        c = mix(c, rgb(0.1f, 0.1f, 0.12f), smoothstep(0.12f, 0.0f, along));  // dark tail tip
        c = mix(c, rgb(0.96f, 0.78f, 0.2f), smoothstep(0.9f, 0.93f, along));  // yellow beak
        if (along > 0.93f && std::fabs(down - 0.6f) < 0.1f) c = mix(c, rgb(0.85f, 0.15f, 0.1f), 0.8f);  // red spot
        if (std::hypot((along - 0.84f) * 2.0f, down - 0.35f) < 0.05f) c = rgb(0.05f, 0.05f, 0.05f);    // eye
        return scaled(c, grain);
    });
}

Image mantaTexture() {
    const Noise n(42);
    return painted(128, 128, [&](float u, float v) {
        const float f = n.fractal(u * 6.0f, v * 6.0f, 6, 3) * 0.5f + 0.5f;
        const float dx = (u - 0.5f) * 2.0f;
        Colour c = mix(rgb(0.12f, 0.14f, 0.18f), rgb(0.2f, 0.23f, 0.28f), f);
        // Pale shoulder patches and a lighter wing rim.
        const float shoulder = 1.0f - smoothstep(0.12f, 0.2f, std::hypot(std::fabs(dx) - 0.32f, (v - 0.3f) * 1.6f));
        c = mix(c, rgb(0.78f, 0.8f, 0.82f), shoulder * 0.8f);
        return mix(c, rgb(0.5f, 0.55f, 0.6f), smoothstep(0.75f, 1.0f, std::fabs(dx)) * 0.6f);
    });
}

// Fish seen from the side: u from tail (0) to snout (1), v from back (0) to belly (1).
Image angelfishTexture() {
    const Noise n(43);
    return painted(128, 128, [&](float u, float v) {
        const float f = n.fractal(u * 8.0f, v * 8.0f, 8, 2) * 0.5f + 0.5f;
        Colour c = mix(rgb(0.98f, 0.82f, 0.15f), rgb(1.0f, 0.92f, 0.45f), v * 0.6f + f * 0.2f);
        const float stripe = std::fabs(std::sin(kTwoPi * (u * 2.5f + 0.1f)));
        c = mix(c, rgb(0.12f, 0.2f, 0.55f), smoothstep(0.12f, 0.05f, stripe) * smoothstep(0.15f, 0.25f, u));
        if (std::hypot((u - 0.86f) * 2.0f, v - 0.4f) < 0.06f) c = rgb(0.05f, 0.05f, 0.1f);
        return mix(c, rgb(0.2f, 0.45f, 0.85f), smoothstep(0.1f, 0.0f, u) * 0.8f);  // blue tail edge
    });
}

Image silverfishTexture() {
    const Noise n(44);
    return painted(128, 128, [&](float u, float v) {
        const float f = n.fractal(u * 10.0f, v * 10.0f, 10, 2) * 0.5f + 0.5f;
        Colour c = mix(rgb(0.26f, 0.36f, 0.46f), rgb(0.86f, 0.9f, 0.93f), smoothstep(0.25f, 0.55f, v));
        c = mix(c, rgb(0.98f, 0.98f, 1.0f), smoothstep(0.6f, 0.9f, v) * 0.6f);
        c = mix(c, rgb(0.35f, 0.4f, 0.45f), (1.0f - smoothstep(0.0f, 0.02f, std::fabs(v - 0.45f))) * 0.5f);
        c = scaled(c, 0.92f + 0.14f * f);
        if (std::hypot((u - 0.88f) * 2.0f, v - 0.42f) < 0.06f) c = rgb(0.05f, 0.05f, 0.08f);
        return c;
    });
}

// ---- Island and palms ---------------------------------------------------------

// Seen from above: u, v over the island's bounding square; dense green inland,
// dry sand, wet sand at the shore.
Image islandTexture() {
    const Noise n(51);
    return painted(256, 256, [&](float u, float v) {
        const float r = std::hypot((u - 0.5f) * 2.0f, (v - 0.5f) * 2.0f) + 0.12f * n.fractal(u * 5.0f, v * 5.0f, 5, 3);
        const float f = n.fractal(u * 24.0f, v * 24.0f, 24, 3) * 0.5f + 0.5f;
        const Colour green = mix(rgb(0.2f, 0.38f, 0.12f), rgb(0.45f, 0.55f, 0.2f), f);
        const Colour dry = scaled(rgb(0.93f, 0.86f, 0.66f), 0.9f + 0.15f * f);
        const Colour wet = scaled(rgb(0.7f, 0.62f, 0.45f), 0.9f + 0.1f * f);
        Colour c = mix(green, dry, smoothstep(0.38f, 0.52f, r));
        return mix(c, wet, smoothstep(0.78f, 0.9f, r));
    });
}

Image trunkTexture() {
    const Noise n(52);
    return painted(128, 128, [&](float u, float v) {
        const float ring = std::fabs(std::sin(v * kTwoPi * 9.0f + 0.3f * n.gradient(u * 8.0f, v * 8.0f, 8)));
        const float f = n.fractal(u * 8.0f, v * 16.0f, 8, 3) * 0.5f + 0.5f;
        return scaled(mix(rgb(0.38f, 0.3f, 0.22f), rgb(0.62f, 0.54f, 0.42f), f), 0.7f + 0.3f * smoothstep(0.0f, 0.3f, ring));
    });
}

// One frond: the rib runs down the middle from the base (top) to the tip (bottom);
// leaflets slant outward and back; alpha cuts out the gaps.
Image frondTexture() {
    Image img(256, 256, rgb(0.3f, 0.5f, 0.18f, 0.0f));
    Painter p(img);
    Rng rng(53);
    for (int i = 0; i < 42; ++i) {
        const float t = (i + 0.5f) / 42.0f;
        const float y = 8.0f + t * 240.0f;
        const float length = 118.0f * std::sin(3.1415927f * (0.08f + 0.9f * t)) * (1.0f - 0.35f * t);
        for (int side = -1; side <= 1; side += 2) {
            const float droop = rng.range(18.0f, 30.0f);
            const float tone = rng.range(0.85f, 1.1f);
            p.capsule(128.0f, y, 128.0f + side * length, y + droop, 3.2f, 0.6f, [&](float along, float across) {
                const Colour base = mix(rgb(0.24f, 0.46f, 0.14f), rgb(0.46f, 0.62f, 0.22f), along);
                return scaled(base, tone * (0.9f + 0.15f * across));
            });
        }
    }
    p.capsule(128.0f, 0.0f, 128.0f, 252.0f, 3.5f, 1.0f, [](float, float) { return rgb(0.5f, 0.55f, 0.25f); });
    return img;
}

// Billboards repeat in both directions, so linear filtering at a quad's edge mixes in
// the opposite edge of the picture: a transparent frame keeps those edges invisible
// (without it the rock's foot and the palms' trunks show as dashes along the top edges).
Image withTransparentFrame(Image image, int border = 2) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool edge = x < border || y < border || x >= image.width() - border || y >= image.height() - border;
            if (edge) image.at(x, y).a = 0.0f;
        }
    }
    return image;
}

// The ground the distant palms stand on: a low islet along the picture's bottom, a
// strip of beach with scrub on top, sloping to the water at both ends and fading out
// in the haze at its foot. Painted over the trunks' feet, so they stand in the scrub.
void paintDistantIslet(Image& big) {
    const Noise n(56);
    const float left = 80.0f, right = 492.0f;  // the islet's ends, pixels
    const float foot = static_cast<float>(big.height()) - 4.0f;  // its base, above the transparent frame
    for (int x = 0; x < big.width(); ++x) {
        const float s = (static_cast<float>(x) + 0.5f - left) / (right - left);
        if (s <= 0.0f || s >= 1.0f) continue;
        const float taper = smoothstep(0.0f, 0.2f, s) * smoothstep(1.0f, 0.85f, s);
        const float beach = 20.0f * std::sqrt(taper);
        const float bumps = 0.5f + 0.5f * n.fractal(s * 12.0f, 0.5f, 0, 3);
        const float scrub = (10.0f + 26.0f * bumps) * taper;
        const float top = foot - beach - scrub;
        for (int y = static_cast<int>(std::floor(top)); y < big.height(); ++y) {
            const float cy = static_cast<float>(y) + 0.5f;
            const float coverage = std::clamp(cy - top, 0.0f, 1.0f);
            const float height = foot - cy;  // above the base, pixels
            const float shade = 0.85f + 0.3f * (0.5f + 0.5f * n.fractal(s * 40.0f, cy / 16.0f, 0, 2));
            Colour c;
            if (height > beach) {
                c = scaled(mix(rgb(0.16f, 0.3f, 0.13f), rgb(0.3f, 0.44f, 0.18f), (height - beach) / (scrub + 1.0f)), shade);
            } else {
                const Colour dry = rgb(0.88f, 0.82f, 0.64f), wet = rgb(0.66f, 0.6f, 0.46f);
                c = scaled(mix(wet, dry, smoothstep(0.0f, 6.0f, height)), 0.95f + 0.1f * shade);
            }
            big.blend(x, y, c, coverage);
            // The foot fades into the haze, with whatever the ground covers there.
            big.at(x, y).a *= smoothstep(-2.0f, 6.0f, height);
        }
    }
}

}  // namespace

// Distant palms: trunks leaning out of a low islet along the bottom edge, with crowns of fronds.
Image TextureGenerator::distantPalms() {
    Image big(kDistantPalmsDrawingSize, kDistantPalmsDrawingSize, rgb(0.2f, 0.35f, 0.25f, 0.0f));
    Painter p(big);
    Rng rng(54);
    for (const DistantPalm& palm : kDistantPalms) {
        // Curved trunk from inside the islet's ground.
        const float base = kDistantPalmsDrawingSize - 12.0f;
        float px = palm.x, py = base;
        const int steps = 12;
        for (int s = 1; s <= steps; ++s) {
            const float t = static_cast<float>(s) / steps;
            const float nx = palm.x + palm.lean * t * t, ny = base - palm.height * t;
            p.capsule(px, py, nx, ny, 9.0f - 4.0f * t, 9.0f - 4.0f * (t + 1.0f / steps), [&](float, float across) {
                return scaled(rgb(0.36f, 0.32f, 0.26f), 0.8f + 0.2f * across);
            });
            px = nx;
            py = ny;
        }
        // Crown: arched fronds with leaflets.
        for (int f = 0; f < 9; ++f) {
            const float angle = kTwoPi * f / 9.0f + rng.range(-0.2f, 0.2f);
            const float length = rng.range(70.0f, 100.0f);
            float fx = px, fy = py;
            for (int s = 1; s <= 10; ++s) {
                const float t = s / 10.0f;
                const float nx = px + std::cos(angle) * length * t;
                const float ny = py - std::sin(angle) * length * t * 0.55f + 60.0f * t * t;  // droop
                p.capsule(fx, fy, nx, ny, 2.5f, 2.0f, [](float, float) { return rgb(0.18f, 0.34f, 0.16f); });
                const float leaf = 22.0f * std::sin(3.1415927f * t);
                for (int side = -1; side <= 1; side += 2)
                    p.capsule(nx, ny, nx - std::sin(angle) * leaf * side * 0.7f, ny + leaf * 0.8f, 2.2f, 0.8f,
                              [&](float along, float) { return mix(rgb(0.2f, 0.4f, 0.18f), rgb(0.3f, 0.5f, 0.22f), along); });
                fx = nx;
                fy = ny;
            }
        }
    }
    paintDistantIslet(big);
    // Distance haze: a light blue-green veil over the colours.
    Image img = big.halved();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            Colour& c = img.at(x, y);
            const float a = c.a;
            c = mix(c, rgb(0.55f, 0.7f, 0.75f), 0.25f);
            c.a = a;
        }
    return withTransparentFrame(img);
}

namespace {

// A weathered rock outcrop that rises out of the water, cut out by alpha.
Image rockBillboard() {
    const Noise n(55);
    return painted(256, 256, [&](float u, float v) {
        const float ridge = 0.18f + 0.55f * std::exp(-std::pow((u - 0.45f) / 0.3f, 2.0f)) +
                            0.12f * n.fractal(u * 5.0f, 0.5f, 0, 4);
        const float top = 1.0f - ridge;  // the outline's height above the picture's bottom
        const float halfWidth = 0.48f - 0.08f * n.fractal(v * 4.0f, 3.0f, 0, 3);
        const float inside = smoothstep(0.0f, 0.01f, v - top) * smoothstep(0.0f, 0.02f, halfWidth - std::fabs(u - 0.5f));
        const float f = n.fractal(u * 8.0f, v * 8.0f, 0, 5) * 0.5f + 0.5f;
        const float lit = 0.75f + 0.35f * smoothstep(0.3f, 0.0f, u - 0.35f) - 0.25f * smoothstep(0.55f, 1.0f, v);
        Colour c = scaled(mix(rgb(0.42f, 0.39f, 0.35f), rgb(0.62f, 0.58f, 0.5f), f), lit);
        c = mix(c, rgb(0.2f, 0.24f, 0.22f), smoothstep(0.8f, 0.95f, v) * 0.7f);  // wet foot
        c.a = inside;
        return c;
    });
}

// ---- Pictures for the dialog and the window ---------------------------------------

Image gullIcon() {
    Image big(128, 64, rgb(0.55f, 0.75f, 0.95f));
    Painter p(big);
    p.fill([](float, float v) { return mix(rgb(0.42f, 0.66f, 0.92f), rgb(0.8f, 0.9f, 0.98f), v); });
    const auto wing = [](float, float) { return rgb(0.55f, 0.58f, 0.63f); };
    p.capsule(64, 34, 36, 22, 5, 3, wing);
    p.capsule(36, 22, 10, 30, 3, 1.5f, [](float a, float) { return a > 0.6f ? rgb(0.1f, 0.1f, 0.1f) : rgb(0.55f, 0.58f, 0.63f); });
    p.capsule(64, 34, 92, 22, 5, 3, wing);
    p.capsule(92, 22, 118, 30, 3, 1.5f, [](float a, float) { return a > 0.6f ? rgb(0.1f, 0.1f, 0.1f) : rgb(0.55f, 0.58f, 0.63f); });
    p.ellipse(64, 36, 10, 6, rgb(0.97f, 0.97f, 0.97f));
    p.ellipse(71, 33, 4, 4, rgb(0.97f, 0.97f, 0.97f));
    p.capsule(74, 33, 79, 34, 1.5f, 0.8f, [](float, float) { return rgb(0.95f, 0.75f, 0.2f); });
    return big.halved();
}

Image appIcon() {
    Image big(64, 64);
    Painter p(big);
    p.fill([](float, float v) { return mix(rgb(0.2f, 0.65f, 0.8f), rgb(0.05f, 0.25f, 0.45f), v); });
    p.ellipse(32, 60, 40, 12, rgb(0.85f, 0.78f, 0.6f));
    p.capsule(14, 56, 10, 36, 3, 2, [](float, float) { return rgb(0.9f, 0.45f, 0.4f); });
    p.capsule(14, 50, 20, 38, 2.5f, 1.5f, [](float, float) { return rgb(0.9f, 0.45f, 0.4f); });
    p.ellipse(36, 28, 14, 8, rgb(1.0f, 0.78f, 0.1f));
    p.capsule(22, 28, 14, 22, 3, 1, [](float, float) { return rgb(1.0f, 0.78f, 0.1f); });
    p.capsule(22, 28, 14, 34, 3, 1, [](float, float) { return rgb(1.0f, 0.78f, 0.1f); });
    p.capsule(34, 20, 34, 36, 2, 2, [](float, float) { return rgb(0.1f, 0.15f, 0.4f); });
    p.ellipse(44, 26, 1.8f, 1.8f, rgb(0.05f, 0.05f, 0.05f));
    return big.halved();
}

Image introPicture() {
    const Noise n(61);
    Image img(192, 144);
    Painter p(img);
    p.fill([&](float u, float v) {
        Colour c = mix(rgb(0.35f, 0.75f, 0.85f), rgb(0.04f, 0.22f, 0.38f), std::pow(v, 0.8f));
        const float ray = std::pow(std::max(0.0f, std::sin((u * 1.2f + v * 0.35f) * 18.0f + n.gradient(u * 3, v * 3, 0))), 8.0f);
        c = mix(c, rgb(0.8f, 0.95f, 1.0f), ray * 0.25f * (1.0f - v));
        const float floor = 0.8f + 0.04f * std::sin(u * 9.0f);
        if (v > floor) c = mix(rgb(0.55f, 0.55f, 0.45f), rgb(0.3f, 0.33f, 0.3f), (v - floor) * 4.0f);
        return c;
    });
    Rng rng(62);
    for (int i = 0; i < 7; ++i) {  // coral branches
        const float x = rng.range(10, 180);
        const Colour c = i % 2 ? rgb(0.85f, 0.4f, 0.45f) : rgb(0.85f, 0.65f, 0.3f);
        for (int b = 0; b < 4; ++b)
            p.capsule(x, 140, x + rng.range(-18, 18), rng.range(95, 120), 2.5f, 1.2f, [&](float, float) { return c; });
    }
    for (int i = 0; i < 9; ++i) {  // a small school
        const float x = 60 + rng.range(0, 90), y = 40 + rng.range(0, 40);
        p.ellipse(x, y, 6, 3, rgb(1.0f, 0.82f, 0.2f));
        p.capsule(x - 6, y, x - 10, y - 3, 1.5f, 1, [](float, float) { return rgb(1.0f, 0.82f, 0.2f); });
        p.capsule(x - 6, y, x - 10, y + 3, 1.5f, 1, [](float, float) { return rgb(1.0f, 0.82f, 0.2f); });
        p.ellipse(x + 3.5f, y - 0.5f, 0.9f, 0.9f, rgb(0, 0, 0));
    }
    return img;
}

bool add24(GeneratedFiles& folder, const std::string& path, const Image& img) { return folder.add(path, bmp::encode24(img)); }
bool add32(GeneratedFiles& folder, const std::string& path, const Image& img) { return folder.add(path, bmp::encode32(img)); }

}  // namespace

bool TextureGenerator::generate(GeneratedFiles& folder) const {
    bool ok = true;
    ok = add24(folder, "sky_cloudy.tqt", cloudySky()) && ok;
    const Image clear = clearSky();
    ok = add24(folder, "sky_clear_32.tqt", clear) && ok;
    ok = add24(folder, "sky_clear_16.tqt", clear) && ok;
    ok = add24(folder, "models/gull.tqt", gullTexture()) && ok;
    ok = add24(folder, "models/manta.tqt", mantaTexture()) && ok;
    ok = add24(folder, "terrain.tqt", sand()) && ok;
    for (char kind : std::string("abcdfghi"))
        ok = add24(folder, std::string("models/coral_") + kind + ".tqt", coralTexture(kind)) && ok;
    ok = add32(folder, "water.tqt", water()) && ok;
    ok = add32(folder, "gwfader.tqt", fogFader()) && ok;
    ok = add32(folder, "models/rock2.tqt", withTransparentFrame(rockBillboard())) && ok;
    ok = add32(folder, "models/palmen_bg.tqt", distantPalms()) && ok;
    char name[64];
    for (int i = 0; i < kSequenceFrames; ++i) {
        std::snprintf(name, sizeof name, "caustics64/caust%.2d.tqt", i);
        ok = add24(folder, name, causticFrame(i, 128, 7001)) && ok;
        std::snprintf(name, sizeof name, "causticsfish32/caust%.2d.tqt", i);
        ok = add24(folder, name, causticFrame(i, 64, 7101)) && ok;
        std::snprintf(name, sizeof name, "highlight/highlight%.5d.tqt", 44 + i);
        ok = add32(folder, name, highlightFrame(i, 128)) && ok;
    }
    ok = add32(folder, "blendmap.tqt", blendMap()) && ok;
    ok = add24(folder, "models/reeffishes/anglefish.tqt", angelfishTexture()) && ok;
    ok = add24(folder, "models/reeffishes/silverfish.tqt", silverfishTexture()) && ok;
    ok = add24(folder, "models/insel.tqt", islandTexture()) && ok;
    ok = add24(folder, "models/palmenstaemme.tqt", trunkTexture()) && ok;
    ok = add32(folder, "models/palmenblaetter.tqt", frondTexture()) && ok;
    ok = folder.add("terrain_map.tqt",
                    writeBmp(TerrainMap::kWidth, TerrainMap::kHeight, 1, TerrainMap().greyLevels())) && ok;
    ok = add24(folder, "icon.bmp", appIcon()) && ok;
    ok = add24(folder, "gull_icon.bmp", gullIcon()) && ok;
    ok = add24(folder, kIntroPicture, introPicture()) && ok;
    return ok;
}

}  // namespace reef::tools
