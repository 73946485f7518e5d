#include "tools/ScenePreview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "engine/EngineImports.h"
#include "engine/QModel.h"

namespace reef::tools {
namespace {

using M4 = std::array<float, 16>;  // column-major, as OpenGL
struct V3 {
    float x, y, z;
};

M4 identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }
M4 mul(const M4& a, const M4& b) {
    M4 r{};
    for (int c = 0; c < 4; ++c)
        for (int rr = 0; rr < 4; ++rr) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a[k * 4 + rr] * b[c * 4 + k];
            r[c * 4 + rr] = s;
        }
    return r;
}
M4 translate(float x, float y, float z) {
    M4 m = identity();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}
M4 scale(float x, float y, float z) {
    M4 m = identity();
    m[0] = x, m[5] = y, m[10] = z;
    return m;
}
M4 rotate(float degrees, int axis) {
    const float a = degrees * 0.017453292f, c = std::cos(a), s = std::sin(a);
    M4 m = identity();
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    m[i * 4 + i] = c, m[j * 4 + j] = c, m[i * 4 + j] = s, m[j * 4 + i] = -s;
    return m;
}
V3 apply(const M4& m, V3 p, float w = 1.0f) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] * w, m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] * w,
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] * w};
}
// Scene-object placement: world position with z negated, then Rz * Ry * Rx, then scale.
M4 place(V3 worldPos, V3 angles, V3 scales) {
    M4 m = translate(worldPos.x, worldPos.y, -worldPos.z);
    m = mul(m, rotate(angles.z, 2));
    m = mul(m, rotate(angles.y, 1));
    m = mul(m, rotate(angles.x, 0));
    return mul(m, scale(scales.x, scales.y, scales.z));
}

struct Vert {
    V3 p;      // object space
    V3 n;      // object space normal
    float s, t;
};

struct Options {
    const DecodedImage* tex0 = nullptr;
    const DecodedImage* tex1 = nullptr;  // modulated second texture
    float scaleU0 = 1, scaleV0 = 1, scale1 = 1;
    bool blend = false, fog = false, lit = false, depthTest = true;
};

Colour texel(const DecodedImage* d, float s, float t) {
    if (!d || d->bytesPerPixel < 3) return {1, 1, 1, 1};
    const float fs = s - std::floor(s), ft = t - std::floor(t);
    const int x = std::min(d->width - 1, static_cast<int>(fs * d->width));
    const int y = std::min(d->height - 1, static_cast<int>(ft * d->height));
    const uint8_t* p = d->pixels.data() + static_cast<size_t>(y) * d->pitch + static_cast<size_t>(x) * d->bytesPerPixel;
    return {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, d->bytesPerPixel == 4 ? p[3] / 255.0f : 1.0f};
}

class Raster {
public:
    Raster(int w, int h, float pitch) : m_img(w, h, {0, 0, 0, 1}), m_depth(static_cast<size_t>(w) * h, 1e30f) {
        // gluLookAt from the stored (z-negated) eye (0, 2, 7) toward (0, 0, -1), then the pitch.
        const V3 eye{0, 2, 7}, centre{0, 0, -1};
        V3 f{centre.x - eye.x, centre.y - eye.y, centre.z - eye.z};
        const float fl = std::sqrt(f.x * f.x + f.y * f.y + f.z * f.z);
        f = {f.x / fl, f.y / fl, f.z / fl};
        const float a = -pitch * 0.017453292f;  // negative pitch raises the view
        const V3 s{1, 0, 0};
        V3 fr{f.x, f.y * std::cos(a) - f.z * std::sin(a), f.y * std::sin(a) + f.z * std::cos(a)};
        const V3 u{s.y * fr.z - s.z * fr.y, s.z * fr.x - s.x * fr.z, s.x * fr.y - s.y * fr.x};
        m_view = {s.x, u.x, -fr.x, 0, s.y, u.y, -fr.y, 0, s.z, u.z, -fr.z, 0, 0, 0, 0, 1};
        m_view = mul(m_view, translate(-eye.x, -eye.y, -eye.z));
        m_focal = 1.0f / std::tan(22.5f * 0.017453292f);
        m_aspect = std::min(static_cast<float>(w) / h, 1.35f);
    }

