// The creature sets of the generated data folder, read the way the saver reads
// them: the set catalog over the real folder listing, the engine's texture and
// model loaders, and the height field for where the resting animals sit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "engine/FilePath.h"
#include "engine/HeightField.h"
#include "engine/QModel.h"
#include "engine/Texture.h"
#include "engine/WideText.h"
#include "platform/PosixDirectoryLister.h"
#include "platform/SdlEngineImports.h"
#include "scene/ProfileReader.h"
#include "scene/SetCatalog.h"
#include "scene/SetSelection.h"
#include "scene/SetValue.h"
#include "tests/tools/GeneratedDataFolder.h"
#include "testsupport/GlTestContext.h"
#include "tools/CreatureModels.h"
#include "tools/CreatureSetGenerator.h"

namespace reef::tools {
namespace {

std::string narrow(const std::u16string& s) { return toUtf8(s); }
std::string path(const std::u16string& s) { return nativePath(toUtf8(s)); }

// The set folder (data folder relative, "/" separated) a descriptor was read from.
std::string setFolder(const SetDescriptor& set) {
    std::string p = path(set.modelPath);
    p = p.substr(0, p.find_last_of('/'));
    return p.substr(dataDir().size());
}

bool isFish(const SetDescriptor& set) {
    const std::string t = narrow(set.type);
    return t == "boid" || t == "singlefish" || t == "hunter" || t == "bigfish";
}

class CreatureSets : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dataDir().empty()) << "REEF_DATA_DIR is not set";
        ASSERT_TRUE(std::filesystem::is_directory(dataDir() + "sets")) << "build reef_data first";
        m_catalog.scanSets(dataDir());
        ASSERT_FALSE(m_catalog.empty());
        setEngineImports(&m_sdl);
    }
    void TearDown() override { setEngineImports(nullptr); }

    const SetDescriptor* byId(const std::string& id) const {
        for (const auto& s : m_catalog.sets())
            if (narrow(s->id) == id) return s.get();
        return nullptr;
    }
    // The set's model as the scene loads it (with the set's lighting).
    void load(QModel& model, const std::u16string& modelPath, bool lighting) {
        ASSERT_TRUE(model.loadMD3(path(modelPath), lighting)) << path(modelPath);
    }

    SetSelection m_selection;
    PosixDirectoryLister m_lister;
    SetCatalog m_catalog{m_selection, m_lister};
    SdlEngineImports m_sdl;
};

