// reef_contactsheet DATA_FOLDER OUTPUT.png
// (the creature sets go to OUTPUT_sets.png beside OUTPUT.png)
// A montage of every generated texture (sequences at a few frames, alpha over a
// checkerboard) and of every model at two animation frames, loaded through the
// engine's own loaders and drawn by a software rasteriser, with a label per tile.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/EngineImports.h"
#include "engine/FilePath.h"
#include "engine/PngWriter.h"
#include "engine/QModel.h"
#include "engine/WideText.h"
#include "platform/PosixDirectoryLister.h"
#include "platform/SdlEngineImports.h"
#include "scene/ProfileReader.h"
#include "scene/SetCatalog.h"
#include "scene/SetSelection.h"
#include "tools/DataGenerator.h"
#include "tools/SoftRenderer.h"

namespace {

using reef::tools::Colour;
using reef::tools::Image;

constexpr int kTile = 160;
constexpr int kLabel = 16;
constexpr int kColumns = 8;

struct Tile {
    std::string label;
    Image image;
};

Image textureTile(const reef::DecodedImage& d) {
    Image out(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const bool dark = ((x / 10) + (y / 10)) % 2 == 0;
            const Colour check = dark ? Colour{0.35f, 0.35f, 0.38f, 1} : Colour{0.6f, 0.6f, 0.63f, 1};
            const int sx = x * d.width / kTile, sy = y * d.height / kTile;
            const size_t at = static_cast<size_t>(sy) * d.pitch + static_cast<size_t>(sx) * d.bytesPerPixel;
            if (at + d.bytesPerPixel > d.pixels.size()) continue;
            const uint8_t* p = d.pixels.data() + at;
            Colour c;
            if (d.bytesPerPixel == 1) c = {p[0] / 255.0f, p[0] / 255.0f, p[0] / 255.0f, 1};
            else c = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, d.bytesPerPixel == 4 ? p[3] / 255.0f : 1.0f};
            out.at(x, y) = reef::tools::mix(check, c, c.a);
            out.at(x, y).a = 1;
        }
    return out;
}

std::vector<reef::tools::SoftVertex> vertices(const reef::QModel& m, int frame) {
    std::vector<reef::tools::SoftVertex> out;
    if (frame < 0 || frame >= m.numFrames()) return out;
    const auto positions = m.framePositions(frame), normals = m.frameNormals(frame);
    for (size_t i = 0; i < positions.size(); ++i) {
        reef::tools::SoftVertex v{};
        for (int k = 0; k < 3; ++k) {
            v.position[k] = positions[i][k];
            v.normal[k] = normals[i][k];
        }
        v.s = 2 * i + 1 < m.texCoords().size() ? m.texCoords()[2 * i] : 0.0f;
        v.t = 2 * i + 1 < m.texCoords().size() ? m.texCoords()[2 * i + 1] : 0.0f;
        out.push_back(v);
    }
    return out;
}