    void draw(const std::vector<Vert>& v, const std::vector<uint32_t>& idx, const M4& model, const Options& o) {
        const M4 mv = mul(m_view, model);
        for (size_t i = 0; i + 2 < idx.size(); i += 3) {
            V3 e[3], sp[3], col[3];
            float st[3][2];
            bool ok = true;
            for (int k = 0; k < 3; ++k) {
                const Vert& vert = v[idx[i + k]];
                e[k] = apply(mv, vert.p);
                if (e[k].z > -0.1f) ok = false;
                const float invW = 1.0f / -e[k].z;
                sp[k] = {(e[k].x * m_focal / m_aspect * invW * 0.5f + 0.5f) * m_img.width(),
                         (0.5f - e[k].y * m_focal * invW * 0.5f) * m_img.height(), invW};
                st[k][0] = vert.s;
                st[k][1] = vert.t;
                col[k] = {1, 1, 1};
                if (o.lit) {
                    // Light 0 at eye (100, -200, 0), ambient 0.16/0.2/0.16 twice, white diffuse.
                    V3 n = apply(mv, vert.n, 0.0f);
                    const float nl = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
                    if (nl > 0) n = {n.x / nl, n.y / nl, n.z / nl};
                    V3 l{100 - e[k].x, -200 - e[k].y, -e[k].z};
                    const float ll = std::sqrt(l.x * l.x + l.y * l.y + l.z * l.z);
                    const float d = std::max(0.0f, (n.x * l.x + n.y * l.y + n.z * l.z) / ll);
                    col[k] = {0.32f + d, 0.4f + d, 0.32f + d};
                }
            }
            if (!ok) continue;
            raster(sp, st, col, o);
        }
    }

