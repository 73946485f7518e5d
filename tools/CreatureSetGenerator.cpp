#include "tools/CreatureSetGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "tools/BmpWriter.h"
#include "tools/CreatureModels.h"
#include "tools/CreatureTextures.h"
#include "tools/DatWriter.h"
#include "tools/Md3Writer.h"
#include "tools/Noise.h"
#include "tools/TerrainMap.h"

namespace reef::tools {
namespace {

constexpr float kPi = 3.1415927f;

Colour rgb(float r, float g, float b) { return rgbColour(r, g, b); }

// How far into a fin a texel lies: 0 at the body's edge, 1 at the fin's outer edge
// (tail: its trailing edge); 0 on the body.
float finDepth(const FishTexel& x, const FishShape& s) {
    if (x.body < 0.0f) return std::clamp(-x.body * s.length / std::max(s.tailLength, 1e-3f), 0.0f, 1.0f);
    const float h = s.halfDepth(std::clamp(x.body, 0.0f, 1.0f));
    if (x.across < -1.0f) return std::clamp((-x.across - 1.0f) * h / std::max(s.dorsalHeight, 1e-3f), 0.0f, 1.0f);
    if (x.across > 1.0f) return std::clamp((x.across - 1.0f) * h / std::max(s.analHeight, 1e-3f), 0.0f, 1.0f);
    return 0.0f;
}

bool onBody(const FishTexel& x) { return x.body >= 0.0f && std::fabs(x.across) <= 1.0f && !x.pectoral; }

// A soft band of half width `half` around `centre`, 0..1.
float band(float v, float centre, float half, float soft = 0.01f) {
    return smoothstep(half + soft, half - soft, std::fabs(v - centre));
}

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

std::string vector3(P3 p) { return number(p.x) + "," + number(p.y) + "," + number(p.z); }

// The [saver] lines of a set (key = value), in the usual key order.
struct Saver {
    std::string type, texture, model;
    float animationSpeed = 0, scale = 0, trackSpeed = 0, rollFactor = 0;
    int animationStart = 0, animationEnd = 0;
    bool variableSpeed = false;
    float maxSpeedChange = 0;
    // NOTE: the scene switches GL lighting on for lit timed props only, under a
    // light from below the floor; props are unlit and carry their shading in the texture.
    bool lighting = true;
    std::vector<std::string> values;
};

std::string saverLines(const Saver& s, bool withType) {
    std::string out;
    if (withType) out += "type=" + s.type + "\n";
    out += "texture=" + s.texture + "\nmodel=" + s.model + "\n";
    out += "animationspeed=" + number(s.animationSpeed) + "\nscale=" + number(s.scale) + "\n";
    out += "trackspeed=" + number(s.trackSpeed) + "\nrollfactor=" + number(s.rollFactor) + "\n";
    out += "animationstart=" + std::to_string(s.animationStart) + "\nanimationend=" + std::to_string(s.animationEnd) + "\n";
    out += "variablespeed=" + std::string(s.variableSpeed ? "1" : "0") + "\nmaxspeedchange=" + number(s.maxSpeedChange) + "\n";
    if (withType) out += std::string("lighting=") + (s.lighting ? "1" : "0") + "\n";
    for (size_t i = 0; i < s.values.size(); ++i) out += "val" + std::to_string(i) + "=" + s.values[i] + "\n";
    return out;
}

// The names a person reads on the set pages: "name" in English, "name_ger" in German.
struct SetName {
    const char* id;
    const char* english;
    const char* german;
};
constexpr SetName kSetNames[] = {
    {"silverside", "Silversides", "Ährenfische"},
    {"fusilier", "Blue fusiliers", "Blaue Füsiliere"},
    {"clownfish", "Clownfish", "Clownfisch"},
    {"yellowtang", "Yellow tang", "Gelber Segelflossendoktor"},
    {"emperorangelfish", "Emperor angelfish", "Imperator-Kaiserfisch"},
    {"butterflyfish", "Butterflyfish", "Falterfisch"},
    {"parrotfish", "Parrotfish", "Papageifisch"},
    {"coralgrouper", "Coral grouper", "Juwelen-Zackenbarsch"},
    {"greyreefshark", "Grey reef shark", "Grauer Riffhai"},
    {"napoleonwrasse", "Humphead wrasse", "Napoleon-Lippfisch"},
    {"whaleshark", "Whale shark", "Walhai"},
    {"manta", "Manta ray", "Mantarochen"},
    {"seaturtle", "Green sea turtle", "Grüne Meeresschildkröte"},
    {"moray", "Moray eel", "Muräne"},
    {"giantclam", "Giant clam", "Riesenmuschel"},
};

std::string nameLines(const std::string& id) {
    for (const SetName& name : kSetNames)
        if (id == name.id) return std::string("name=") + name.english + "\nname_ger=" + name.german + "\n";
    return {};
}

std::string descriptor(const std::string& id, const std::string& category, const std::string& comment, const Saver& main,
                       const std::vector<Saver>& parts = {}) {
    std::string out = "; " + comment + "\n[common]\nid=" + id + "\n" + nameLines(id) + "\n[saver]\n" + saverLines(main, true);
    for (size_t i = 0; i < parts.size(); ++i) out += "\n[saver" + std::to_string(i + 2) + "]\n" + saverLines(parts[i], false);
    out += "\n[settings]\ncategory=" + category + "\nicon=icon.bmp\n";
    return out;
}

// ---- Fish species ----------------------------------------------------------------------

struct Species {
    const char* folder;
    const char* id;
    const char* type;
    const char* category;
    const char* comment;
    FishShape shape;
    int frames;
    int textureSize;
    std::function<Colour(const FishTexel&, const FishShape&)> paint;
    float scale, trackSpeed, animationSpeed;
    bool variableSpeed;
    float maxSpeedChange;
};

Colour silverside(const FishTexel& x, const FishShape& s) {
    static const Noise n(401);
    const float f = n.fractal(x.s * 12.0f, x.t * 12.0f, 12, 2) * 0.5f + 0.5f;
    if (!onBody(x)) return mix(rgb(0.7f, 0.78f, 0.82f), rgb(0.3f, 0.38f, 0.46f), finDepth(x, s) * 0.7f);
    // A dark blue-green back shows against the sand below; the mirror-bright flank
    // and belly show against the water and catch the light as the fish turns.
    Colour c = mix(rgb(0.1f, 0.22f, 0.3f), rgb(0.9f, 0.94f, 0.97f), smoothstep(-0.6f, -0.2f, x.across));
    c = mix(c, rgb(1.0f, 1.0f, 1.0f), smoothstep(0.2f, 0.7f, x.across));
    c = mix(c, rgb(0.72f, 0.9f, 1.0f), band(x.across, -0.12f, 0.1f, 0.05f));  // the shining lateral stripe
    // Faint scale rows give the flank its glitter.
    const float scales = 0.5f + 0.5f * std::sin(kPi * (x.body * 40.0f + x.across * 6.0f));
    return scaled(c, 0.9f + 0.1f * f + 0.08f * scales * smoothstep(-0.3f, 0.2f, x.across));
}

Colour fusilier(const FishTexel& x, const FishShape& s) {
    if (x.body < 0.0f) return mix(rgb(1.0f, 0.82f, 0.1f), rgb(0.9f, 0.6f, 0.05f), finDepth(x, s));
    if (!onBody(x)) return rgb(0.45f, 0.6f, 0.85f);
    Colour c = mix(rgb(0.08f, 0.3f, 0.78f), rgb(0.55f, 0.75f, 0.95f), smoothstep(-0.1f, 0.5f, x.across));
    c = mix(c, rgb(0.98f, 0.92f, 0.95f), smoothstep(0.45f, 0.85f, x.across));
    // The yellow back stripe, widening toward the tail.
    const float top = -0.95f, bottom = -0.2f - 0.35f * (1.0f - x.body);
    const float stripe = smoothstep(top - 0.05f, top + 0.05f, x.across) * smoothstep(bottom + 0.08f, bottom - 0.08f, x.across);
    return mix(c, rgb(1.0f, 0.85f, 0.1f), stripe * smoothstep(0.85f, 0.6f, x.body));
}

Colour clownfish(const FishTexel& x, const FishShape& s) {
    static const Noise n(402);
    const float f = n.fractal(x.s * 10.0f, x.t * 10.0f, 10, 2) * 0.5f + 0.5f;
    Colour orange = scaled(rgb(1.0f, 0.45f, 0.06f), 0.9f + 0.15f * f);
    const Colour black = rgb(0.04f, 0.03f, 0.03f), white = rgb(0.98f, 0.98f, 0.96f);
    if (!onBody(x)) {
        const float d = finDepth(x, s);
        return x.pectoral ? orange : mix(orange, black, smoothstep(0.65f, 0.8f, d));
    }
    // Three white bands with black edges: behind the eye, mid-body bulging forward, at the tail stalk.
    const float a = x.across;
    const float centres[3] = {0.76f + 0.04f * a * a, 0.47f + 0.07f * (1.0f - a * a), 0.07f};
    const float halves[3] = {0.05f, 0.06f, 0.035f};
    Colour c = orange;
    for (int i = 0; i < 3; ++i) {
        c = mix(c, black, band(x.body, centres[i], halves[i] + 0.018f, 0.006f));
        c = mix(c, white, band(x.body, centres[i], halves[i], 0.006f));
    }
    return c;
}

Colour yellowTang(const FishTexel& x, const FishShape& s) {
    static const Noise n(403);
    const float f = n.fractal(x.s * 14.0f, x.t * 14.0f, 14, 2) * 0.5f + 0.5f;
    Colour c = scaled(rgb(1.0f, 0.86f, 0.06f), 0.9f + 0.12f * f);
    if (!onBody(x)) return scaled(c, 1.0f - 0.1f * finDepth(x, s));
    // The white scalpel spine at the tail stalk.
    if (std::hypot((x.body - 0.06f) * 4.0f, x.across * 0.8f) < 0.12f) c = rgb(0.98f, 0.98f, 0.95f);
    return c;
}

Colour angelfish(const FishTexel& x, const FishShape&) {
    const Colour navy = rgb(0.06f, 0.1f, 0.48f), yellow = rgb(1.0f, 0.86f, 0.12f), pale = rgb(0.55f, 0.75f, 0.95f);
    if (x.body < 0.0f) return yellow;
    if (!onBody(x)) {
        const float w = std::fabs(std::sin(kPi * (x.s * 30.0f + x.t * 10.0f)));
        return mix(navy, pale, smoothstep(0.75f, 0.9f, w));
    }
    // Slanting yellow stripes on navy.
    const float w = std::fabs(std::sin(kPi * (x.across * 3.2f + x.body * 9.0f)));
    Colour c = mix(navy, yellow, smoothstep(0.45f, 0.6f, w));
    // Dark mask through the eye edged in pale blue, a black shoulder bar, a pale face.
    const float mask = band(x.body, 0.86f, 0.035f, 0.006f) * smoothstep(1.0f, 0.6f, x.across);
    const float shoulder = band(x.body, 0.7f, 0.035f, 0.006f) * smoothstep(-0.5f, -0.2f, x.across) * smoothstep(0.9f, 0.6f, x.across);
    c = mix(c, pale, smoothstep(0.9f, 0.93f, x.body));
    c = mix(c, pale, band(x.body, 0.86f, 0.05f, 0.006f));
    c = mix(c, rgb(0.03f, 0.04f, 0.12f), mask);
    c = mix(c, pale, band(x.body, 0.7f, 0.05f, 0.006f) * smoothstep(-0.5f, -0.2f, x.across) * smoothstep(0.9f, 0.6f, x.across));
    return mix(c, rgb(0.02f, 0.02f, 0.06f), shoulder);
}

Colour butterflyfish(const FishTexel& x, const FishShape& s) {
    const Colour yellow = rgb(1.0f, 0.82f, 0.1f), black = rgb(0.04f, 0.04f, 0.05f);
    if (x.body < 0.0f) return mix(yellow, rgb(0.75f, 0.8f, 0.85f), smoothstep(0.7f, 0.8f, finDepth(x, s)));
    if (!onBody(x)) {
        Colour c = yellow;
        // The eyespot on the rear of the dorsal fin.
        if (x.across < -1.0f && std::hypot((x.body - 0.22f) * 5.0f, (finDepth(x, s) - 0.45f)) < 0.25f) c = black;
        return c;
    }
    // Pale body with fine slanting lines, yellow rear, black band through the eye.
    Colour c = rgb(0.96f, 0.96f, 0.92f);
    const float lines = std::fabs(std::sin(kPi * (x.body * 22.0f - x.across * 5.0f)));
    c = mix(c, rgb(0.55f, 0.55f, 0.6f), smoothstep(0.85f, 0.97f, lines) * 0.7f);
    c = mix(c, yellow, smoothstep(0.42f, 0.3f, x.body + 0.08f * x.across));
    c = mix(c, black, band(x.body, 0.86f, 0.035f, 0.006f));
    return mix(c, yellow, smoothstep(0.95f, 0.98f, x.body));
}

Colour parrotfish(const FishTexel& x, const FishShape& s) {
    static const Noise n(404);
    const Colour teal = rgb(0.1f, 0.72f, 0.62f), pink = rgb(0.95f, 0.45f, 0.55f);
    if (!onBody(x)) {
        const float d = finDepth(x, s);
        Colour c = mix(teal, rgb(0.15f, 0.4f, 0.85f), 0.4f);
        c = mix(c, pink, band(d, 0.55f, 0.12f, 0.05f));
        return mix(c, rgb(1.0f, 0.55f, 0.15f), smoothstep(0.8f, 0.95f, d));
    }
    // Green scales with pink rims; pink stripes round the beak.
    float f1 = 0, f2 = 0;
    n.cellular(x.s * 26.0f, x.t * 18.0f, 26, 0.0f, 0.0f, f1, f2);
    Colour c = mix(teal, rgb(0.3f, 0.85f, 0.5f), smoothstep(-0.8f, 0.8f, x.across) * 0.5f);
    c = mix(c, pink, smoothstep(0.14f, 0.04f, f2 - f1) * 0.75f);
    const float face = smoothstep(0.8f, 0.86f, x.body);
    c = mix(c, pink, face * band(x.across, 0.25f, 0.08f, 0.03f));
    c = mix(c, pink, face * band(x.across, -0.25f, 0.06f, 0.03f));
    return mix(c, rgb(0.2f, 0.78f, 0.75f), smoothstep(0.95f, 0.97f, x.body));  // beak
}

Colour grouper(const FishTexel& x, const FishShape& s) {
    static const Noise n(405);
    const float f = n.fractal(x.s * 8.0f, x.t * 8.0f, 8, 3) * 0.5f + 0.5f;
    Colour c = mix(rgb(0.62f, 0.1f, 0.07f), rgb(0.95f, 0.35f, 0.18f), smoothstep(-1.0f, 0.8f, x.across) * 0.7f + f * 0.3f);
    float f1 = 0, f2 = 0;
    n.cellular(x.s * 22.0f, x.t * 22.0f, 22, 0.0f, 0.0f, f1, f2);
    c = mix(c, rgb(0.05f, 0.1f, 0.3f), smoothstep(0.26f, 0.2f, f1));
    c = mix(c, rgb(0.3f, 0.6f, 1.0f), smoothstep(0.2f, 0.13f, f1));
    if (!onBody(x)) c = mix(c, rgb(0.25f, 0.04f, 0.04f), smoothstep(0.75f, 0.95f, finDepth(x, s)));
    return c;
}

Colour reefShark(const FishTexel& x, const FishShape& s) {
    static const Noise n(406);
    const float f = n.fractal(x.s * 10.0f, x.t * 10.0f, 10, 2) * 0.5f + 0.5f;
    const Colour back = scaled(rgb(0.43f, 0.46f, 0.48f), 0.92f + 0.12f * f), belly = rgb(0.93f, 0.93f, 0.92f);
    if (!onBody(x)) {
        // Grey fins with the dark trailing margin of the tail.
        if (x.body < 0.0f) return mix(back, rgb(0.08f, 0.08f, 0.1f), smoothstep(0.72f, 0.85f, finDepth(x, s)));
        return mix(back, rgb(0.15f, 0.15f, 0.17f), smoothstep(0.75f, 0.95f, finDepth(x, s)));
    }
    Colour c = mix(back, belly, smoothstep(0.15f, 0.4f, x.across + 0.1f * std::sin(x.body * 9.0f)));
    // Five gill slits.
    for (int i = 0; i < 5; ++i)
        c = mix(c, rgb(0.2f, 0.22f, 0.24f), band(x.body, 0.74f + 0.017f * i, 0.003f, 0.002f) * band(x.across, 0.1f, 0.3f, 0.05f));
    return c;
}

Colour napoleon(const FishTexel& x, const FishShape& s) {
    static const Noise n(407);
    const float f = n.fractal(x.s * 9.0f, x.t * 9.0f, 9, 3) * 0.5f + 0.5f;
    Colour c = mix(rgb(0.14f, 0.42f, 0.42f), rgb(0.3f, 0.62f, 0.52f), f);
    if (!onBody(x)) return mix(c, rgb(0.55f, 0.75f, 0.3f), smoothstep(0.7f, 0.95f, finDepth(x, s)));
    // Dark vertical bars on each scale row, and a maze of golden lines over the head.
    c = scaled(c, 0.8f + 0.2f * std::fabs(std::sin(kPi * x.body * 28.0f)));
    const float maze = std::fabs(std::sin(n.fractal(x.s * 16.0f, x.t * 16.0f, 16, 2) * 14.0f));
    c = mix(c, rgb(0.95f, 0.75f, 0.3f), smoothstep(0.7f, 0.78f, x.body) * smoothstep(0.25f, 0.1f, maze) * 0.85f);
    return mix(c, rgb(0.6f, 0.72f, 0.62f), smoothstep(0.4f, 0.9f, x.across) * 0.5f);
}

Colour whaleShark(const FishTexel& x, const FishShape&) {
    static const Noise n(408);
    const float f = n.fractal(x.s * 8.0f, x.t * 8.0f, 8, 3) * 0.5f + 0.5f;
    Colour c = scaled(rgb(0.2f, 0.29f, 0.38f), 0.9f + 0.15f * f);
    if (!onBody(x)) return scaled(c, 0.9f);
    // Pale vertical stripes with staggered rows of white spots between them; white belly.
    const float stripes = std::fabs(std::sin(kPi * x.body * 11.0f));
    c = mix(c, rgb(0.7f, 0.75f, 0.78f), smoothstep(0.93f, 0.98f, stripes) * smoothstep(0.8f, 0.5f, x.body) * 0.8f);
    const float row = x.across * 3.2f + 4.0f;
    const int r = static_cast<int>(std::floor(row));
    const float column = x.body * 24.0f + (r % 2 == 0 ? 0.0f : 0.5f);
    const int k = static_cast<int>(std::floor(column));
    const float jx = n.hash01(k, r, 1) - 0.5f, jy = n.hash01(k, r, 2) - 0.5f;
    const float spot = std::hypot((column - k - 0.5f - 0.3f * jx) * 1.2f, row - r - 0.5f - 0.3f * jy);
    const float radius = 0.16f + 0.1f * n.hash01(k, r, 3) - 0.06f * smoothstep(0.75f, 0.95f, x.body);
    c = mix(c, rgb(0.92f, 0.94f, 0.95f), smoothstep(radius + 0.05f, radius - 0.03f, spot) * smoothstep(0.99f, 0.93f, x.body));
    return mix(c, rgb(0.9f, 0.9f, 0.88f), smoothstep(0.3f, 0.55f, x.across));
}

FishShape shape(std::function<void(FishShape&)> edit) {
    FishShape s;
    edit(s);
    return s;
}

std::vector<Species> species() {
    std::vector<Species> out;
    // School fish: small and quick; their speed sets the playback rate.
    out.push_back({"sets/default_fish/boid_silverside", "silverside", "boid", "boid", "A school of small silvery reef fish",
                   shape([](FishShape& s) {
                       s.depth = 4.2f, s.width = 2.4f, s.tailLength = 3.6f, s.tailSpan = 4.8f;
                       s.dorsalFrom = 0.42f, s.dorsalTo = 0.58f, s.dorsalHeight = 1.3f;
                       s.analFrom = 0.3f, s.analTo = 0.42f, s.analHeight = 0.9f, s.pectoral = 1.5f, s.beat = 0.14f;
                   }),
                   16, 128, silverside, 0.03f, 0.0f, 30.0f, false, 0.0f});
    out.push_back({"sets/additional/boid_fusilier", "fusilier", "boid", "boid", "A school of blue fusiliers with a yellow back",
                   shape([](FishShape& s) {
                       s.depth = 4.8f, s.width = 2.5f, s.tailLength = 4.2f, s.tailSpan = 6.0f;
                       s.dorsalFrom = 0.3f, s.dorsalTo = 0.7f, s.dorsalHeight = 1.0f;
                       s.analFrom = 0.22f, s.analTo = 0.42f, s.analHeight = 0.8f, s.pectoral = 1.6f, s.beat = 0.14f;
                   }),
                   16, 128, fusilier, 0.032f, 0.0f, 30.0f, false, 0.0f});
    // Single reef fish: trackspeed is the cruising speed, animationspeed frames per
    // second per unit of speed.
    out.push_back({"sets/default_fish/fish_clownfish", "clownfish", "singlefish", "fish", "Clownfish",
                   shape([](FishShape& s) {
                       s.depth = 7.0f, s.width = 3.6f, s.deepestAt = 0.5f, s.snout = 0.6f, s.peduncle = 0.22f;
                       s.tail = TailKind::Rounded, s.tailLength = 3.8f, s.tailSpan = 6.0f;
                       s.dorsalFrom = 0.22f, s.dorsalTo = 0.8f, s.dorsalHeight = 2.2f;
                       s.analFrom = 0.2f, s.analTo = 0.45f, s.analHeight = 1.8f, s.pectoral = 2.6f, s.beat = 0.13f;
                   }),
                   16, 128, clownfish, 0.036f, 0.0007f, 50000.0f, true, 0.000003f});
    out.push_back({"sets/default_fish/fish_yellowtang", "yellowtang", "singlefish", "fish", "Yellow tang",
                   shape([](FishShape& s) {
                       s.length = 15.0f, s.depth = 10.5f, s.width = 2.6f, s.deepestAt = 0.5f, s.snout = 1.5f, s.peduncle = 0.16f;
                       s.tail = TailKind::Lunate, s.tailLength = 3.2f, s.tailSpan = 6.0f;
                       s.dorsalFrom = 0.12f, s.dorsalTo = 0.8f, s.dorsalHeight = 3.2f;
                       s.analFrom = 0.12f, s.analTo = 0.55f, s.analHeight = 2.8f, s.pectoral = 2.4f, s.beat = 0.1f;
                   }),
                   16, 128, yellowTang, 0.034f, 0.0008f, 40000.0f, false, 0.0f});
    out.push_back({"sets/default_fish/fish_angelfish", "emperorangelfish", "singlefish", "fish", "Emperor angelfish",
                   shape([](FishShape& s) {
                       s.depth = 10.0f, s.width = 3.0f, s.deepestAt = 0.5f, s.snout = 0.9f, s.peduncle = 0.2f;
                       s.tail = TailKind::Rounded, s.tailLength = 3.6f, s.tailSpan = 6.5f;
                       s.dorsalFrom = 0.08f, s.dorsalTo = 0.75f, s.dorsalHeight = 2.8f;
                       s.analFrom = 0.08f, s.analTo = 0.5f, s.analHeight = 2.6f, s.pectoral = 2.6f, s.beat = 0.1f;
                   }),
                   16, 128, angelfish, 0.036f, 0.0009f, 38000.0f, true, 0.000004f});
    out.push_back({"sets/default_fish/fish_butterflyfish", "butterflyfish", "singlefish", "fish", "Butterflyfish",
                   shape([](FishShape& s) {
                       s.length = 14.0f, s.depth = 10.0f, s.width = 2.4f, s.deepestAt = 0.48f, s.snout = 1.7f, s.peduncle = 0.18f;
                       s.tail = TailKind::Rounded, s.tailLength = 3.0f, s.tailSpan = 5.0f;
                       s.dorsalFrom = 0.1f, s.dorsalTo = 0.7f, s.dorsalHeight = 2.6f;
                       s.analFrom = 0.1f, s.analTo = 0.5f, s.analHeight = 2.4f, s.pectoral = 2.2f, s.beat = 0.1f;
                   }),
                   16, 128, butterflyfish, 0.034f, 0.0008f, 42000.0f, true, 0.000004f});
    out.push_back({"sets/default_fish/fish_parrotfish", "parrotfish", "singlefish", "fish", "Parrotfish",
                   shape([](FishShape& s) {
                       s.length = 18.0f, s.depth = 6.6f, s.width = 3.8f, s.deepestAt = 0.55f, s.snout = 0.5f, s.peduncle = 0.2f;
                       s.tail = TailKind::Lunate, s.tailLength = 4.2f, s.tailSpan = 6.4f;
                       s.dorsalFrom = 0.22f, s.dorsalTo = 0.8f, s.dorsalHeight = 1.5f;
                       s.analFrom = 0.2f, s.analTo = 0.42f, s.analHeight = 1.4f, s.pectoral = 2.8f, s.beat = 0.11f;
                   }),
                   16, 128, parrotfish, 0.036f, 0.0011f, 32000.0f, true, 0.000004f});
    out.push_back({"sets/default_fish/fish_grouper", "coralgrouper", "singlefish", "fish", "Coral grouper",
                   shape([](FishShape& s) {
                       s.length = 18.0f, s.depth = 6.0f, s.width = 4.4f, s.deepestAt = 0.5f, s.snout = 0.75f, s.peduncle = 0.26f;
                       s.tail = TailKind::Rounded, s.tailLength = 3.6f, s.tailSpan = 5.8f;
                       s.dorsalFrom = 0.2f, s.dorsalTo = 0.78f, s.dorsalHeight = 1.6f;
                       s.analFrom = 0.18f, s.analTo = 0.38f, s.analHeight = 1.4f, s.pectoral = 3.0f, s.beat = 0.1f;
                   }),
                   16, 128, grouper, 0.042f, 0.0006f, 45000.0f, true, 0.000002f});
    // The hunter: a grey reef shark, slow until it chases.
    out.push_back({"sets/default_fish/hunter_reefshark", "greyreefshark", "hunter", "fish", "Grey reef shark, hunts the school",
                   shape([](FishShape& s) {
                       s.length = 40.0f, s.depth = 8.6f, s.width = 7.0f, s.deepestAt = 0.6f, s.snout = 0.9f, s.peduncle = 0.16f;
                       s.tail = TailKind::Shark, s.tailLength = 11.0f, s.tailSpan = 13.0f, s.sharkDorsal = true;
                       s.dorsalFrom = 0.48f, s.dorsalTo = 0.66f, s.dorsalHeight = 6.0f;
                       s.analFrom = 0.18f, s.analTo = 0.26f, s.analHeight = 2.0f, s.pectoral = 9.0f, s.beat = 0.09f, s.eyeSize = 0.45f;
                   }),
                   24, 256, reefShark, 0.05f, 0.0012f, 14000.0f, true, 0.000003f});
    // Big fish pass along their route at 0.0006 units per ms; animationspeed is
    // plain frames per second.
    out.push_back({"sets/default_fish/bigfish_napoleon", "napoleonwrasse", "bigfish", "fish", "Humphead (napoleon) wrasse",
                   shape([](FishShape& s) {
                       s.length = 20.0f, s.depth = 9.0f, s.width = 5.0f, s.deepestAt = 0.5f, s.snout = 0.55f, s.hump = 0.2f;
                       s.peduncle = 0.28f, s.tail = TailKind::Rounded, s.tailLength = 4.2f, s.tailSpan = 7.5f;
                       s.dorsalFrom = 0.2f, s.dorsalTo = 0.75f, s.dorsalHeight = 2.0f;
                       s.analFrom = 0.15f, s.analTo = 0.42f, s.analHeight = 2.0f, s.pectoral = 3.8f, s.beat = 0.09f, s.eyeSize = 0.7f;
                   }),
                   24, 256, napoleon, 0.085f, 0.0f, 10.0f, false, 0.0f});
    out.push_back({"sets/default_fish/bigfish_whaleshark", "whaleshark", "bigfish", "fish", "Whale shark",
                   shape([](FishShape& s) {
                       s.length = 40.0f, s.depth = 10.5f, s.width = 11.0f, s.deepestAt = 0.5f, s.snout = 0.35f, s.flatHead = 1.0f;
                       s.peduncle = 0.18f, s.tail = TailKind::Shark, s.tailLength = 10.0f, s.tailSpan = 13.0f, s.sharkDorsal = true;
                       s.dorsalFrom = 0.42f, s.dorsalTo = 0.6f, s.dorsalHeight = 5.0f;
                       s.analFrom = 0.2f, s.analTo = 0.27f, s.analHeight = 1.8f, s.pectoral = 8.0f, s.beat = 0.08f, s.eyeSize = 0.35f;
                   }),
                   32, 256, whaleShark, 0.115f, 0.0f, 6.0f, false, 0.0f});
    return out;
}

// Side view for fish icons, three-quarter views for the others.
constexpr float kFishIconYaw = 90.0f, kFishIconPitch = 8.0f;

P3 floorPlace(float x, float z) { return {x, TerrainMap().drawnHeightAt(x, z), z}; }

}  // namespace

P3 CreatureSetGenerator::turtlePlace() { return floorPlace(1.5f, 11.0f); }
P3 CreatureSetGenerator::morayPlace() { return floorPlace(5.5f, 14.0f); }
P3 CreatureSetGenerator::clamPlace() { return floorPlace(-1.5f, 7.5f); }

std::vector<CreatureSet> CreatureSetGenerator::buildAll() {
    std::vector<CreatureSet> sets;
    for (const Species& sp : species()) {
        FishModel fish = buildFish(sp.shape, sp.frames);
        CreatureSet set;
        set.folder = sp.folder;
        Saver saver;
        saver.type = sp.type;
        saver.texture = "texture.tqt";
        saver.model = "model.tqm";
        saver.animationSpeed = sp.animationSpeed;
        saver.scale = sp.scale;
        saver.trackSpeed = sp.trackSpeed;
        saver.animationStart = 0;
        saver.animationEnd = sp.frames - 1;
        saver.variableSpeed = sp.variableSpeed;
        saver.maxSpeedChange = sp.maxSpeedChange;
        set.info = descriptor(sp.id, sp.category, sp.comment, saver);
        const FishShape shape = sp.shape;
        const auto paint = sp.paint;
        Image texture = paintFishTexture(fish.layout, sp.textureSize, [&](const FishTexel& x) { return paint(x, shape); });
        set.icon = renderIcon(fish.model, 0, texture, kFishIconYaw, kFishIconPitch, kIconWidth, kIconHeight);
        set.models.push_back({"model.tqm", std::move(fish.model), true});
        set.textures.push_back({"texture.tqt", std::move(texture)});
        sets.push_back(std::move(set));
    }
    {
        // The manta crosses the view at a depth of about 2.5 between its two points.
        CreatureSet set;
        set.folder = "sets/default_diverse/manta";
        Saver saver;
        saver.type = "manta";
        saver.texture = "texture.tqt";
        saver.model = "model.tqm";
        saver.animationSpeed = 11.0f;
        saver.scale = 0.18f;
        saver.trackSpeed = 0.0028f;
        saver.rollFactor = 25.0f;
        saver.animationEnd = 31;
        saver.values = {"-22,2.5,17", "22,2.5,15", "4000", "12000"};
        set.info = descriptor("manta", "diverse", "Manta ray gliding across the reef", saver);
        AnimatedMesh model = buildManta(32);
        Image texture = mantaSetTexture();
        set.icon = renderIcon(model, 4, texture, 0.0f, -70.0f, kIconWidth, kIconHeight);  // from below: the white belly
        set.models.push_back({"model.tqm", std::move(model), true});
        set.textures.push_back({"texture.tqt", std::move(texture)});
        sets.push_back(std::move(set));
    }
    {
        // The turtle rests on the floor in view and swims its round far behind.
        CreatureSet set;
        set.folder = "sets/additional/turtle";
        set.utf16 = true;
        Saver rest;
        rest.type = "turtle";
        rest.texture = "turtle.tqt";
        rest.model = "turtle.tqm";
        rest.animationSpeed = 3.0f;
        rest.scale = 0.065f;
        rest.animationEnd = kTurtleFrames - 1;
        rest.values = {vector3(turtlePlace())};
        Saver swim;
        swim.texture = "turtle.tqt";
        swim.model = "turtle_swim.tqm";
        swim.animationSpeed = 9.0f;
        swim.scale = 0.065f;
        swim.animationEnd = 31;
        swim.values = {"30,-4.8,40"};
        set.info = descriptor("seaturtle", "animal", "Green sea turtle: rests on the sand, then swims a round", rest, {swim});
        AnimatedMesh model = buildRestingTurtle();
        AnimatedMesh swimmer = buildSwimmingTurtle(32);
        Image texture = turtleTexture();
        set.icon = renderIcon(swimmer, 0, texture, 140.0f, 35.0f, kIconWidth, kIconHeight);
        set.models.push_back({"turtle.tqm", std::move(model), true});
        set.models.push_back({"turtle_swim.tqm", std::move(swimmer), true});
        set.textures.push_back({"turtle.tqt", std::move(texture)});
        sets.push_back(std::move(set));
    }
    {
        // The moray looks out of its rock now and then; the rock is the set's second part.
        CreatureSet set;
        set.folder = "sets/default_diverse/moray";
        const std::string place = vector3(morayPlace()), angles = "0,-50,0";
        Saver eel;
        eel.type = "statictimed";
        eel.texture = "moray.tqt";
        eel.model = "moray.tqm";
        eel.animationSpeed = 10.0f;
        eel.scale = 0.06f;
        eel.animationEnd = 89;
        eel.values = {place, "0", "3000", "9000", angles};
        eel.lighting = false;
        Saver rock;
        rock.texture = "rock.tqt";
        rock.model = "rock.tqm";
        rock.animationSpeed = 1.0f;
        rock.scale = 0.06f;
        rock.values = {place, "0", "0", "0", angles};
        set.info = descriptor("moray", "animal", "Moray eel that comes out of its hole in the rock", eel, {rock});
        AnimatedMesh model = buildMoray(90);
        AnimatedMesh rockModel = buildMorayRock();
        Image texture = morayTexture();
        Image rockTexture = morayRockTexture();
        // The icon shows the moray out of its hole, from the side.
        set.icon = renderIcon(model, 35, texture, 80.0f, 5.0f, kIconWidth, kIconHeight);
        set.models.push_back({"moray.tqm", std::move(model), false});
        set.models.push_back({"rock.tqm", std::move(rockModel), false});
        set.textures.push_back({"moray.tqt", std::move(texture)});
        set.textures.push_back({"rock.tqt", std::move(rockTexture)});
        sets.push_back(std::move(set));
    }
    {
        CreatureSet set;
        set.folder = "sets/default_diverse/giantclam";
        Saver clam;
        clam.type = "statictimed";
        clam.texture = "texture.tqt";
        clam.model = "model.tqm";
        clam.animationSpeed = 6.0f;
        clam.scale = 0.055f;
        clam.animationEnd = 47;
        clam.values = {vector3(clamPlace()), "0", "2000", "6000", "0,80,0"};
        clam.lighting = false;
        set.info = descriptor("giantclam", "diverse", "Giant clam that opens its shell", clam);
        AnimatedMesh model = buildClam(48);
        Image texture = clamTexture();
        set.icon = renderIcon(model, 20, texture, 60.0f, 35.0f, kIconWidth, kIconHeight);
        set.models.push_back({"model.tqm", std::move(model), false});
        set.textures.push_back({"texture.tqt", std::move(texture)});
        sets.push_back(std::move(set));
    }
    return sets;
}

bool CreatureSetGenerator::generate(GeneratedFiles& folder) const {
    bool ok = true;
    for (const CreatureSet& set : buildAll()) {
        const std::string base = set.folder + "/";
        std::vector<uint8_t> info;
        if (set.utf16) {
            // UTF-16LE with a byte-order mark.
            info = {0xFF, 0xFE};
            for (char16_t c : utf8ToUtf16(set.info)) {
                if (c == u'\n') info.insert(info.end(), {'\r', 0});
                info.push_back(static_cast<uint8_t>(c & 0xFF));
                info.push_back(static_cast<uint8_t>(c >> 8));
            }
        } else {
            for (char c : set.info) {
                if (c == '\n') info.push_back('\r');
                info.push_back(static_cast<uint8_t>(c));
            }
        }
        ok = folder.add(base + "info.ini", std::move(info)) && ok;
        for (const CreatureModelFile& m : set.models) {
            Md3Options options;
            options.name = m.name;
            if (m.normalsBlock)
                for (const auto& frame : m.model.frames) options.normals.push_back(smoothNormals(frame, m.model.mesh.triangles));
            ok = folder.add(base + m.name, encodeMd3(m.model, options)) && ok;
        }
        for (const CreatureTextureFile& t : set.textures) ok = folder.add(base + t.name, bmp::encode24(t.image)) && ok;
        ok = folder.add(base + "icon.bmp", bmp::encode24(set.icon)) && ok;
    }
    return ok;
}

}  // namespace reef::tools
