// Scene assembly on a small data folder written by the test: which creatures are
// built for which settings, and which textures and models are loaded.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <functional>
#include <map>

#include "app/ReefSaver.h"
#include "core/Clock.h"
#include "engine/EngineImports.h"
#include "engine/SoundPlayer.h"
#include "engine/WideText.h"
#include "platform/SdlEngineImports.h"
#include "scene/SetDescriptor.h"
#include "scene/SubSetDescriptor.h"
#include "testsupport/FakePlatform.h"
#include "testsupport/FeedbackPolygons.h"
#include "testsupport/GlTestContext.h"
#include "testsupport/SetTree.h"
#include "testsupport/TempFolder.h"
#include "writers/BmpWriter.h"
#include "writers/ByteWriter.h"
#include "writers/Md3Writer.h"

namespace reef {
namespace {

namespace fs = std::filesystem;

using test::writeFile;

// A 4 x 4 24-bit BMP.
std::vector<uint8_t> tinyBmp() {
    std::vector<uint8_t> pixels(48);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(40 + i);
    return writeBmp(4, 4, 3, pixels);
}

// One triangle over 231 frames: enough for every range the scene asks of a set.
std::vector<uint8_t> tinyModel() {
    Md3Model model;
    Md3Surface surface;
    surface.triangles = {{0, 1, 2}};
    surface.texCoords = {{0, 0}, {1, 0}, {0, 1}};
    for (int f = 0; f < 231; ++f) surface.positions.push_back({{0, 0, 0}, {64, 0, 0}, {0, 64, static_cast<int16_t>(f)}});
    model.surfaces.push_back(surface);
    return writeMd3(model);
}

struct SetFixture {
    std::string folder;  // "default_fish", "additional" or "default_diverse"
    std::string name;
    std::string type;
    std::string category;
    std::string values;  // extra "valN=" lines
    bool subSet = false;
};

class SceneAssembly : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_context.valid()) GTEST_SKIP() << m_context.error();
        if (m_deepInstall) m_tree.deepen(kDeepInstallLength);
        m_root = m_tree.install();
        m_data = m_tree.data();
        const std::vector<uint8_t> bmp = tinyBmp();
        const std::vector<uint8_t> model = tinyModel();
        for (const char* texture : {"sky_cloudy.tqt", "terrain.tqt", "water.tqt", "models/gull.tqt",
                                    "models/reeffishes/silverfish.tqt", "models/insel.tqt"})
            writeFile(m_data / texture, bmp);
        for (const char* file : {"models/gull.tqm", "models/coral_a.tqm", "models/reeffishes/silverfish.tqm",
                                 "models/insel.tqm"})
            writeFile(m_data / file, model);
        m_imports = std::make_unique<SdlEngineImports>();
        setEngineImports(m_imports.get());
        m_platform.system.programPathValue = (m_root / "reefsaver_plain").string();
    }

    void TearDown() override {
        m_saver.reset();
        setEngineImports(nullptr);
    }

    void addSet(const std::string& folder, const std::string& name, const std::string& type,
                const std::string& category, const std::string& values = "", bool subSet = false) {
        addSet(SetFixture{folder, name, type, category, values, subSet});
    }

    void addSet(const SetFixture& fixture) {
        m_tree.addFile(fixture.folder, fixture.name, "skin.tqt", tinyBmp());
        m_tree.addFile(fixture.folder, fixture.name, "body.tqm", tinyModel());
        std::string ini = "[common]\nid=" + fixture.name + "\n[settings]\ncategory=" + fixture.category +
                          "\n[saver]\ntype=" + fixture.type +
                          "\ntexture=skin.tqt\nmodel=body.tqm\nscale=0.02\nanimationspeed=10\n"
                          "trackspeed=0.001\nanimationstart=0\nanimationend=20\n" + fixture.values;
        if (fixture.subSet) {
            m_tree.addFile(fixture.folder, fixture.name, "part.tqm", tinyModel());
            ini += "[saver2]\ntexture=skin.tqt\nmodel=part.tqm\nscale=0.02\nanimationstart=0\nanimationend=10\nval0=1,-5,9\n";
        }
        m_tree.addSet(fixture.folder, fixture.name, ini);
    }

    void setDword(const std::string& name, uint32_t value) { m_platform.system.registryStore.setDword("", name, value); }
    void disableSet(const std::string& id) { m_platform.system.registryStore.setDword("\\fish", id, 0); }

    ReefSaver& build(Variant variant = Variant::Plain) {
        m_saver = std::make_unique<ReefSaver>(variant, m_platform.windows, m_platform.system);
        EXPECT_TRUE(m_saver->Create(u"saver /t"));
        EXPECT_TRUE(m_saver->InitGL());
        EXPECT_TRUE(m_saver->BuildScene());
        return *m_saver;
    }

    struct Platform {
        FakeWindows windows;
        FakeSystem system;
    };

    // An install folder of about 4,000 characters: the sets' paths are longer
    // than any fixed buffer a path could be cut to, and still open.
    static constexpr size_t kDeepInstallLength = 4000;
    bool m_deepInstall = false;

    test::GlTestContext m_context;
    test::SetTree m_tree{"Marevo2"};
    fs::path m_root, m_data;
    std::unique_ptr<SdlEngineImports> m_imports;
    Platform m_platform;
    std::unique_ptr<ReefSaver> m_saver;
};

