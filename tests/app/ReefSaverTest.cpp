#include <gtest/gtest.h>

#include <GL/gl.h>

#include "app/ReefSaver.h"
#include "core/Clock.h"
#include "engine/WideText.h"
#include "testsupport/FakePlatform.h"
#include "testsupport/GlTestContext.h"

namespace reef {
namespace {

struct App {
    FakeWindows windows;
    FakeSystem system;
};

TEST(ReefSaver, ProjectionAspectIsCappedForWideScreens) {
    EXPECT_DOUBLE_EQ(ReefSaver::projectionAspect(1024, 768), 1024.0 / 768.0);
    EXPECT_DOUBLE_EQ(ReefSaver::projectionAspect(1920, 1080), 1.35);
    EXPECT_DOUBLE_EQ(ReefSaver::projectionAspect(800, 600), 800.0 / 600.0);
    EXPECT_GT(ReefSaver::projectionAspect(10, 0), 0.0);  // a collapsed window divides by nothing
}

// The aspect the real projection matrix carries after InitGL: m[5] / m[0] for a perspective.
double aspectAfterInitGL(int width, int height) {
    App app;
    app.windows.clientWidth = width;
    app.windows.clientHeight = height;
    ReefSaver saver(Variant::Plain, app.windows, app.system);
    EXPECT_TRUE(saver.Create(u"saver /t"));
    EXPECT_TRUE(saver.InitGL());
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    return projection[5] / projection[0];
}

TEST(ReefSaver, InitGLSetsTheProjectionForFourToThreeAndSixteenToNine) {
    test::GlTestContext context;
    if (!context.valid()) GTEST_SKIP() << context.error();
    EXPECT_NEAR(aspectAfterInitGL(1024, 768), 4.0 / 3.0, 1e-4);
    EXPECT_NEAR(aspectAfterInitGL(1920, 1080), 1.35, 1e-4);
    float fogEnd = 0.0f;
    glGetFloatv(GL_FOG_END, &fogEnd);
    EXPECT_FLOAT_EQ(fogEnd, 50.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_FOG));  // fog is switched on per pass, not globally
}

TEST(ReefSaver, FrameRateTextShowsSizeThenRateAndResetsEachSecond) {
    ManualClock clock(5000);
    App app;
    app.windows.clientWidth = 1024;
    app.windows.clientHeight = 768;
    ReefSaver saver(Variant::Plain, app.windows, app.system);
    ASSERT_TRUE(saver.Create(u"saver /t"));
    for (int i = 0; i < 49; ++i) {
        clock.advance(20);
        saver.FrameMove();
    }
    EXPECT_TRUE(saver.frameRateText().empty());  // not a full second yet
    clock.advance(20);
    saver.FrameMove();
    EXPECT_EQ(toUtf8(saver.frameRateText()), "1024 x 768   50.00 fps");
    // One frame longer than a second still resets the counters at its end.
    clock.advance(1500);
    saver.FrameMove();
    EXPECT_EQ(toUtf8(saver.frameRateText()), "1024 x 768   0.67 fps");
    clock.advance(999);
    saver.FrameMove();
    EXPECT_EQ(toUtf8(saver.frameRateText()), "1024 x 768   0.67 fps");
}

TEST(ReefSaver, PlainStopsOnEscapeLikeAnyKey) {
    App app;
    ReefSaver plain(Variant::Plain, app.windows, app.system);
    ASSERT_TRUE(plain.Create(u"saver /s"));
    plain.WindowProc(FakeWindows::kMain, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(plain.isShutDown());
}

// Without its data the saver modes end before any window, saying so on standard
// error only (the daemon shows its own notice); the settings dialog says it in a
// box; the password change needs no data.
TEST(ReefSaver, MissingDataFolderEndsTheStartBeforeAnyWindow) {
    struct Case {
        Variant variant;
        const char16_t* line;
        bool starts;
        int dialogs;
    };
    for (const Case& c : {Case{Variant::Plain, u"saver /s", false, 0}, Case{Variant::Plain, u"saver /t", false, 0},
                          Case{Variant::Plain, u"saver /p 5", false, 0}, Case{Variant::Viewer, u"reefsaver", false, 0},
                          Case{Variant::Plain, u"saver /c", false, 1}, Case{Variant::Plain, u"saver", false, 1},
                          Case{Variant::Plain, u"saver /a", true, 0}}) {
        const std::string line = toUtf8(c.line);
        App app;
        app.system.programPathValue = "/nonexistent/reef/reefsaver_plain";
        ReefSaver saver(c.variant, app.windows, app.system);
        EXPECT_EQ(saver.Create(c.line), c.starts) << line;
        EXPECT_EQ(app.system.dialogs, c.dialogs) << line;
        if (c.starts) continue;
        EXPECT_TRUE(app.windows.calls.empty()) << line << ": " << app.windows.calls.front();
        ASSERT_EQ(app.system.errors.size(), 1u) << line;
        EXPECT_NE(app.system.errors[0].find("/nonexistent/reef/Marevo2/"), std::string::npos) << app.system.errors[0];
    }
}

TEST(ReefSaver, SettingsAreReadFromTheStoreAtCreate) {
    App app;
    // Without "Directory.dat" the key path is empty; the store still answers under it.
    app.system.registryStore.setDword("", "BoidCount", 35);
    app.system.registryStore.setDword("\\fish", "clownfish", 0);
    ReefSaver saver(Variant::Plain, app.windows, app.system);
    ASSERT_TRUE(saver.Create(u"saver /t"));
    EXPECT_EQ(saver.settings().BoidCount, 35);
    EXPECT_FALSE(saver.settings().fishSets.isSetEnabled(u"clownfish"));
}

TEST(ReefSaver, CommandLineOverridesApplyToDrawingRunsAndAreNeverStored) {
    SettingOverrides overrides;
    overrides.fishCount = 3;
    overrides.schoolSize = 0;
    overrides.gulls = false;
    overrides.skyType = 1;
    overrides.cameraPosition = 2;
    overrides.sound = false;
    overrides.frameRate = true;
    for (const char16_t* line : {u"saver /t", u"saver /s", u"saver /c"}) {
        App app;
        app.system.registryStore.setDword("", "FishCount", 15);
        app.system.registryStore.setDword("", "SkyType", 0);
        ReefSaver saver(Variant::Plain, app.windows, app.system);
        saver.overrideSettings(overrides);
        ASSERT_TRUE(saver.Create(line));
        const SaverSettings& s = saver.settings();
        if (line == std::u16string(u"saver /c")) {
            // The settings dialog edits and writes back what is stored, never a one-run change.
            EXPECT_EQ(s.FishCount, 15);
            EXPECT_EQ(s.SkyType, 0);
            EXPECT_TRUE(s.BirdGull);
            EXPECT_FALSE(saver.frameRateDisplay());
            continue;
        }
        EXPECT_EQ(s.FishCount, 3);
        EXPECT_EQ(s.BoidCount, 0);
        EXPECT_FALSE(s.BirdGull);
        EXPECT_EQ(s.SkyType, 1);
        EXPECT_EQ(s.CameraPos, 2);
        EXPECT_FALSE(s.SoundOn);
        EXPECT_TRUE(saver.frameRateDisplay());
        EXPECT_EQ(s.CameraSpeed, 4);  // not overridden: the stored (default) value
        EXPECT_EQ(app.system.registryStore.getDword("", "FishCount"), 15u);
        EXPECT_FALSE(app.system.registryStore.getDword("", "BirdGull").has_value());
    }
}

}  // namespace
}  // namespace reef