class Labeller {
public:
    Labeller() {
        if (FT_Init_FreeType(&m_library) == 0 &&
            FT_New_Face(m_library, reef::tools::kDefaultFontPath, 0, &m_face) == 0)
            FT_Set_Pixel_Sizes(m_face, 0, 11);
    }
    ~Labeller() {
        if (m_face) FT_Done_Face(m_face);
        if (m_library) FT_Done_FreeType(m_library);
    }
    void draw(Image& img, int x, int baseline, const std::string& text) const {
        if (!m_face) return;
        for (char ch : text) {
            if (FT_Load_Char(m_face, static_cast<unsigned char>(ch), FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot g = m_face->glyph;
            for (unsigned r = 0; r < g->bitmap.rows; ++r)
                for (unsigned c = 0; c < g->bitmap.width; ++c) {
                    const float a = g->bitmap.buffer[r * std::abs(g->bitmap.pitch) + c] / 255.0f;
                    img.blend(x + g->bitmap_left + static_cast<int>(c), baseline - g->bitmap_top + static_cast<int>(r),
                              {1, 1, 1, 1}, a);
                }
            x += static_cast<int>(g->advance.x >> 6);
        }
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER OUTPUT.png\n", argv[0]);
        return 2;
    }
    std::string data = argv[1];
    if (!data.empty() && data.back() != '/') data += '/';
    reef::SdlEngineImports imports;
    reef::setEngineImports(&imports);

    std::vector<Tile> tiles;
    const auto texture = [&](const std::string& name) {
        auto d = imports.decodeBMP(data + name);
        if (!d) {
            std::fprintf(stderr, "cannot decode %s\n", name.c_str());
            return;
        }
        tiles.push_back({name + " " + std::to_string(d->width) + "x" + std::to_string(d->height), textureTile(*d)});
    };
    for (const char* name : {"sky_cloudy.tqt", "sky_clear_32.tqt", "terrain.tqt", "terrain_map.tqt", "water.tqt",
                             "gwfader.tqt", "blendmap.tqt", "models/rock2.tqt", "models/palmen_bg.tqt",
                             "models/gull.tqt", "models/manta.tqt", "models/coral_a.tqt", "models/coral_b.tqt",
                             "models/coral_c.tqt", "models/coral_d.tqt", "models/coral_f.tqt", "models/coral_g.tqt",
                             "models/coral_h.tqt", "models/coral_i.tqt", "models/reeffishes/anglefish.tqt",
                             "models/reeffishes/silverfish.tqt", "models/insel.tqt", "models/palmenstaemme.tqt",
                             "models/palmenblaetter.tqt", "icon.bmp", "gull_icon.bmp", "intro.bmp"})
        texture(name);
    char name[64];
    for (int f : {0, 16, 31}) {
        std::snprintf(name, sizeof name, "caustics64/caust%.2d.tqt", f);
        texture(name);
        std::snprintf(name, sizeof name, "causticsfish32/caust%.2d.tqt", f);
        texture(name);
        std::snprintf(name, sizeof name, "highlight/highlight%.5d.tqt", 44 + f);
        texture(name);
    }

    struct ModelEntry {
        const char* model;
        const char* texture;
        float yaw, pitch;
    };
    const ModelEntry models[] = {
        {"models/coral_a.tqm", "models/coral_a.tqt", 25, 15},   {"models/coral_b.tqm", "models/coral_b.tqt", 15, 10},
        {"models/coral_c.tqm", "models/coral_c.tqt", 25, 25},   {"models/coral_d.tqm", "models/coral_d.tqt", 25, 25},
        {"models/coral_f.tqm", "models/coral_f.tqt", 25, 15},   {"models/coral_g.tqm", "models/coral_g.tqt", 25, 25},
        {"models/coral_h.tqm", "models/coral_h.tqt", 25, 35},   {"models/coral_i.tqm", "models/coral_i.tqt", 25, 10},
        {"models/gull.tqm", "models/gull.tqt", 30, 35},         {"models/insel.tqm", "models/insel.tqt", 15, 20},
        {"models/palmenstaemme.tqm", "models/palmenstaemme.tqt", 15, 10},
        {"models/palmenblaetter.tqm", "models/palmenblaetter.tqt", 15, 30},
        {"models/reeffishes/rfish.tqm", "models/reeffishes/anglefish.tqt", 80, 10},
        {"models/reeffishes/silverfish.tqm", "models/reeffishes/silverfish.tqt", 80, 10},
    };
    for (const ModelEntry& e : models) {
        reef::QModel model;
        if (!model.loadMD3(data + e.model, true)) continue;
        const auto tex = imports.decodeBMP(data + e.texture);
        const int frames = model.numFrames();
        for (int tile = 0; tile < 2; ++tile) {
            int f = tile == 0 ? 0 : frames / 2;
            if (f == 0 && frames > 1 && std::string(e.model).find("gull") != std::string::npos) f = 5;
            reef::tools::SoftRenderer r(kTile, kTile, {0.12f, 0.3f, 0.4f, 1});
            const auto v = vertices(model, f);
            r.frame(v, e.yaw, e.pitch);
            // The second frame is drawn unlit, as the scene draws its corals and the gull.
            const bool lit = tile == 0;
            r.draw(v, model.indices(), tex ? &*tex : nullptr, lit);
            std::string label = std::string(e.model).substr(std::string(e.model).find_last_of('/') + 1);
            label += " f" + std::to_string(f) + "/" + std::to_string(frames) + (lit ? " " : " unlit ") +
                     std::to_string(model.triangleCount()) + "t";
            tiles.push_back({label, r.image()});
        }
    }
    // The island group together, as the scene places it.
    {
        reef::QModel parts[3];
        const char* names[3][2] = {{"models/insel.tqm", "models/insel.tqt"},
                                   {"models/palmenstaemme.tqm", "models/palmenstaemme.tqt"},
                                   {"models/palmenblaetter.tqm", "models/palmenblaetter.tqt"}};
        std::vector<reef::tools::SoftVertex> all;
        for (int i = 0; i < 3; ++i) {
            parts[i].loadMD3(data + names[i][0], true);
            const auto v = vertices(parts[i], 0);
            all.insert(all.end(), v.begin(), v.end());
        }
        reef::tools::SoftRenderer r(kTile * 2, kTile, {0.55f, 0.75f, 0.95f, 1});
        r.frame(all, 0, 8);
        for (int i = 0; i < 3; ++i) {
            const auto tex = imports.decodeBMP(data + names[i][1]);
            r.draw(vertices(parts[i], 0), parts[i].indices(), tex ? &*tex : nullptr, true);
        }
        Image left(kTile, kTile), right(kTile, kTile);
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                left.at(x, y) = r.image().at(x, y);
                right.at(x, y) = r.image().at(x + kTile, y);
            }
        tiles.push_back({"island group", left});
        tiles.push_back({"", right});
    }

    // The creature sets as the scene reads them, on a sheet of their own beside the
    // first: each model (and sub-model) at two frames of its range (the resting
    // turtle in each of its three phases), then every set's icon at four times its size.
    std::vector<Tile> setTiles;
    {
        reef::SetSelection selection;
        reef::PosixDirectoryLister lister;
        reef::SetCatalog catalog(selection, lister);
        catalog.scanSets(data);
        std::vector<Tile> icons;
        const auto modelTiles = [&](const std::u16string& modelPath, const std::u16string& texturePath, int first, int last,
                                    bool fishView, const std::string& name, std::vector<int> frames) {
            reef::QModel model;
            if (!model.loadMD3(reef::nativePath(reef::toUtf8(modelPath)), true)) return;
            const auto tex = imports.decodeBMP(reef::nativePath(reef::toUtf8(texturePath)));
            if (frames.empty()) frames = {first, (first + last + 1) / 2};
            for (int f : frames) {
                reef::tools::SoftRenderer r(kTile, kTile, {0.12f, 0.3f, 0.4f, 1});
                const auto v = vertices(model, f);
                r.frame(v, fishView ? 75.0f : 30.0f, fishView ? 12.0f : 30.0f);
                r.draw(v, model.indices(), tex ? &*tex : nullptr, true);
                setTiles.push_back({name + " f" + std::to_string(f) + "/" + std::to_string(model.numFrames()) + " " +
                                     std::to_string(model.triangleCount()) + "t",
                                 r.image()});
            }
        };
        for (size_t i = 0; i < catalog.size(); ++i) {
            const reef::SetDescriptor& set = catalog.at(i);
            const std::string id = reef::toUtf8(set.id), type = reef::toUtf8(set.type);
            const bool fishView = type == "boid" || type == "singlefish" || type == "hunter" || type == "bigfish";
            modelTiles(set.modelPath, set.texturePath, set.animationStart, set.animationEnd, fishView, id,
                       type == "turtle" ? std::vector<int>{0, 70, 112, 190} : std::vector<int>{});
            for (const auto& sub : set.subSets)
                modelTiles(sub->modelPath, sub->texturePath, sub->animationStart, sub->animationEnd, fishView, id + "+",
                           {});
            // The icon named by the descriptor, enlarged without smoothing.
            const std::u16string folder = set.modelPath.substr(0, set.modelPath.find_last_of(u'\\') + 1);
            reef::ProfileReader reader;
            reader.open(reef::nativePath(reef::toUtf8(folder + u"info.ini")));
            std::u16string iconName;
            reader.getString(u"settings", u"icon", iconName);
            const auto icon = imports.decodeBMP(reef::nativePath(reef::toUtf8(folder + iconName)));
            if (!icon) continue;
            Image tile = textureTile(*icon);
            Image big(kTile, kTile, {0.08f, 0.08f, 0.1f, 1});
            const int w = std::min(icon->width * 4, kTile), h = std::min(icon->height * 4, kTile);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    big.at(x + (kTile - w) / 2, y + (kTile - h) / 2) =
                        tile.at(x * kTile / (icon->width * 4), y * kTile / (icon->height * 4));
            icons.push_back({"icon " + id, big});
        }
        setTiles.insert(setTiles.end(), icons.begin(), icons.end());
    }

    const Labeller labels;
    const auto writeSheet = [&](const std::vector<Tile>& all, const std::string& path) {
        const int rows = (static_cast<int>(all.size()) + kColumns - 1) / kColumns;
        Image sheet(kColumns * kTile, std::max(rows, 1) * (kTile + kLabel), {0.08f, 0.08f, 0.1f, 1});
        for (size_t i = 0; i < all.size(); ++i) {
            const int ox = static_cast<int>(i % kColumns) * kTile, oy = static_cast<int>(i / kColumns) * (kTile + kLabel);
            for (int y = 0; y < kTile; ++y)
                for (int x = 0; x < kTile; ++x) sheet.at(ox + x, oy + y) = all[i].image.at(x, y);
            labels.draw(sheet, ox + 3, oy + kTile + 12, all[i].label);
        }
        const std::vector<uint8_t> rgb = sheet.toRGB8(false);
        if (reef::writePNG(path, sheet.width(), sheet.height(), 3, rgb.data(), false)) return true;
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    };
    if (!writeSheet(tiles, argv[2])) return 1;
    std::string setsPath = argv[2];
    const size_t dot = setsPath.rfind(".png");
    setsPath = (dot == std::string::npos ? setsPath : setsPath.substr(0, dot)) + "_sets.png";
    if (!writeSheet(setTiles, setsPath)) return 1;
    std::printf("creature sets: %zu tiles in %s\n", setTiles.size(), setsPath.c_str());
    std::printf("contact sheet: %zu tiles in %s\n", tiles.size(), argv[2]);
    return 0;
}