TEST_F(SceneAssembly, FishCountFillsWithMantaHunterBigFishThenSingleFish) {
    addSet("default_fish", "a_school", "boid", "boid");
    addSet("default_fish", "b_hunter", "hunter", "fish");
    addSet("default_fish", "c_wrasse", "bigfish", "fish");
    addSet("default_fish", "d_whaleshark", "bigfish", "fish");
    addSet("default_fish", "e_clown", "singlefish", "fish");
    addSet("default_fish", "f_tang", "singlefish", "fish");
    addSet("default_diverse", "manta", "manta", "fish", "val0=10,4,20\nval1=-10,4,20\nval2=1000\nval3=2000\n");
    setDword("FishCount", 10);
    ReefSaver& saver = build();
    const Creatures& c = saver.creatures();
    EXPECT_EQ(c.mantas().size(), 1u);
    EXPECT_TRUE(c.hunterBuilt());
    EXPECT_EQ(c.bigFish().size(), 2u);
    EXPECT_EQ(c.singleFish().size(), 6u);
    EXPECT_EQ(c.fishBuilt(), 4);
    EXPECT_EQ(c.boidsBuilt(), 10);
    EXPECT_TRUE(c.hasLeader());
    // Single fish alternate between the two sets and stand at -3, -2.4, -1.8, -3, ...
    const auto& fish = c.singleFish();
    EXPECT_FLOAT_EQ(fish[0]->object.getPosition().y, -3.0f);
    EXPECT_FLOAT_EQ(fish[1]->object.getPosition().y, -2.4f);
    EXPECT_FLOAT_EQ(fish[2]->object.getPosition().y, -1.8f);
    EXPECT_FLOAT_EQ(fish[3]->object.getPosition().y, -3.0f);
    EXPECT_NE(fish[0]->object.model(), fish[1]->object.model());
    EXPECT_EQ(fish[0]->object.model(), fish[2]->object.model());
    // The first faces +x, then they alternate.
    EXPECT_FLOAT_EQ(fish[0]->object.getTarget().x - fish[0]->object.getPosition().x, 1.0f);
    EXPECT_FLOAT_EQ(fish[1]->object.getTarget().x - fish[1]->object.getPosition().x, -1.0f);
    EXPECT_FLOAT_EQ(fish[2]->object.getTarget().x - fish[2]->object.getPosition().x, 1.0f);
    // Every enabled set's texture and model were loaded.
    for (size_t i = 0; i < saver.catalog().size(); ++i) {
        EXPECT_TRUE(saver.catalog().at(i).texture.loaded());
        EXPECT_TRUE(saver.catalog().at(i).model.loaded());
    }
}

TEST_F(SceneAssembly, FishCountZeroStillBuildsMantasOfOtherCategories) {
    addSet("default_fish", "hunter", "hunter", "fish");
    addSet("default_fish", "wrasse", "bigfish", "fish");
    addSet("default_fish", "clown", "singlefish", "fish");
    addSet("default_diverse", "manta", "manta", "diverse", "val0=10,4,20\nval1=-10,4,20\n");
    addSet("default_diverse", "mantafish", "manta", "fish");
    setDword("FishCount", 0);
    ReefSaver& saver = build();
    const Creatures& c = saver.creatures();
    EXPECT_EQ(c.mantas().size(), 1u);
    EXPECT_FALSE(c.hunterBuilt());
    EXPECT_TRUE(c.bigFish().empty());
    EXPECT_TRUE(c.singleFish().empty());
}

