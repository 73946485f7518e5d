#include "tools/TextureGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/BmpWriter.h"
#include "tools/Noise.h"
#include "tools/Painter.h"
#include "tools/Rng.h"
#include "tools/TerrainMap.h"
#include "tools/TextGenerator.h"

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

Image sand() {
    const Noise n(21);
    Image img = painted(512, 512, [&](float u, float v) {
        const float big = n.fractal(u * 6.0f, v * 6.0f, 6, 4) * 0.5f + 0.5f;
        const float grain = n.hash01(static_cast<int>(u * 512), static_cast<int>(v * 512), 5);
        // Ripples: crests across the current, bent by slow noise.
        const float warp = n.fractal(u * 3.0f + 5.0f, v * 3.0f, 3, 3) * 2.2f;
        const float phase = (u * 0.35f + v) * 46.0f + warp * 3.0f;
        const float ripple = std::sin(phase) + 0.35f * std::sin(2.0f * phase + 0.8f);
        const float light = 0.9f + 0.06f * ripple + 0.1f * (big - 0.5f) + 0.05f * (grain - 0.5f);
        return rgb(0.88f * light, 0.81f * light, 0.64f * light);
    });
    // Pebbles and shell bits on a jittered grid.
    Painter p(img);
    Rng rng(2101);
    for (int i = 0; i < 260; ++i) {
        const float x = rng.range(0.0f, 512.0f), y = rng.range(0.0f, 512.0f);
        const float r = rng.range(0.9f, 2.6f);
        const float tone = rng.range(0.45f, 0.85f);
        const bool shell = rng.uniform() < 0.25f;
        const Colour c = shell ? rgb(0.95f, 0.9f, 0.85f) : rgb(tone * 0.85f, tone * 0.78f, tone * 0.7f);
        p.ellipse(x + r * 0.35f, y + r * 0.4f, r * 1.1f, r * 0.8f, rgb(0.45f, 0.4f, 0.32f, 0.45f));  // shadow
        p.ellipse(x, y, r * 1.1f, r * 0.8f, c);
        p.ellipse(x - r * 0.3f, y - r * 0.25f, r * 0.45f, r * 0.3f, rgb(1.0f, 1.0f, 0.95f, 0.35f));  // glint
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
    const Noise a(4401), b(4402);
    const float phase = kTwoPi * static_cast<float>(frame) / kSequenceFrames;
    return painted(size, size, [&](float u, float v) {
        const float l1 = veins(a, u, v, phase, 6, 0.07f);
        const float l2 = veins(b, u, v, -phase, 7, 0.06f);
        const float glint = std::clamp(l1 * l2 * 1.6f + 0.35f * std::max(l1, l2), 0.0f, 1.0f);
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

Image coralTexture(char kind) {
    const Noise n(static_cast<uint32_t>(500 + kind));
    return painted(kind == 'g' || kind == 'h' ? 256 : 128, kind == 'g' || kind == 'h' ? 256 : 128,
                   [&](float u, float v) {
        const float f = n.fractal(u * 4.0f, v * 4.0f, 4, 4) * 0.5f + 0.5f;
        switch (kind) {
            case 'a': {  // staghorn: ochre branches with pale violet tips (v runs base to tip)
                const float cup = polyps(n, u, v, 16);
                Colour c = mix(rgb(0.72f, 0.56f, 0.38f), rgb(0.88f, 0.8f, 0.94f), smoothstep(0.55f, 1.0f, v));
                c = scaled(c, (0.85f + 0.25f * f - 0.25f * cup) * (0.7f + 0.3f * smoothstep(0.0f, 0.35f, v)));
                return c;
            }
            case 'b': {  // sea fan: deep red-purple with fine speckled polyps, darker at the stalk
                const float cup = polyps(n, u, v, 24);
                const Colour c = mix(rgb(0.62f, 0.16f, 0.3f), rgb(0.88f, 0.36f, 0.45f), f * 0.6f + 0.4f * v);
                return scaled(c, (0.9f + 0.2f * cup) * (0.7f + 0.3f * smoothstep(0.0f, 0.3f, v)));
            }
            case 'c': {  // tube sponge: the profile runs up the outside (v < 0.45), over the rim, down the inside
                const float ridge = 0.5f + 0.5f * std::sin(u * kTwoPi * 12.0f + f * 2.0f);
                Colour c = mix(rgb(0.42f, 0.2f, 0.52f), rgb(0.66f, 0.42f, 0.74f), 0.5f * ridge + 0.5f * f);
                c = scaled(c, 0.75f + 0.3f * smoothstep(0.0f, 0.4f, v));
                c = mix(c, rgb(0.84f, 0.66f, 0.86f), smoothstep(0.36f, 0.48f, v) * (1.0f - smoothstep(0.52f, 0.6f, v)));
                return mix(c, rgb(0.16f, 0.06f, 0.2f), smoothstep(0.55f, 0.8f, v));  // the dark hollow
            }
            case 'd': {  // table coral: lit top with corallites (upper half), shaded underside and stalk
                const float cup = polyps(n, u, v, 12);
                const Colour top = scaled(mix(rgb(0.6f, 0.56f, 0.38f), rgb(0.78f, 0.72f, 0.5f), f), 1.0f - 0.35f * cup);
                const Colour under = scaled(mix(rgb(0.32f, 0.3f, 0.22f), rgb(0.44f, 0.4f, 0.3f), f), 1.0f - 0.15f * cup);
                return mix(top, under, smoothstep(0.47f, 0.53f, v));
            }
            case 'f': {  // soft coral: creamy pink polyp tufts, the fleshy trunk darker below
                const float tuft = n.fractal(u * 16.0f, v * 16.0f, 16, 2) * 0.5f + 0.5f;
                const Colour c = mix(rgb(0.84f, 0.56f, 0.6f), rgb(0.99f, 0.88f, 0.82f), 0.6f * tuft + 0.4f * f);
                return scaled(c, 0.72f + 0.28f * smoothstep(0.0f, 0.6f, v));
            }
            case 'g': {  // brain coral: meandering ridges and valleys, shaded toward the base (v = 1)
                const float m = std::fabs(n.fractal(u * 6.0f, v * 6.0f, 6, 2, 0.35f));
                const float ridge = smoothstep(0.02f, 0.14f, m);
                const Colour c = scaled(mix(rgb(0.42f, 0.36f, 0.22f), rgb(0.72f, 0.74f, 0.5f), ridge), 0.9f + 0.2f * f);
                return scaled(c, 1.0f - 0.4f * smoothstep(0.45f, 1.0f, v));
            }
            case 'h': {  // anemone: green tentacles with violet tips (v along a tentacle)
                const float stripe = 0.5f + 0.5f * std::sin(u * kTwoPi * 6.0f);
                Colour c = mix(rgb(0.4f, 0.62f, 0.38f), rgb(0.62f, 0.8f, 0.52f), stripe * 0.6f + f * 0.4f);
                c = scaled(c, 0.75f + 0.25f * smoothstep(0.0f, 0.5f, v));
                return mix(c, rgb(0.8f, 0.52f, 0.88f), smoothstep(0.7f, 1.0f, v));
            }
            default: {  // sea whips: orange with tiny white polyps, darker toward the holdfast
                const float cup = polyps(n, u, v, 20);
                const Colour c = mix(scaled(rgb(0.92f, 0.5f, 0.18f), 0.85f + 0.25f * f), rgb(1.0f, 0.95f, 0.85f), cup * 0.7f);
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

// Distant palms: trunks leaning out of the bottom edge with crowns of fronds.
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

Image palmBackground() {
    Image big(512, 512, rgb(0.2f, 0.35f, 0.25f, 0.0f));
    Painter p(big);
    Rng rng(54);
    struct Palm { float x, lean, height; };
    const Palm palms[] = {{150.0f, -60.0f, 230.0f}, {250.0f, 35.0f, 280.0f}, {330.0f, 90.0f, 200.0f}, {410.0f, 50.0f, 150.0f}};
    for (const Palm& palm : palms) {
        // Curved trunk from the bottom edge.
        float px = palm.x, py = 512.0f;
        const int steps = 12;
        for (int s = 1; s <= steps; ++s) {
            const float t = static_cast<float>(s) / steps;
            const float nx = palm.x + palm.lean * t * t, ny = 512.0f - palm.height * t;
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
    // Distance haze: a light blue-green veil over the colours.
    Image img = big.halved();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            Colour& c = img.at(x, y);
            const float a = c.a;
            c = mix(c, rgb(0.55f, 0.7f, 0.75f), 0.25f);
            c.a = a;
        }
    return img;
}

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

bool add24(DataFolder& folder, const std::string& path, const Image& img) { return folder.add(path, bmp::encode24(img)); }
bool add32(DataFolder& folder, const std::string& path, const Image& img) { return folder.add(path, bmp::encode32(img)); }

}  // namespace

bool TextureGenerator::generate(DataFolder& folder) const {
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
    ok = add32(folder, "models/palmen_bg.tqt", withTransparentFrame(palmBackground())) && ok;
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
                    bmp::encodeGrey8(TerrainMap::kWidth, TerrainMap::kHeight, TerrainMap().greyLevels())) && ok;
    ok = add24(folder, "icon.bmp", appIcon()) && ok;
    ok = add24(folder, "gull_icon.bmp", gullIcon()) && ok;
    ok = add24(folder, kIntroPicture, introPicture()) && ok;
    return ok;
}

}  // namespace reef::tools