    Image& image() { return m_img; }

private:
    void raster(const V3 sp[3], const float st[3][2], const V3 col[3], const Options& o) {
        const float area = (sp[1].x - sp[0].x) * (sp[2].y - sp[0].y) - (sp[2].x - sp[0].x) * (sp[1].y - sp[0].y);
        if (std::fabs(area) < 1e-9f) return;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({sp[0].x, sp[1].x, sp[2].x}))));
        const int x1 = std::min(m_img.width() - 1, static_cast<int>(std::ceil(std::max({sp[0].x, sp[1].x, sp[2].x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({sp[0].y, sp[1].y, sp[2].y}))));
        const int y1 = std::min(m_img.height() - 1, static_cast<int>(std::ceil(std::max({sp[0].y, sp[1].y, sp[2].y}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float w[3];
                w[0] = ((sp[1].x - px) * (sp[2].y - py) - (sp[2].x - px) * (sp[1].y - py)) / area;
                w[1] = ((sp[2].x - px) * (sp[0].y - py) - (sp[0].x - px) * (sp[2].y - py)) / area;
                w[2] = 1 - w[0] - w[1];
                if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
                // Perspective-correct interpolation through 1/w.
                const float iw = w[0] * sp[0].z + w[1] * sp[1].z + w[2] * sp[2].z;
                float b[3];
                for (int k = 0; k < 3; ++k) b[k] = w[k] * sp[k].z / iw;
                const float depth = 1.0f / iw;
                float& zb = m_depth[static_cast<size_t>(y) * m_img.width() + x];
                if (o.depthTest && depth > zb) continue;
                const float s = b[0] * st[0][0] + b[1] * st[1][0] + b[2] * st[2][0];
                const float t = b[0] * st[0][1] + b[1] * st[1][1] + b[2] * st[2][1];
                Colour c = texel(o.tex0, s * o.scaleU0, t * o.scaleV0);
                if (o.tex1) {
                    const Colour c1 = texel(o.tex1, s * o.scale1, t * o.scale1);
                    c = {c.r * c1.r, c.g * c1.g, c.b * c1.b, c.a * c1.a};
                }
                const V3 l{b[0] * col[0].x + b[1] * col[1].x + b[2] * col[2].x,
                           b[0] * col[0].y + b[1] * col[1].y + b[2] * col[2].y,
                           b[0] * col[0].z + b[1] * col[1].z + b[2] * col[2].z};
                c = {c.r * std::min(1.0f, l.x), c.g * std::min(1.0f, l.y), c.b * std::min(1.0f, l.z), c.a};
                if (o.fog) {
                    const float f = std::clamp((50.0f - depth) / 25.0f, 0.0f, 1.0f);
                    c = {c.r * f + 0.121f * (1 - f), c.g * f + 0.590f * (1 - f), c.b * f + 0.707f * (1 - f), c.a};
                }
                Colour& dst = m_img.at(x, y);
                const float a = o.blend ? c.a : 1.0f;
                dst = {c.r * a + dst.r * (1 - a), c.g * a + dst.g * (1 - a), c.b * a + dst.b * (1 - a), 1};
                zb = depth;
            }
    }

    Image m_img;
    std::vector<float> m_depth;
    M4 m_view;
    float m_focal = 1, m_aspect = 1;
};

std::optional<DecodedImage> load(const std::string& dir, const std::string& name) {
    EngineImports* imports = engineImports();
    if (!imports) return std::nullopt;
    auto d = imports->decodeBMP(dir + name);
    if (!d) std::fprintf(stderr, "preview: cannot decode %s\n", name.c_str());
    return d;
}

// A quad of the scenery: texture (repeatU, 0) at the top right, as the scenery draws it.
void quad(Raster& r, float w, float h, const M4& m, Options o) {
    const std::vector<Vert> v = {{{w / 2, h / 2, 0}, {0, 0, 1}, 1, 0},
                                 {{-w / 2, h / 2, 0}, {0, 0, 1}, 0, 0},
                                 {{-w / 2, -h / 2, 0}, {0, 0, 1}, 0, 1},
                                 {{w / 2, -h / 2, 0}, {0, 0, 1}, 1, 1}};
    r.draw(v, {0, 1, 2, 0, 2, 3}, m, o);
}

void model(Raster& r, const std::string& dir, const std::string& file, const DecodedImage* tex, const M4& m, Options o,
           int frame = 0) {
    QModel q;
    if (!q.loadMD3(dir + file, true) || frame >= q.numFrames()) return;
    const auto positions = q.framePositions(frame), normals = q.frameNormals(frame);
    std::vector<Vert> v;
    for (size_t i = 0; i < positions.size(); ++i)
        v.push_back({{positions[i][0], positions[i][1], positions[i][2]},
                     {normals[i][0], normals[i][1], normals[i][2]},
                     q.texCoords()[2 * i], q.texCoords()[2 * i + 1]});
    std::vector<uint32_t> idx(q.indices().begin(), q.indices().end());
    o.tex0 = tex;
    r.draw(v, idx, m, o);
}

}  // namespace

Image ScenePreview::render(const std::string& dir, int width, int height, float pitch) {
    Raster r(width, height, pitch);
    const auto sky = load(dir, "sky_clear_32.tqt"), terrain = load(dir, "terrain.tqt"), caust = load(dir, "caustics64/caust00.tqt");
    const auto rock = load(dir, "models//rock2.tqt"), fader = load(dir, "gwfader.tqt"), palms = load(dir, "models//palmen_bg.tqt");
    const auto water = load(dir, "water.tqt"), blendmap = load(dir, "blendmap.tqt"), highlight = load(dir, "highlight/highlight00044.tqt");
    Options o;
    // Sky: the cloudy dome (sky type 0, the default), a paraboloid cap 300 units below the eye.
    {
        const auto cloudy = load(dir, "sky_cloudy.tqt");
        const int n = 16;
        const float d = 2.0f * std::sqrt(900.0f * 900.0f - 500.0f * 500.0f);
        std::vector<Vert> v;
        std::vector<uint32_t> idx;
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n; ++j) {
                const float x = j * d / n - d / 2, z = i * d / n - d / 2;
                v.push_back({{x, -(x * x / 900.0f + z * z / 900.0f), z}, {0, 1, 0}, static_cast<float>(j) / n, 1.0f - static_cast<float>(i) / n});
            }
        for (int rr = 0; rr < n; ++rr)
            for (int c = 0; c < n; ++c) {
                const uint32_t b = rr * (n + 1) + c;
                idx.insert(idx.end(), {b, b + 1, b + n + 1, b + 1, b + n + 2, b + n + 1});
            }
        o.tex0 = cloudy ? &*cloudy : (sky ? &*sky : nullptr);
        r.draw(v, idx, translate(0, -298 + 500, 7), o);
    }
    o = {};
    o.tex0 = palms ? &*palms : nullptr;
    o.blend = true;
    quad(r, 30, 30, place({24, 15.5f, 58}, {0, 0, 0}, {1, 1, 1}), o);
    // Sea floor: the height field mesh at resolution 50, terrain texture and caustics (scale 5), fog.
    if (auto map = load(dir, "terrain_map.tqt"); map && map->bytesPerPixel == 1) {
        const int n = 50;
        const float stepX = (map->width - 1) / static_cast<float>(n), stepZ = (map->height - 1) / static_cast<float>(n);
        std::vector<Vert> v;
        std::vector<uint32_t> idx;
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) {
                const float px = i * stepX, pz = j * stepZ;
                const int gx = static_cast<int>(px) % map->width, gz = static_cast<int>(pz) % map->height;
                const float y = map->pixels[static_cast<size_t>(gz) * map->pitch + gx] * 0.015f;
                v.push_back({{px * 60.0f / map->width - 30.0f, y, pz * 50.0f / map->height - 50.0f}, {0, 1, 0},
                             px / map->width, pz / map->height});
            }
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const uint32_t a = j * (n + 1) + i;
                idx.insert(idx.end(), {a, a + 1, a + n + 2, a, a + n + 2, a + n + 1});
            }
        o = {};
        o.tex0 = terrain ? &*terrain : nullptr;
        o.tex1 = caust ? &*caust : nullptr;
        o.scale1 = 5;
        o.fog = true;
        // The field's mesh already runs over z = -50..0 in its own frame; the object sits at y = -8.
        r.draw(v, idx, translate(0, -8, 0), o);
    }
    o = {};
    o.blend = true;
    o.tex0 = rock ? &*rock : nullptr;
    quad(r, 10, 12, place({-33.8f, 4, 64}, {0, 30, 0}, {1, 1, 1}), o);
    o.tex0 = fader ? &*fader : nullptr;
    quad(r, 76, 27, place({0, -3.4f, 47}, {-74.8f, 0, 0}, {1, 1, 1}), o);
    // Island group, lit.
    o = {};
    o.blend = true;
    o.lit = true;
    for (const char* part : {"insel", "palmenstaemme", "palmenblaetter"}) {
        const auto tex = load(dir, std::string("models//") + part + ".tqt");
        Options po = o;
        po.depthTest = std::string(part) != "palmenblaetter";
        model(r, dir, std::string("models/") + part + ".tqm", tex ? &*tex : nullptr, place({15, -0.6f, 52}, {0, 0, 0}, {1, 1, 1}), po);
    }
    // Corals as placed, with fog.
    struct Coral {
        const char* name;
        V3 pos, angles, scales;
    };
    const Coral corals[] = {
        {"h", {7, -7.2f, 22}, {0, 0, 10}, {1, 0.5f, 1}},        {"i", {11, -7, 18.4f}, {12, 15, -5}, {1.2f, 1.4f, 1.3f}},
        {"g", {0, -7, 25.2f}, {0, 0, 0}, {1, 1, 1}},            {"f", {-10, -6, 20.2f}, {-30, 40, 25}, {1, 1, 1}},
        {"a", {-2.8f, -5.4f, 20.2f}, {0, 0, 0}, {1, 1, 1}},     {"c", {-8.9f, -6.2f, 19.2f}, {30, -10, 0}, {0.04f, 0.04f, 0.04f}},
        {"d", {-5.6f, -7.4f, 15}, {0, 45, 0}, {0.05f, 0.05f, 0.05f}}, {"d", {-11.6f, -5.6f, 15}, {0, 45, 0}, {0.04f, 0.02f, 0.04f}},
        {"b", {-3.7f, -7.6f, 14.2f}, {-35, -45, 0}, {0.04f, 0.04f, 0.04f}}, {"b", {-5, -7.5f, 13.7f}, {25, -15, 0}, {0.045f, 0.045f, 0.045f}},
        {"b", {-3.4f, -7.6f, 12.8f}, {30, 40, 0}, {0.03f, 0.03f, 0.03f}},
    };
    for (const Coral& c : corals) {
        const auto tex = load(dir, std::string("models//coral_") + c.name + ".tqt");
        Options co;
        co.blend = true;
        co.fog = true;
        if (std::string(c.name) == "h") co.scaleU0 = co.scaleV0 = 3;
        model(r, dir, std::string("models/coral_") + c.name + ".tqm", tex ? &*tex : nullptr, place(c.pos, c.angles, c.scales), co);
    }
    // Water surface (76 x 64 at y = 0, scale U 1.3) and the light pattern above it.
    {
        std::vector<Vert> v = {{{38, 32, 0}, {0, 0, 1}, 1.3f, 0}, {{-38, 32, 0}, {0, 0, 1}, 0, 0},
                               {{-38, -32, 0}, {0, 0, 1}, 0, 1}, {{38, -32, 0}, {0, 0, 1}, 1.3f, 1}};
        o = {};
        o.blend = true;
        o.tex0 = water ? &*water : nullptr;
        r.draw(v, {0, 1, 2, 0, 2, 3}, place({0, 0, 27}, {-90, 0, 0}, {1, 1, 1}), o);
        o.tex0 = blendmap ? &*blendmap : nullptr;
        o.tex1 = highlight ? &*highlight : nullptr;
        o.scale1 = 12;
        quad(r, 50, 40, place({0, 0.2f, 15}, {-90, 0, 0}, {1, 1, 1}), o);
    }
    return r.image();
}

}  // namespace reef::tools