TEST_F(SceneAssembly, FishCountTwentyAndNoEnabledSingleFishSet) {
    addSet("default_fish", "clown", "singlefish", "fish");
    setDword("FishCount", 20);
    EXPECT_EQ(build().creatures().singleFish().size(), 20u);
    TearDown();
    SetUp();
    addSet("default_fish", "clown", "singlefish", "fish");
    disableSet("clown");
    setDword("FishCount", 20);
    ReefSaver& saver = build();
    EXPECT_TRUE(saver.creatures().singleFish().empty());
    // A disabled set's files are not loaded either.
    EXPECT_FALSE(saver.catalog().at(0).texture.loaded());
    EXPECT_FALSE(saver.catalog().at(0).model.loaded());
}

TEST_F(SceneAssembly, SchoolSizeFollowsTheBoidCount) {
    addSet("default_fish", "silver", "boid", "boid");
    addSet("default_fish", "blue", "boid", "boid");
    setDword("BoidCount", 15);
    ReefSaver& saver = build();
    EXPECT_EQ(saver.creatures().boidsBuilt(), 15);
    EXPECT_EQ(saver.creatures().swarm().members().size(), 15u);
    EXPECT_TRUE(saver.scenery().reefFishModel().loaded());
    TearDown();
    SetUp();
    addSet("default_fish", "silver", "boid", "boid");
    setDword("BoidCount", 0);
    ReefSaver& empty = build();
    EXPECT_EQ(empty.creatures().boidsBuilt(), 0);
    // No school: the reef-fish model is skipped but its texture still loads.
    EXPECT_FALSE(empty.scenery().reefFishModel().loaded());
    EXPECT_TRUE(empty.scenery().reefFishTexture().loaded());
}

TEST_F(SceneAssembly, StoredValuesBeyondTheSafeRangesAreHeldInsideThemButKept) {
    addSet("default_fish", "silver", "boid", "boid");
    addSet("default_fish", "grouper", "fish", "fish");
    setDword("BoidCount", 0x7fffffff);
    setDword("FishCount", 0x7fffffff);
    setDword("CameraPos", 0xffffffff);  // -1: none of the four set-ups
    setDword("CameraSpeed", 0x7fffffff);
    setDword("CameraFixTop", 0);
    ReefSaver& saver = build();
    EXPECT_EQ(saver.creatures().boidsBuilt(), SaverSettings::row(&SaverSettings::BoidCount).safe.highest);
    EXPECT_LE(saver.creatures().fishBuilt(), SaverSettings::row(&SaverSettings::FishCount).safe.highest);
    // Neither the automatic tilt nor a fixed one: the level view stays.
    EXPECT_FALSE(saver.cameraAuto().automatic());
    EXPECT_FLOAT_EQ(saver.camera().pitch(), 0.0f);
    // The settings as stored are not rewritten.
    EXPECT_EQ(saver.settings().BoidCount, 0x7fffffff);
    EXPECT_EQ(saver.settings().FishCount, 0x7fffffff);
    EXPECT_EQ(saver.settings().CameraPos, -1);
    saver.WriteSettings();
    EXPECT_EQ(m_platform.system.registryStore.getDword("", "FishCount"), 0x7fffffffu);
}

TEST_F(SceneAssembly, OnlyTheFirstAnimalSetIsBuilt) {
    addSet("default_diverse", "a_turtle", "turtle", "animal", "val0=2,-7,12\n", true);
    addSet("default_diverse", "b_turtle", "turtle", "animal");
    addSet("default_diverse", "c_moray", "statictimed", "animal", "val0=1,-7,10\nval1=0\nval2=100\nval3=200\n");
    addSet("default_diverse", "d_clam", "statictimed", "diverse",
            "val0=1,-7,10\nval1=1\nval2=100\nval3=200\nval4=0,90,0\n", true);
    ReefSaver& saver = build();
    const Creatures& c = saver.creatures();
    EXPECT_TRUE(c.turtleBuilt());
    ASSERT_EQ(c.props().size(), 1u);  // the clam; the moray lost the one animal place
    TimedProp& clam = *c.props()[0].prop;
    EXPECT_EQ(clam.drawLate(), 1);
    EXPECT_EQ(clam.minDelay(), 100);
    EXPECT_FLOAT_EQ(clam.body().angleY(), 90.0f);
    EXPECT_EQ(clam.parts().size(), 1u);
    EXPECT_EQ(c.timed().size(), 1u);
}