TEST_F(CreatureSets, CatalogHasEveryTypeAndCategoryWithUniqueIdsInTheFoldersThePagesScan) {
    std::map<std::string, int> types, categories;
    std::set<std::string> ids;
    int additional = 0;
    std::vector<std::string> animalsInPageOrder[2];  // default_diverse, then additional
    for (const auto& s : m_catalog.sets()) {
        const std::string id = narrow(s->id), category = narrow(s->category), folder = setFolder(*s);
        SCOPED_TRACE(folder);
        EXPECT_FALSE(id.empty());
        EXPECT_TRUE(ids.insert(id).second) << "duplicate id " << id;
        ++types[narrow(s->type)];
        ++categories[category];
        EXPECT_EQ(m_selection.isSetEnabled(s->id), 1);  // a fresh install starts with every set on
        const bool inFish = folder.rfind("sets/default_fish/", 0) == 0, inDiverse = folder.rfind("sets/default_diverse/", 0) == 0;
        additional += folder.rfind("sets/additional/", 0) == 0;
        // The fish and boid pages list default_fish and additional, the animals and
        // diverse pages default_diverse and additional: every set must be on its page.
        if (category == "fish" || category == "boid") EXPECT_FALSE(inDiverse);
        else EXPECT_FALSE(inFish);
        if (category == "animal") animalsInPageOrder[inDiverse ? 0 : 1].push_back(id);
        // The set pages show each set by name, in English and in German (the
        // turtle's descriptor is UTF-16, so its umlaut must survive the encoding).
        ProfileReader descriptor;
        descriptor.open(dataDir() + folder + "/info.ini");
        std::u16string english, german;
        descriptor.getString(u"common", u"name", english, 128);
        descriptor.getString(u"common", u"name_ger", german, 128);
        EXPECT_FALSE(english.empty());
        EXPECT_FALSE(german.empty());
        if (id == "seaturtle") {
            EXPECT_EQ(german, u"Gr\u00fcne Meeresschildkr\u00f6te");
        }
    }
    for (const char* t : {"boid", "manta", "turtle", "statictimed", "hunter", "bigfish", "singlefish"})
        EXPECT_GE(types[t], 1) << t;
    EXPECT_GE(types["boid"], 2);
    EXPECT_GE(types["singlefish"], 6);
    EXPECT_EQ(types["hunter"], 1);
    EXPECT_EQ(types["bigfish"], 2);
    EXPECT_GE(types["statictimed"], 2);
    for (const char* c : {"boid", "fish", "animal", "diverse"}) EXPECT_GE(categories[c], 1) << c;
    EXPECT_GE(additional, 1);

    // The scene builds the first animal set in catalog order; the animals page picks
    // the last one it lists on a fresh install: both must be the turtle.
    std::string firstAnimal, firstStatic;
    for (const auto& s : m_catalog.sets()) {
        if (narrow(s->category) == "animal" && firstAnimal.empty()) firstAnimal = narrow(s->type);
        if (narrow(s->type) == "statictimed" && narrow(s->category) != "animal") firstStatic = narrow(s->id);
    }
    EXPECT_EQ(firstAnimal, "turtle");
    EXPECT_FALSE(firstStatic.empty()) << "a timed prop must show beside the turtle";
    std::vector<std::string> pageOrder = animalsInPageOrder[0];
    pageOrder.insert(pageOrder.end(), animalsInPageOrder[1].begin(), animalsInPageOrder[1].end());
    ASSERT_GE(pageOrder.size(), 2u);
    EXPECT_EQ(narrow(byId(pageOrder.back())->type), "turtle");
    // The school's leader takes the first boid set; it must be a real school fish.
    for (const auto& s : m_catalog.sets())
        if (narrow(s->type) == "boid") {
            EXPECT_EQ(narrow(s->id), "silverside");
            break;
        }
}

TEST_F(CreatureSets, TexturesModelsAndIconsLoadAndEveryAnimationRangeFits) {
    test::GlTestContext gl;
    if (!gl.valid()) GTEST_SKIP() << gl.error();
    for (const auto& s : m_catalog.sets()) {
        SCOPED_TRACE(setFolder(*s));
        struct Part {
            const std::u16string *texture, *model;
            int first, last;
            float scale;
        };
        std::vector<Part> parts = {{&s->texturePath, &s->modelPath, s->animationStart, s->animationEnd, s->scale}};
        for (const auto& sub : s->subSets)
            parts.push_back({&sub->texturePath, &sub->modelPath, sub->animationStart, sub->animationEnd, sub->scale});
        for (const Part& p : parts) {
            Texture texture;
            EXPECT_TRUE(texture.loadBMP(path(*p.texture), Texture::kSceneDefault)) << path(*p.texture);
            const auto decoded = m_sdl.decodeBMP(path(*p.texture));
            ASSERT_TRUE(decoded.has_value());
            EXPECT_EQ(decoded->width & (decoded->width - 1), 0);
            EXPECT_EQ(decoded->height & (decoded->height - 1), 0);
            texture.release();
            QModel model;
            load(model, *p.model, s->lighting);
            EXPECT_GT(p.scale, 0.0f);
            EXPECT_GE(p.first, 0);
            EXPECT_LE(p.first, p.last);
            EXPECT_LT(p.last, model.numFrames());
            if (isFish(*s)) {
                EXPECT_LE(model.triangleCount(), 600);
            }
            if (s->lighting) {
                for (int f = 0; f < model.numFrames(); ++f)
                    for (const auto& n : model.frameNormals(f)) ASSERT_NEAR(std::hypot(n[0], n[1], n[2]), 1.0f, 1e-3f);
            }
        }
        // The turtle's three phases lie inside its model; its swimmer has a range of its own.
        if (narrow(s->type) == "turtle") {
            QModel model;
            load(model, s->modelPath, s->lighting);
            EXPECT_GE(model.numFrames(), kTurtleFrames);
            ASSERT_FALSE(s->subSets.empty());
            EXPECT_GT(s->subSets[0]->animationEnd, s->subSets[0]->animationStart);
        }
        // The icon the set pages show: a small picture.
        std::string icon = path(s->modelPath);
        icon = icon.substr(0, icon.find_last_of('/') + 1) + "icon.bmp";
        const auto d = m_sdl.decodeBMP(icon);
        ASSERT_TRUE(d.has_value()) << icon;
        EXPECT_LE(d->width, 64);
        EXPECT_LE(d->height, 64);
        EXPECT_GE(d->width, 16);
    }
}

