#include "tools/CreatureTextures.h"

#include <algorithm>
#include <cmath>

#include "tools/Noise.h"
#include "tools/Painter.h"
#include "tools/SoftRenderer.h"

namespace reef::tools {
namespace {

constexpr float kTwoPi = 6.2831853f;

Image painted(int w, int h, const std::function<Colour(float, float)>& f) {
    Image img(w, h);
    Painter(img).fill(f);
    return img;
}

// Scute outlines: distance to the nearest cell border of a hexagon-like cell
// pattern (cellular noise), small at the seams.
float seam(const Noise& n, float x, float y, int period) {
    float f1 = 0, f2 = 0;
    n.cellular(x, y, period, 0.0f, 0.0f, f1, f2);
    return f2 - f1;
}

}  // namespace

Colour rgbColour(float r, float g, float b) { return {r, g, b, 1.0f}; }

Image paintFishTexture(const FishLayout& layout, int size, const std::function<Colour(const FishTexel&)>& colour,
                       Colour iris) {
    const P3 eye = layout.eye();
    return painted(size, size, [&](float s, float t) {
        const FishTexel x = layout.at(s, t);
        Colour c = colour(x);
        if (!x.pectoral) {
            const float d = std::hypot(x.y - eye.x, x.z - eye.y) / eye.z;
            if (d < 1.0f) c = mix(c, iris, smoothstep(1.0f, 0.85f, d));
            if (d < 0.62f) c = mix(c, rgbColour(0.02f, 0.02f, 0.03f), smoothstep(0.62f, 0.5f, d));
            if (std::hypot(x.y - eye.x - 0.2f * eye.z, x.z - eye.y - 0.2f * eye.z) < 0.15f * eye.z)
                c = rgbColour(0.9f, 0.9f, 0.9f);  // highlight
        }
        c.a = 1.0f;
        return c;
    });
}

Image mantaSetTexture() {
    const Noise n(311);
    return painted(256, 256, [&](float u, float v) {
        const float f = n.fractal(u * 8.0f, v * 8.0f, 8, 3) * 0.5f + 0.5f;
        const float x = (u - 0.5f) * 2.0f;
        if (v < 0.5f) {
            // Back: near black with the two pale shoulder chevrons and a grey rim.
            const float along = 1.0f - v / 0.5f;  // 0 tail, 1 head
            Colour c = mix(rgbColour(0.05f, 0.06f, 0.08f), rgbColour(0.14f, 0.15f, 0.18f), f);
            const float chevron = std::fabs(std::fabs(x) - 0.18f - 0.35f * (0.85f - along)) ;
            const float patch = smoothstep(0.12f, 0.04f, chevron) * smoothstep(0.35f, 0.55f, along) * smoothstep(0.95f, 0.75f, along) *
                                smoothstep(0.7f, 0.4f, std::fabs(x));
            c = mix(c, rgbColour(0.82f, 0.84f, 0.86f), patch * (0.75f + 0.25f * f));
            return mix(c, rgbColour(0.35f, 0.37f, 0.4f), smoothstep(0.8f, 1.0f, std::fabs(x)) * 0.5f);
        }
        // Belly: white with a few dark spots and a grey wing margin.
        Colour c = mix(rgbColour(0.92f, 0.93f, 0.95f), rgbColour(0.8f, 0.82f, 0.86f), f);
        float f1 = 0, f2 = 0;
        n.cellular(u * 10.0f, v * 10.0f, 10, 0.0f, 0.0f, f1, f2);
        if (n.hash01(static_cast<int>(u * 10.0f), static_cast<int>(v * 10.0f), 5) > 0.6f)
            c = mix(c, rgbColour(0.15f, 0.15f, 0.18f), smoothstep(0.25f, 0.15f, f1));
        return mix(c, rgbColour(0.3f, 0.32f, 0.36f), smoothstep(0.7f, 1.0f, std::fabs(x)));
    });
}

Image turtleTexture() {
    const Noise n(312);
    return painted(256, 256, [&](float u, float v) {
        const float f = n.fractal(u * 16.0f, v * 16.0f, 16, 3) * 0.5f + 0.5f;
        if (u < 0.5f) {
            // Carapace seen from above: radiating brown scutes with pale seams.
            const float x = (u / 0.5f - 0.5f) * 2.0f, y = (0.5f - v) * 2.0f;
            const float sx = x * 2.2f + 10.0f, sy = y * 1.8f + 10.0f;
            const float edge = seam(n, sx, sy, 0);
            const float radial = std::fmod(std::atan2(y, x) / kTwoPi * 10.0f + 20.0f, 1.0f);
            Colour c = mix(rgbColour(0.32f, 0.2f, 0.09f), rgbColour(0.55f, 0.38f, 0.16f), f);
            c = mix(c, rgbColour(0.16f, 0.1f, 0.05f), 0.35f * std::fabs(std::sin(radial * 3.1416f * 2.0f)) * (1.0f - f));
            c = mix(c, rgbColour(0.78f, 0.68f, 0.42f), smoothstep(0.12f, 0.03f, edge));
            // The rim: a row of marginal scutes.
            const float r = std::hypot(x, y);
            c = mix(c, rgbColour(0.4f, 0.28f, 0.12f), smoothstep(0.82f, 0.9f, r) * 0.6f);
            return c;
        }
        if (u < 0.76f) {
            // Plastron: cream plates.
            const float edge = seam(n, u * 18.0f, v * 8.0f, 0);
            return mix(mix(rgbColour(0.86f, 0.8f, 0.6f), rgbColour(0.75f, 0.68f, 0.48f), f), rgbColour(0.6f, 0.52f, 0.35f),
                       smoothstep(0.1f, 0.03f, edge));
        }
        // Skin: olive-grey with pale-edged dark scales.
        const float edge = seam(n, u * 60.0f, v * 30.0f, 0);
        Colour c = mix(rgbColour(0.3f, 0.3f, 0.22f), rgbColour(0.44f, 0.42f, 0.3f), f);
        c = mix(c, rgbColour(0.82f, 0.8f, 0.66f), smoothstep(0.12f, 0.02f, edge));
        // Eyes: the head's ellipsoid spans t 0.02..0.35; its sides sit at s quarter points.
        const float su = (u - 0.77f) / 0.21f;
        for (float e : {0.25f, 0.75f})
            if (std::hypot((su - e) * 1.2f, (v - 0.21f) * 3.0f) < 0.05f) c = rgbColour(0.03f, 0.03f, 0.02f);
        return c;
    });
}

Image morayTexture() {
    const Noise n(313);
    return painted(128, 256, [&](float u, float v) {
        // u around the body (0.25 and 0.75 the flanks), v from the snout (0) to the tail.
        const float f = n.fractal(u * 8.0f, v * 24.0f, 8, 3) * 0.5f + 0.5f;
        float f1 = 0, f2 = 0;
        n.cellular(u * 10.0f, v * 30.0f, 10, 0.0f, 0.0f, f1, f2);
        Colour c = mix(rgbColour(0.22f, 0.28f, 0.08f), rgbColour(0.48f, 0.5f, 0.18f), f);
        c = mix(c, rgbColour(0.08f, 0.1f, 0.04f), smoothstep(0.3f, 0.1f, f1) * 0.8f);  // dark mottles
        const float belly = std::fabs(u - 0.5f);  // 0 under the chin
        c = mix(c, rgbColour(0.62f, 0.62f, 0.35f), smoothstep(0.15f, 0.0f, belly) * 0.6f);
        for (float side : {0.25f, 0.75f}) {
            // The eye and the mouth line near the snout.
            if (std::hypot((u - side) * 1.0f, (v - 0.075f) * 1.6f) < 0.03f) c = rgbColour(0.9f, 0.85f, 0.3f);
            if (std::hypot((u - side) * 1.0f, (v - 0.075f) * 1.6f) < 0.016f) c = rgbColour(0.02f, 0.02f, 0.02f);
        }
        // Drawn unlit: a lighter back (u = 0 and 1) and a shaded underside.
        c = scaled(c, 0.75f + 0.45f * std::fabs(std::cos(kTwoPi * u * 0.5f)));
        const float mouth = std::min(std::fabs(u - 0.32f), std::fabs(u - 0.68f));
        c = mix(c, rgbColour(0.35f, 0.08f, 0.08f), smoothstep(0.05f, 0.0f, mouth) * smoothstep(0.14f, 0.02f, v));
        return c;
    });
}

Image morayRockTexture() {
    const Noise n(314);
    return painted(256, 128, [&](float u, float v) {
        const float f = n.fractal(u * 12.0f, v * 6.0f, 12, 4) * 0.5f + 0.5f;
        const float g = n.fractal(u * 40.0f + 3.0f, v * 20.0f, 40, 2) * 0.5f + 0.5f;
        Colour c = mix(rgbColour(0.45f, 0.4f, 0.36f), rgbColour(0.75f, 0.7f, 0.62f), f);
        // Encrusting growth: pink and violet coralline algae, green film on top.
        c = mix(c, rgbColour(0.85f, 0.45f, 0.6f), smoothstep(0.58f, 0.72f, g) * 0.8f);
        c = mix(c, rgbColour(0.55f, 0.35f, 0.7f), smoothstep(0.35f, 0.2f, g) * 0.5f);
        c = mix(c, rgbColour(0.4f, 0.6f, 0.25f), smoothstep(0.5f, 0.3f, g) * smoothstep(0.35f, 0.0f, v) * 0.6f);
        // Drawn unlit: light from above is painted in, the underside darker.
        c = scaled(c, 1.15f - 0.6f * smoothstep(0.2f, 0.85f, v));
        // The hole facing the viewer (u = 0.75, v = 0.5 on the rock's sphere mapping).
        const float d = std::hypot((u - 0.75f) * 3.6f, (v - 0.5f) * 1.5f);
        c = mix(c, rgbColour(0.03f, 0.03f, 0.03f), smoothstep(0.2f, 0.13f, d));
        c = mix(c, rgbColour(0.18f, 0.16f, 0.13f), smoothstep(0.28f, 0.2f, d) * smoothstep(0.13f, 0.2f, d));
        return c;
    });
}

Image clamTexture() {
    const Noise n(315);
    return painted(256, 256, [&](float u, float v) {
        const float f = n.fractal(u * 10.0f, v * 10.0f, 10, 3) * 0.5f + 0.5f;
        if (v < 0.5f) {
            // Shell: chalky white ribs with growth lines, greyer toward the hinge.
            const float along = v / 0.5f;  // hinge to lip
            Colour c = mix(rgbColour(0.5f, 0.46f, 0.36f), rgbColour(0.95f, 0.9f, 0.76f), along * 0.7f + f * 0.3f);
            c = mix(c, rgbColour(0.5f, 0.55f, 0.35f), smoothstep(0.55f, 0.8f, f) * 0.4f);  // algal film
            c = scaled(c, 0.85f + 0.15f * std::fabs(std::sin(along * 40.0f + f * 3.0f)));
            c = scaled(c, 0.8f + 0.2f * std::fabs(std::sin(u * kTwoPi * 2.5f)));
            return c;
        }
        // Mantle: iridescent blue and turquoise with dark-ringed pale spots.
        const float w = (v - 0.5f) / 0.5f;
        Colour c = mix(rgbColour(0.1f, 0.45f, 0.95f), rgbColour(0.15f, 0.9f, 0.8f), f);
        c = mix(c, rgbColour(0.55f, 0.2f, 0.7f), smoothstep(0.35f, 0.0f, std::fabs(w - 0.5f)) * 0.35f * (1.0f - f));
        float f1 = 0, f2 = 0;
        n.cellular(u * 24.0f, v * 12.0f, 24, 0.0f, 0.0f, f1, f2);
        c = mix(c, rgbColour(0.02f, 0.1f, 0.25f), smoothstep(0.3f, 0.2f, f1) * 0.8f);
        c = mix(c, rgbColour(0.7f, 0.95f, 0.95f), smoothstep(0.16f, 0.08f, f1));
        return mix(c, rgbColour(0.85f, 0.75f, 0.35f), smoothstep(0.12f, 0.0f, std::min(w, 1.0f - w)) * 0.8f);  // lip edge
    });
}

Image renderIcon(const AnimatedMesh& model, int frame, const Image& texture, float yawDegrees, float pitchDegrees,
                 int width, int height) {
    constexpr int kSuper = 4;
    if (model.frames.empty()) return Image(width, height, {0.06f, 0.16f, 0.3f, 1.0f});
    const auto& positions = model.frames[static_cast<size_t>(std::clamp<int>(frame, 0, static_cast<int>(model.frames.size()) - 1))];
    std::vector<SoftVertex> vertices;
    for (size_t i = 0; i < positions.size(); ++i) {
        // The loader's axes: x, z up, -y toward the viewer.
        const P3 p = positions[i];
        SoftVertex v{{p.x, p.z, -p.y}, {0, 0, 1}, model.mesh.uvs[2 * i], model.mesh.uvs[2 * i + 1]};
        vertices.push_back(v);
    }
    std::vector<uint16_t> indices;
    for (uint32_t i : model.mesh.triangles) indices.push_back(static_cast<uint16_t>(i));
    DecodedImage decoded;
    decoded.width = texture.width();
    decoded.height = texture.height();
    decoded.bytesPerPixel = 3;
    decoded.pitch = texture.width() * 3;
    const std::vector<uint8_t> rgb = texture.toRGB8(false);
    decoded.pixels.resize(rgb.size());
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        decoded.pixels[i] = rgb[i + 2];
        decoded.pixels[i + 1] = rgb[i + 1];
        decoded.pixels[i + 2] = rgb[i];
    }
    SoftRenderer r(width * kSuper, height * kSuper, {0.06f, 0.16f, 0.3f, 1.0f});
    r.frame(vertices, yawDegrees, pitchDegrees);
    r.draw(vertices, indices, &decoded, true);
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Colour sum{0, 0, 0, 0};
            for (int j = 0; j < kSuper; ++j)
                for (int i = 0; i < kSuper; ++i) {
                    const Colour& c = r.image().at(x * kSuper + i, y * kSuper + j);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, 1.0f};
                }
            const float k = 1.0f / (kSuper * kSuper);
            out.at(x, y) = {sum.r * k, sum.g * k, sum.b * k, 1.0f};
        }
    return out;
}

}  // namespace reef::tools