// The polygons a draw call sends through the pipeline, counted in feedback mode
// in a volume of -20 .. 20 on every axis, which holds every fixture's position.
int polygonsDrawn(const std::function<void()>& drawCall) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 20, -20, 20, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return static_cast<int>(test::feedbackPolygons(GL_2D, 2, drawCall).size());
}

TEST_F(SceneAssembly, PropsDrawEarlyAtZeroAndLateAtOneOrMore) {
    // One triangle each; the first two have a part (a second triangle).
    addSet("default_diverse", "a_early", "statictimed", "diverse", "val0=0,0,0\nval1=0\n", true);
    addSet("default_diverse", "b_late", "statictimed", "diverse", "val0=0,0,0\nval1=1\n", true);
    addSet("default_diverse", "c_later", "statictimed", "diverse", "val0=0,0,0\nval1=7\n");
    addSet("default_diverse", "d_negative", "statictimed", "diverse", "val0=0,0,0\nval1=-1\n");
    ReefSaver& saver = build();
    Creatures& c = saver.creatures();
    ASSERT_EQ(c.props().size(), 4u);
    // Early: the body and part of the drawLate 0 prop only.
    EXPECT_EQ(polygonsDrawn([&] { c.drawProps(false); }), 2);
    // Late: the bodies of drawLate 1 and 7, without the part; -1 is in neither pass.
    EXPECT_EQ(polygonsDrawn([&] { c.drawProps(true); }), 2);
}

TEST_F(SceneAssembly, EveryFishDrawsTheCurrentCausticsFrame) {
    addSet("default_fish", "silver", "boid", "boid");
    addSet("default_fish", "hunter", "hunter", "fish");
    addSet("default_fish", "clown", "singlefish", "fish");
    addSet("default_fish", "wrasse", "bigfish", "fish");
    setDword("FishCount", 3);
    ManualClock clock(1000);
    ReefSaver& saver = build();
    Creatures& c = saver.creatures();
    ASSERT_TRUE(c.hunterBuilt());
    // Two frames 120 ms apart: the frames of the sequence are 50 ms each.
    for (uint32_t now : {1000u, 1120u}) {
        clock.set(now);
        saver.FrameMove();
        saver.Render();
        Texture* frame = &saver.scenery().causticsFish(Scenery::sequenceFrame(now));
        EXPECT_EQ(c.hunter().texture(1), frame) << now;
        EXPECT_EQ(c.swarm().members().front().object->texture(1), frame) << now;
        EXPECT_EQ(c.singleFish().front()->object.texture(1), frame) << now;
        EXPECT_EQ(c.bigFish().front()->texture(1), frame) << now;
    }
    EXPECT_NE(Scenery::sequenceFrame(1000), Scenery::sequenceFrame(1120));
}

TEST_F(SceneAssembly, ALaterTurtleSetTakesTheTurtleAndTheSwimmerOnlyWithASubSet) {
    // Two turtle sets (not animals, so both are built); only the first has a swimmer.
    addSet("default_diverse", "a_turtle", "turtle", "diverse", "val0=2,-7,12\n", true);
    addSet("default_diverse", "b_turtle", "turtle", "diverse", "val0=3,-7,12\n");
    {
        ReefSaver& saver = build();
        SetDescriptor& first = saver.catalog().at(0);
        SetDescriptor& second = saver.catalog().at(1);
        Creatures& c = saver.creatures();
        ModelObject& turtle = c.turtle();
        EXPECT_EQ(turtle.model(), &second.model);
        ASSERT_EQ(turtle.textureCount(), 1);  // replaced, not appended
        EXPECT_EQ(turtle.texture(0), &second.texture);
        // The first set's swimmer stays dressed.
        ModelObject& swimmer = c.swimmer();
        EXPECT_EQ(swimmer.model(), &first.subSets[0]->model);
        ASSERT_EQ(swimmer.textureCount(), 1);
        EXPECT_EQ(swimmer.texture(0), &first.subSets[0]->drawTexture());
    }
    // When the later set brings a sub-set too, its swimmer replaces the first one.
    TearDown();
    SetUp();
    addSet("default_diverse", "a_turtle", "turtle", "diverse", "val0=2,-7,12\n", true);
    addSet("default_diverse", "b_turtle", "turtle", "diverse", "val0=3,-7,12\n", true);
    ReefSaver& saver = build();
    SetDescriptor& second = saver.catalog().at(1);
    ModelObject& swimmer = saver.creatures().swimmer();
    EXPECT_EQ(swimmer.model(), &second.subSets[0]->model);
    ASSERT_EQ(swimmer.textureCount(), 1);
    EXPECT_EQ(swimmer.texture(0), &second.subSets[0]->drawTexture());
}