// Largest sideways (x) swing of the vertices in a slice of the model along its
// length (loader z), over all frames of the range.
float swing(const QModel& m, int first, int last, float fromZ, float toZ) {
    const auto rest = m.framePositions(first);
    float worst = 0.0f;
    for (int f = first; f <= last; ++f) {
        const auto v = m.framePositions(f);
        for (size_t i = 0; i < v.size(); ++i)
            if (rest[i][2] >= fromZ && rest[i][2] <= toZ) worst = std::max(worst, std::fabs(v[i][0] - rest[i][0]));
    }
    return worst;
}

TEST_F(CreatureSets, FishSwimNoseFirstWithSeamlessCyclesAndTheirSizes) {
    // World length (largest extent) each set is drawn at.
    const std::map<std::string, std::pair<float, float>> sizes = {
        {"silverside", {0.45f, 0.75f}},     {"fusilier", {0.5f, 0.8f}},        {"clownfish", {0.55f, 0.85f}},
        {"yellowtang", {0.5f, 0.8f}},       {"emperorangelfish", {0.55f, 0.85f}}, {"butterflyfish", {0.45f, 0.75f}},
        {"parrotfish", {0.6f, 0.95f}},      {"coralgrouper", {0.7f, 1.05f}},    {"greyreefshark", {2.0f, 3.0f}},
        {"napoleonwrasse", {1.5f, 2.5f}},   {"whaleshark", {5.0f, 7.0f}},       {"manta", {3.0f, 4.2f}},
        {"seaturtle", {1.0f, 1.6f}},  // flippers spread
    };
    int checked = 0;
    for (const auto& s : m_catalog.sets()) {
        SCOPED_TRACE(setFolder(*s));
        QModel m;
        const std::u16string& modelPath = narrow(s->type) == "turtle" ? s->subSets.at(0)->modelPath : s->modelPath;
        load(m, modelPath, s->lighting);
        const int first = narrow(s->type) == "turtle" ? s->subSets[0]->animationStart : s->animationStart;
        const int last = narrow(s->type) == "turtle" ? s->subSets[0]->animationEnd : s->animationEnd;
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (const auto& p : m.framePositions(first))
            for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
        const auto size = sizes.find(narrow(s->id));
        if (size != sizes.end()) {
            const float extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]}) * s->scale;
            EXPECT_GE(extent, size->second.first);
            EXPECT_LE(extent, size->second.second);
            ++checked;
        }
        // Seamless: the step from the last frame back to the first is like the others.
        const auto step = [&](int a, int b) {
            float worst = 0;
            const auto fa = m.framePositions(a);
            const auto fb = m.framePositions(b);
            for (size_t i = 0; i < fa.size(); ++i)
                for (int k = 0; k < 3; ++k) worst = std::max(worst, std::fabs(fa[i][k] - fb[i][k]));
            return worst;
        };
        if (narrow(s->type) != "statictimed") {
            float largest = 0;
            for (int f = first; f < last; ++f) largest = std::max(largest, step(f, f + 1));
            EXPECT_GT(largest, 0.0f) << "does not move";
            EXPECT_LE(step(last, first), largest * 1.25f + 1e-4f);
        }
        if (!isFish(*s)) continue;
        // Nose first: the model's file +y is the loader's -z, the direction of travel.
        // The tail end beats; the head end barely moves.
        const float length = hi[2] - lo[2];
        const float head = swing(m, first, last, lo[2], lo[2] + 0.15f * length);
        const float tail = swing(m, first, last, hi[2] - 0.15f * length, hi[2]);
        EXPECT_GT(tail, head * 3.0f) << "the fish swims tail first";
        EXPECT_GT(length, hi[0] - lo[0]) << "the body does not lie along its heading";
    }
    EXPECT_EQ(checked, static_cast<int>(sizes.size()));
}