TEST_F(SceneAssembly, APartNamingItsSetsImageSharesTheLoadedTexture) {
    addSet("default_diverse", "turtle", "turtle", "animal", "val0=2,-7,12\n", true);
    ReefSaver& saver = build();
    ASSERT_EQ(saver.catalog().size(), 1u);
    SetDescriptor& set = saver.catalog().at(0);
    ASSERT_EQ(set.subSets.size(), 1u);
    SubSetDescriptor& part = *set.subSets[0];
    EXPECT_TRUE(set.texture.loaded());
    EXPECT_FALSE(part.texture.loaded());  // the image is held once
    EXPECT_EQ(&part.drawTexture(), &set.texture);
    EXPECT_EQ(saver.creatures().swimmer().texture(0), &set.texture);
}

TEST_F(SceneAssembly, EverySetLoadsFromADeepInstallFolder) {
    TearDown();
    m_deepInstall = true;
    SetUp();
    ASSERT_GE(m_root.string().size(), kDeepInstallLength);
    addSet("default_fish", "clown", "singlefish", "fish");
    addSet("default_diverse", "turtle", "turtle", "animal", "val0=2,-7,12\n", true);
    setDword("FishCount", 3);
    ReefSaver& saver = build();
    ASSERT_EQ(saver.catalog().size(), 2u);
    for (size_t i = 0; i < saver.catalog().size(); ++i) {
        const SetDescriptor& set = saver.catalog().at(i);
        EXPECT_GT(set.texturePath.size(), kDeepInstallLength);
        EXPECT_TRUE(set.texture.loaded()) << i;
        EXPECT_TRUE(set.model.loaded()) << i;
    }
    EXPECT_TRUE(saver.catalog().at(1).subSets.at(0)->model.loaded());
    EXPECT_EQ(saver.creatures().singleFish().size(), 3u);
    EXPECT_TRUE(saver.creatures().turtleBuilt());
}

TEST_F(SceneAssembly, SkyFileFollowsSkyTypeAndColourDepth) {
    struct Case {
        int skyType;
        int bits;
        bool clear32Loaded;
    };
    for (Case c : {Case{0, 16, false}, Case{0, 32, false}, Case{1, 16, false}, Case{1, 32, true}}) {
        fs::remove(m_data / "sky_cloudy.tqt");
        writeFile(m_data / "sky_clear_32.tqt", tinyBmp());
        setDword("SkyType", static_cast<uint32_t>(c.skyType));
        setDword("Bpp", static_cast<uint32_t>(c.bits));
        ReefSaver& saver = build();
        EXPECT_EQ(saver.scenery().skyTexture().loaded(), c.clear32Loaded) << c.skyType << " " << c.bits;
    }
}

TEST_F(SceneAssembly, CameraPositionsAndTheViewerHasNoCameraStep) {
    const float pitch[4] = {0.0f, -25.0f, -8.0f, 4.5f};
    for (int position = 0; position < 4; ++position) {
        setDword("CameraPos", static_cast<uint32_t>(position));
        ReefSaver& saver = build();
        EXPECT_EQ(saver.cameraAuto().automatic(), position == 0);
        EXPECT_NEAR(saver.camera().pitch(), pitch[position], 1e-4);
        EXPECT_NEAR(saver.camera().worldEye().z, -7.0f, 1e-5);
    }
    setDword("CameraPos", 1);
    ReefSaver& viewer = build(Variant::Viewer);
    EXPECT_FALSE(viewer.cameraAuto().automatic());
    EXPECT_FLOAT_EQ(viewer.camera().pitch(), 0.0f);
}

TEST_F(SceneAssembly, SoundAndGullsOff) {
    setDword("SoundOn", 0);
    setDword("BirdGull", 0);
    ReefSaver& saver = build();
    EXPECT_EQ(saver.soundPlayer(), nullptr);
    EXPECT_TRUE(m_platform.system.mixer.calls.empty());
    EXPECT_FALSE(saver.scenery().gullModel().loaded());
    EXPECT_FALSE(saver.creatures().gullFlight().enabled());
    EXPECT_EQ(saver.creatures().gullFlight().follower().waypointCount(), 0);
}

TEST_F(SceneAssembly, SoundOnOpensThePlayerAndQueuesTheCalls) {
    ReefSaver& saver = build();
    ASSERT_NE(saver.soundPlayer(), nullptr);
    EXPECT_TRUE(saver.soundPlayer()->opened());
    const auto& calls = m_platform.system.mixer.calls;
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ(calls[0], "open");
    EXPECT_NE(calls[1].find("sound/water.wav"), std::string::npos);
    EXPECT_EQ(calls[2], "play -1");
    EXPECT_NE(calls[6].find("sound/seagull4.wav"), std::string::npos);
    EXPECT_TRUE(saver.scenery().gullModel().loaded());
    EXPECT_EQ(saver.creatures().gullFlight().follower().waypointCount(), 8);
    saver.Cleanup();
    EXPECT_EQ(saver.soundPlayer(), nullptr);
    EXPECT_EQ(calls.back(), "close");
}

TEST_F(SceneAssembly, FramesRunAndCleanupReleasesEverythingOnce) {
    addSet("default_fish", "silver", "boid", "boid");
    addSet("default_fish", "hunter", "hunter", "fish");
    addSet("default_fish", "clown", "singlefish", "fish");
    addSet("default_fish", "wrasse", "bigfish", "fish");
    addSet("default_diverse", "manta", "manta", "diverse", "val0=10,4,20\nval1=-10,4,20\nval2=10\nval3=20\n");
    addSet("default_diverse", "turtle", "turtle", "animal", "val0=2,-7,12\n", true);
    ManualClock clock(1000);
    ReefSaver& saver = build();
    for (int frame = 0; frame < 300; ++frame) {
        clock.advance(static_cast<uint32_t>(frame % 7 * 10));
        saver.FrameMove();
        saver.Render();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(saver.Cleanup());
    EXPECT_EQ(saver.catalog().size(), 0u);
    EXPECT_EQ(saver.creatures().boidsBuilt(), 0);
    EXPECT_FALSE(saver.scenery().gullModel().loaded());
    EXPECT_TRUE(saver.Cleanup());  // a second run finds nothing left to release
}

// One frame of the viewer: the frame update, then the input tracker's step.
void viewerFrame(ReefSaver& viewer, ManualClock& clock, uint32_t ms = 20) {
    clock.advance(ms);
    viewer.FrameMove();
    viewer.PostFrame();
}

void press(ReefSaver& viewer, uint64_t key) { viewer.WindowProc(FakeWindows::kMain, WM_KEYDOWN, key, 0); }
void release(ReefSaver& viewer, uint64_t key) { viewer.WindowProc(FakeWindows::kMain, WM_KEYUP, key, 0); }

TEST_F(SceneAssembly, ViewerKeysTiltWithinTheirLimitsAndHomeResets) {
    ManualClock clock(1000);
    ReefSaver& viewer = build(Variant::Viewer);
    press(viewer, VK_UP);
    for (int frame = 0; frame < 49; ++frame) {
        viewerFrame(viewer, clock);
        ASSERT_TRUE(viewer.cameraAuto().moving());  // every frame the keys tilt holds the highlight
    }
    EXPECT_NEAR(viewer.camera().pitch(), -24.5f, 1e-3);
    for (int frame = 0; frame < 100; ++frame) {
        viewerFrame(viewer, clock);
        EXPECT_GE(viewer.camera().pitch(), -25.0f - 1e-3);
    }
    EXPECT_NEAR(viewer.camera().pitch(), -25.0f, 1e-3);  // held on, the view stays at the top limit
    EXPECT_FALSE(viewer.cameraAuto().moving());          // and no longer tilts
    release(viewer, VK_UP);
    press(viewer, VK_DOWN);
    for (int frame = 0; frame < 200; ++frame) viewerFrame(viewer, clock);
    EXPECT_NEAR(viewer.camera().pitch(), 4.5f, 1e-3);
    release(viewer, VK_DOWN);
    press(viewer, VK_HOME);
    viewerFrame(viewer, clock);
    EXPECT_FLOAT_EQ(viewer.camera().pitch(), 0.0f);
    EXPECT_NEAR(viewer.camera().worldCenter().z, 1.0f, 1e-5);
}

TEST_F(SceneAssembly, ViewerHelpHintLongHelpAndFrameRateLine) {
    ByteWriter language;
    language.u16(0xFEFF);
    for (char16_t c : std::u16string(u"[GER]\r\nhelp = {F1: Hilfe}\r\nhelpexpanded = {Esc: Ende\r\nF1: Hilfe}\r\n"))
        language.u16(static_cast<uint16_t>(c));
    writeFile(m_data / "Language.dat", language.bytes);
    ManualClock clock(1000);
    ReefSaver& viewer = build(Variant::Viewer);
    ASSERT_EQ(viewer.helpText().lines().size(), 1u);
    EXPECT_EQ(viewer.helpText().lines()[0], u"F1: Hilfe");
    // F1 shows the long help; F1 again goes back to the hint while the hint period lasts.
    press(viewer, VK_F1);
    viewerFrame(viewer, clock);
    release(viewer, VK_F1);
    EXPECT_TRUE(viewer.helpVisible());
    EXPECT_EQ(viewer.helpText().lines().size(), 2u);
    press(viewer, VK_F1);
    viewerFrame(viewer, clock);
    release(viewer, VK_F1);
    EXPECT_FALSE(viewer.helpVisible());
    EXPECT_EQ(viewer.helpText().lines().size(), 1u);
    // Ten seconds after the build the hint goes.
    for (int i = 0; i < 10; ++i) viewerFrame(viewer, clock, 1000);
    EXPECT_FALSE(viewer.helpHintShown());
    EXPECT_TRUE(viewer.helpText().lines().empty());
    // F switches the frame-rate line on; it shows the window size and the rate.
    press(viewer, 'F');
    viewerFrame(viewer, clock);
    release(viewer, 'F');
    EXPECT_TRUE(viewer.frameRateDisplay());
    for (int i = 0; i < 60; ++i) viewerFrame(viewer, clock, 20);
    ASSERT_EQ(viewer.frameRateLine().lines().size(), 1u);
    EXPECT_EQ(viewer.frameRateLine().lines()[0], u"800 x 600   50.00 fps");
    viewer.Render();  // draws both text objects without disturbing the GL state
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneAssembly, TheFirstFrameCountsFromConstructionBuildIncluded) {
    ManualClock clock(1000);
    m_saver = std::make_unique<ReefSaver>(Variant::Viewer, m_platform.windows, m_platform.system);
    ReefSaver& viewer = *m_saver;
    ASSERT_TRUE(viewer.Create(u"saver /t"));
    ASSERT_TRUE(viewer.InitGL());
    clock.advance(4000);  // window, GL and scene set-up take four seconds
    ASSERT_TRUE(viewer.BuildScene());
    viewerFrame(viewer, clock, 20);
    // One frame of 4020 ms: the first frame-rate reading is there at once.
    EXPECT_EQ(toUtf8(viewer.frameRateText()), "800 x 600   0.25 fps");
    // The ten-second hint has six seconds left after the build's four.
    for (int i = 0; i < 298; ++i) viewerFrame(viewer, clock, 20);
    EXPECT_TRUE(viewer.helpHintShown());  // 9980 ms since construction
    viewerFrame(viewer, clock, 20);
    EXPECT_FALSE(viewer.helpHintShown());
}

TEST_F(SceneAssembly, PlainHasNoViewerKeysOrText) {
    ManualClock clock(1000);
    ReefSaver& plain = build(Variant::Plain);
    EXPECT_TRUE(plain.helpText().lines().empty());
    EXPECT_FALSE(plain.MessageHook(WM_KEYDOWN, VK_UP, 0));
}

TEST_F(SceneAssembly, ViewerEndsOnEscapeThroughTheQuitFlag) {
    ReefSaver& viewer = build(Variant::Viewer);
    viewer.WindowProc(FakeWindows::kMain, WM_KEYDOWN, VK_SPACE, 0);
    viewer.FrameMove();
    EXPECT_TRUE(viewer.wireframe());
    viewer.PostFrame();
    viewer.WindowProc(FakeWindows::kMain, WM_KEYUP, VK_SPACE, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    EXPECT_FALSE(viewer.quitRequested());
    viewer.WindowProc(FakeWindows::kMain, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(viewer.isShutDown());  // no shutdown from the window procedure itself
    viewer.FrameMove();
    EXPECT_TRUE(viewer.quitRequested());
}

}  // namespace
}  // namespace reef