// The sea floor as the scene draws it from the generated height map.
class Floor {
public:
    explicit Floor(const std::string& mapPath) {
        m_ok = m_field.loadHeightMap(mapPath);
        m_field.setResolution(50);
        m_field.setHeightScale(0.015f);
        m_field.setSize(60.0f, 50.0f);
    }
    bool ok() const { return m_ok; }
    float at(float x, float z) const {
        const float upx = 60.0f / m_field.imageWidth(), upz = 50.0f / m_field.imageHeight();
        const auto vertexY = [&](int i, int j) {
            return -8.0f + m_field.heightAt(static_cast<int>(i * m_field.stepX()), static_cast<int>(j * m_field.stepZ())) * 0.015f;
        };
        const float gi = (x + 30.0f) / (m_field.stepX() * upx), gj = (50.0f - z) / (m_field.stepZ() * upz);
        const int i = static_cast<int>(gi), j = static_cast<int>(gj);
        const float fi = gi - i, fj = gj - j;
        return (vertexY(i, j) * (1 - fi) + vertexY(i + 1, j) * fi) * (1 - fj) +
               (vertexY(i, j + 1) * (1 - fi) + vertexY(i + 1, j + 1) * fi) * fj;
    }

private:
    HeightField m_field;
    bool m_ok = false;
};

TEST_F(CreatureSets, RestingAnimalsSitOnTheFloorInViewAndTheRoutesClearIt) {
    const Floor floor(dataDir() + "terrain_map.tqt");
    ASSERT_TRUE(floor.ok());
    // The eye is at (0, 2, -7), looking at (0, 0, 1) with a 45 degree field of view.
    const auto inView = [](Vec3 p) {
        const float d = p.z + 7.0f;
        const float below = std::atan2(2.0f - p.y, d) * 57.2958f;
        return d > 3.0f && below > -8.0f && below < 35.0f && std::fabs(p.x) < d * 0.5f;
    };
    int placed = 0;
    for (const auto& s : m_catalog.sets()) {
        const std::string type = narrow(s->type);
        if (type != "turtle" && type != "statictimed") continue;
        SCOPED_TRACE(setFolder(*s));
        ASSERT_FALSE(s->values.empty());
        const Vec3 p = valueToVector(s->values[0]);
        EXPECT_NEAR(p.y, floor.at(p.x, p.z), 0.08f);
        EXPECT_TRUE(inView(p));
        if (type == "statictimed") {
            ASSERT_GE(s->values.size(), 5u);
            EXPECT_GT(valueToInt(s->values[3]), valueToInt(s->values[2]));
            EXPECT_GT(valueToInt(s->values[2]), 0);
        }
        ++placed;
        if (type != "turtle") continue;
        // Sitting (frame 100, where moving in ends and moving out starts), the
        // plastron and flippers touch the sand, neither floating nor sunk.
        QModel m;
        load(m, s->modelPath, s->lighting);
        float low = 1e9f, far = 0.0f;
        for (const auto& p : m.framePositions(100)) low = std::min(low, p[1] * s->scale);
        EXPECT_GT(low, -0.08f);
        EXPECT_LT(low, 0.05f);
        for (int f : {0, 230}) {
            float cx = 0, cz = 0;
            for (const auto& p : m.framePositions(f)) cx += p[0], cz += p[2];
            far = std::max(far, std::hypot(cx, cz) / static_cast<float>(m.vertexCount()) * s->scale);
        }
        EXPECT_GT(far, 8.0f) << "arrives from and leaves to out of sight";
        // Moving out starts from the sitting pose, without a jump.
        float jump = 0;
        const auto sitting = m.framePositions(100), leaving = m.framePositions(127);
        for (size_t i = 0; i < sitting.size(); ++i)
            for (int k = 0; k < 3; ++k) jump = std::max(jump, std::fabs(sitting[i][k] - leaving[i][k]));
        EXPECT_LT(jump * s->scale, 0.05f);
    }
    EXPECT_GE(placed, 3);

    // Big fish swim the route at y = -6: where it is in sight, their lowest point
    // stays above the floor (the route's far end runs into the rising floor off-screen).
    const Vec3 route[] = {{24, -6, 32}, {10, -6, 27}, {4, -6, 20}, {0, -6, 14}, {-2, -6, 9}, {-11, -6, 1}};
    for (const auto& s : m_catalog.sets()) {
        if (narrow(s->type) != "bigfish") continue;
        SCOPED_TRACE(setFolder(*s));
        QModel m;
        load(m, s->modelPath, s->lighting);
        float low = 0;
        int inSight = 0;
        for (int f = 0; f < m.numFrames(); ++f)
            for (const auto& p : m.framePositions(f)) low = std::min(low, p[1] * s->scale);
        for (size_t k = 0; k + 1 < std::size(route); ++k)
            for (float t = 0; t <= 1.0f; t += 0.1f) {
                const float x = route[k].x + (route[k + 1].x - route[k].x) * t, z = route[k].z + (route[k + 1].z - route[k].z) * t;
                if (!inView(Vec3{x, -6.0f, z})) continue;
                ++inSight;
                EXPECT_GT(-6.0f + low, floor.at(x, z)) << "at " << x << "," << z;
            }
        EXPECT_GT(inSight, 20);
    }
    // The manta's pass: from far right to far left at a depth among the fish.
    const SetDescriptor* manta = nullptr;
    for (const auto& s : m_catalog.sets())
        if (narrow(s->type) == "manta") manta = s.get();
    ASSERT_NE(manta, nullptr);
    ASSERT_GE(manta->values.size(), 4u);
    const Vec3 a = valueToVector(manta->values[0]), b = valueToVector(manta->values[1]);
    EXPECT_LT(std::min(a.x, b.x), -15.0f);
    EXPECT_GT(std::max(a.x, b.x), 15.0f);
    EXPECT_GT(b.y - 1.0f, 0.5f);  // the path's y is -(b.y -+ 1): below the surface
    EXPECT_LT(b.y + 1.0f, 5.0f);  // and above the floor
    EXPECT_GT(manta->trackSpeed, 0.0f);
    EXPECT_GT(manta->rollFactor, 0.0f);
    EXPECT_GT(valueToInt(manta->values[3]), valueToInt(manta->values[2]));
}

// How many pixels a model covers on a 1920 x 1080 screen seen from `distance` world
// units away, from the side it shows most of (the axis of its smallest extent is
// the line of sight): its triangles, scaled, are filled into a one-pixel grid.
int silhouettePixels(const QModel& m, int frame, float scale, float distance) {
    // The saver's projection: a 45 degree vertical field of view over 1080 rows.
    const float pixelsPerUnit = 540.0f / std::tan(22.5f * 3.1415927f / 180.0f) * scale / distance;
    const auto v = m.framePositions(frame);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const auto& x : v)
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], x[k]), hi[k] = std::max(hi[k], x[k]);
    int sight = 0;
    for (int k = 1; k < 3; ++k)
        if (hi[k] - lo[k] < hi[sight] - lo[sight]) sight = k;
    const int a = (sight + 1) % 3, b = (sight + 2) % 3;
    const int w = static_cast<int>(std::ceil((hi[a] - lo[a]) * pixelsPerUnit)) + 1;
    const int h = static_cast<int>(std::ceil((hi[b] - lo[b]) * pixelsPerUnit)) + 1;
    std::vector<char> covered(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    const auto px = [&](int i) { return (v[static_cast<size_t>(i)][a] - lo[a]) * pixelsPerUnit; };
    const auto py = [&](int i) { return (v[static_cast<size_t>(i)][b] - lo[b]) * pixelsPerUnit; };
    const auto& idx = m.indices();
    for (size_t t = 0; t + 2 < idx.size(); t += 3) {
        const int i0 = idx[t], i1 = idx[t + 1], i2 = idx[t + 2];
        const float x0 = px(i0), y0 = py(i0), x1 = px(i1), y1 = py(i1), x2 = px(i2), y2 = py(i2);
        const float area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
        if (std::fabs(area) < 1e-9f) continue;
        const int xa = static_cast<int>(std::floor(std::min({x0, x1, x2}))), xb = static_cast<int>(std::ceil(std::max({x0, x1, x2})));
        const int ya = static_cast<int>(std::floor(std::min({y0, y1, y2}))), yb = static_cast<int>(std::ceil(std::max({y0, y1, y2})));
        for (int y = std::max(ya, 0); y < std::min(yb, h); ++y)
            for (int x = std::max(xa, 0); x < std::min(xb, w); ++x) {
                // The pixel's centre inside the triangle (either winding).
                const float cx = x + 0.5f, cy = y + 0.5f;
                const float e0 = ((x1 - x0) * (cy - y0) - (cx - x0) * (y1 - y0)) / area;
                const float e1 = ((x2 - x1) * (cy - y1) - (cx - x1) * (y2 - y1)) / area;
                const float e2 = ((x0 - x2) * (cy - y2) - (cx - x2) * (y0 - y2)) / area;
                if (e0 >= 0 && e1 >= 0 && e2 >= 0) covered[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = 1;
            }
    }
    return static_cast<int>(std::count(covered.begin(), covered.end(), 1));
}

// Where a creature of each set usually is: the middle of the area the scene
// places that kind in, or the set's own place.
Vec3 typicalPlace(const SetDescriptor& s) {
    const std::string type = narrow(s.type);
    if (type == "boid") return {-0.5f, -3.5f, 10.0f};       // the school's leader starts in x -4..3, z 3..17
    if (type == "singlefish") return {0.25f, -2.4f, 12.0f};  // x -5.5..6, y -3..-1.8, z 3..21
    if (type == "hunter") return {-2.5f, -4.2f, 10.0f};      // x -4..-1, z 3..17
    if (type == "bigfish") return {4.0f, -6.0f, 20.0f};      // the middle of the big fish's route
    if (type == "manta") {
        const Vec3 a = valueToVector(s.values.at(0)), b = valueToVector(s.values.at(1));
        return {(a.x + b.x) * 0.5f, -(a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};  // the pass's y is below the surface
    }
    return valueToVector(s.values.at(0));  // resting and timed animals sit where their set puts them
}

TEST_F(CreatureSets, EveryCreatureCoversAFewHundredPixelsAtFullHdWhereItUsuallySwims) {
    const Vec3 eye{0.0f, 2.0f, -7.0f};
    int checked = 0;
    for (const auto& s : m_catalog.sets()) {
        const std::string type = narrow(s->type);
        if (type.empty()) continue;
        SCOPED_TRACE(setFolder(*s));
        QModel m;
        load(m, s->modelPath, s->lighting);
        const Vec3 p = typicalPlace(*s);
        const float distance = std::sqrt((p.x - eye.x) * (p.x - eye.x) + (p.y - eye.y) * (p.y - eye.y) + (p.z - eye.z) * (p.z - eye.z));
        // The pose a set is seen in most: a fish mid-stroke, a timed prop at rest.
        const int frame = type == "statictimed" ? s->animationStart : (s->animationStart + s->animationEnd) / 2;
        const int pixels = silhouettePixels(m, frame, s->scale, distance);
        // A school fish may be smaller than a reef fish: it is seen as one of many.
        const int least = type == "boid" ? 150 : 300;
        EXPECT_GE(pixels, least) << narrow(s->id) << " at " << distance << " units covers " << pixels << " pixels";
        ++checked;
    }
    EXPECT_GE(checked, 15);
}

// The meshes before they are written: the file's 16-bit grid cannot hold a NaN or
// an infinity, so a bad vertex must be caught here.
TEST(CreatureSetMeshes, EveryVertexOfEveryFrameIsFiniteAndFitsTheFileGrid) {
    for (const CreatureSet& set : CreatureSetGenerator::buildAll()) {
        SCOPED_TRACE(set.folder);
        EXPECT_FALSE(set.models.empty());
        for (const CreatureModelFile& m : set.models) {
            ASSERT_FALSE(m.model.frames.empty()) << m.name;
            for (const auto& frame : m.model.frames) {
                ASSERT_EQ(frame.size(), m.model.mesh.positions.size()) << m.name;
                for (const P3& p : frame)
                    for (float c : {p.x, p.y, p.z}) {
                        ASSERT_TRUE(std::isfinite(c)) << m.name;
                        ASSERT_LT(std::fabs(c) * 64.0f, 32767.0f) << m.name;
                    }
            }
            for (float st : m.model.mesh.uvs) ASSERT_TRUE(std::isfinite(st)) << m.name;
        }
        EXPECT_EQ(set.icon.width(), CreatureSetGenerator::kIconWidth);
        EXPECT_EQ(set.icon.height(), CreatureSetGenerator::kIconHeight);
    }
}

}  // namespace
}  // namespace reef::tools
