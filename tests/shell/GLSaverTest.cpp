#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "core/Clock.h"
#include "shell/GLSaver.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/FakePlatform.h"

namespace reef {
namespace {

class TestSaver : public GLSaver {
public:
    using GLSaver::GLSaver;
    bool BuildScene() override {
        log.push_back("build");
        building = true;
        for (int i = 0; i < assets; ++i) {
            if (StopRequestedDuringBuild()) break;
            log.push_back("asset");
        }
        building = false;
        return buildResult;
    }
    bool InitGL() override {
        log.push_back("init");
        return true;
    }
    void FrameMove() override {
        log.push_back("move");
        if (++frames >= maxFrames) requestQuit();
    }
    void Render() override { log.push_back("render"); }
    bool ReleaseGLObjects() override {
        log.push_back("release-objects");
        return true;
    }
    bool Cleanup() override {
        ++cleanups;
        if (assets > 0) log.push_back(building ? "cleanup during the build" : "cleanup");
        return true;
    }
    bool PostFrame() override {
        log.push_back("post");
        return true;
    }

    std::vector<std::string> log;
    bool buildResult = true;
    int assets = 0;  // asks whether to stop before each
    bool building = false;
    int frames = 0;
    int maxFrames = 3;
    int cleanups = 0;
};

std::u16string line(const char16_t* text) { return text; }

struct Platform {
    FakeWindows windows;
    FakeSystem system;
};

// ---------------------------------------------------------------- command line

TEST(ParseCommandLine, SwitchesAndParentWindows) {
    struct Case {
        const char16_t* text;
        RunMode mode;
        WindowHandle parent;
    };
    const Case cases[] = {
        {u"saver.scr", RunMode::Config, 0},
        {u"\"C:\\x y\\saver.scr\"", RunMode::Config, 0},
        {u"saver.scr /c:1234", RunMode::Config, 1234},
        {u"saver.scr /c", RunMode::Config, 0},
        {u"saver.scr /S", RunMode::Full, 0},
        {u"saver.scr /s", RunMode::Full, 0},
        {u"saver.scr -s", RunMode::Full, 0},
        {u"saver.scr /x", RunMode::Full, 0},
        {u"saver.scr /", RunMode::Full, 0},
        {u"saver.scr /T", RunMode::Test, 0},
        {u"saver.scr /p 4711", RunMode::Preview, 4711},
        {u"saver.scr /p", RunMode::Preview, 0},
        {u"saver.scr /a 99", RunMode::PasswordChange, 99},
        // A quoted path with switch characters in it is skipped whole.
        {u"\"/opt/re-ef/saver\" /t", RunMode::Test, 0},
        {u"\"/opt/re-ef/saver\"", RunMode::Config, 0},
        // An unquoted path ends at the first blank.
        {u"/opt/reef/saver /p 12", RunMode::Preview, 12},
        {u"/opt/reef/saver", RunMode::Config, 0},
        // An unterminated quote swallows the rest of the line.
        {u"\"/opt/reef/saver /s", RunMode::Config, 0},
        // A number too large for a window id stops growing instead of overflowing.
        {u"saver /p 99999999999999999999999", RunMode::Preview, 9999999999999999999ull},
    };
    for (const Case& c : cases) {
        Platform p;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        const std::u16string text = c.text;
        EXPECT_EQ(saver.ParseCommandLine(text), c.mode) << std::string(text.begin(), text.end());
        EXPECT_EQ(saver.parentWindow(), c.parent) << std::string(text.begin(), text.end());
    }
}

TEST(Create, ViewerAlwaysRunsFullScreenButKeepsTheParent) {
    for (const char16_t* text : {u"reefsaver /c", u"reefsaver /p 5", u"reefsaver", u"reefsaver /t"}) {
        Platform p;
        TestSaver saver(Variant::Viewer, p.windows, p.system);
        ASSERT_TRUE(saver.Create(text));
        EXPECT_EQ(saver.runMode(), RunMode::Full);
    }
    Platform p;
    TestSaver saver(Variant::Viewer, p.windows, p.system);
    saver.Create(line(u"reefsaver /p 5"));
    EXPECT_EQ(saver.parentWindow(), 5u);
}

TEST(Create, WindowPerModeAndFailures) {
    {
        Platform p;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        ASSERT_TRUE(saver.Create(line(u"saver /t")));
        EXPECT_EQ(p.windows.calls[1], "test 800x600 ScreenSaverWnd");
        EXPECT_EQ(saver.width(), 800);
        EXPECT_EQ(saver.height(), 600);
        EXPECT_EQ(p.system.calls.front(), "sdl-start");
        EXPECT_EQ(p.system.calls[1], "idle");
    }
    {
        // Leave-resolution (the default) uses the screen size and never changes the mode.
        Platform p;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        ASSERT_TRUE(saver.Create(line(u"saver /s")));
        EXPECT_EQ(p.windows.calls[1], "full 1280x1024");
    }
    {
        // /p without a number: the child window cannot be made.
        Platform p;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        EXPECT_FALSE(saver.Create(line(u"saver /p")));
    }
    {
        // No display: every saver mode fails to start, the configuration mode does not need one.
        Platform p;
        p.windows.canConnect = false;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        EXPECT_FALSE(saver.Create(line(u"saver /s")));
        Platform q;
        q.windows.canConnect = false;
        TestSaver config(Variant::Plain, q.windows, q.system);
        EXPECT_TRUE(config.Create(line(u"saver /c")));
    }
}

bool called(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

void storeMode(Platform& p, int width, int height, int bits) {
    p.system.registryStore.setDword("", "LeaveRes", 0);
    p.system.registryStore.setDword("", "Width", static_cast<uint32_t>(width));
    p.system.registryStore.setDword("", "Height", static_cast<uint32_t>(height));
    p.system.registryStore.setDword("", "Bpp", static_cast<uint32_t>(bits));
}

TEST(DisplayMode, StoredModeIsSwitchedToCoveredAndRestoredAtShutdown) {
    Platform p;
    storeMode(p, 1024, 768, 32);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    const auto& calls = p.windows.calls;
    // The colour depth is chosen before the window exists; the window has the new mode's size.
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "depth 32");
    EXPECT_EQ(calls[1], "mode 1024x768x32");
    EXPECT_EQ(calls[2], "full 1024x768");
    EXPECT_TRUE(p.system.errors.empty());
    EXPECT_FALSE(called(calls, "restore-mode"));
    saver.ShutdownSaver();
    EXPECT_TRUE(called(calls, "restore-mode"));
}

TEST(DisplayMode, RefusedModeIsPrintedOnlyAndTheWindowStillCoversTheScreen) {
    Platform p;
    p.windows.modeChangeWorks = false;
    storeMode(p, 640, 480, 16);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    ASSERT_EQ(p.system.errors.size(), 1u);
    EXPECT_EQ(p.system.errors[0], "Changing screen resolution failed!");
    // No dialog: nobody could answer it under the full-screen window's grab.
    EXPECT_EQ(p.system.dialogs, 0);
    EXPECT_TRUE(called(p.windows.calls, "full 1280x1024"));
}

TEST(DisplayMode, NonsenseModesAreNeverAskedFor) {
    struct Case {
        int width, height, bits;
    };
    for (const Case& c : {Case{0, 0, 16}, Case{-5, 7, 16}, Case{100000, 100000, 32}, Case{800, 600, 3},
                          Case{0xffff, 0xffff, 16}, Case{0x7fffffff, 0x7fffffff, 32}}) {
        Platform p;
        storeMode(p, c.width, c.height, c.bits);
        TestSaver saver(Variant::Plain, p.windows, p.system);
        test::captureErrors();
        ASSERT_TRUE(saver.Create(line(u"saver /s")));
        const std::string printed = test::capturedErrors();
        const std::string mode = std::to_string(c.width) + " x " + std::to_string(c.height);
        EXPECT_FALSE(std::any_of(p.windows.calls.begin(), p.windows.calls.end(),
                                 [](const std::string& call) { return call.rfind("mode ", 0) == 0; }))
            << mode;
        EXPECT_TRUE(called(p.windows.calls, "full 1280x1024")) << mode;
        EXPECT_NE(printed.find(mode), std::string::npos) << printed;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
        EXPECT_TRUE(p.system.errors.empty());
    }
}

TEST(DisplayMode, OnlyTheSaversOwnFullScreenWindowChangesTheMode) {
    // Inside the daemon's window (-root, --window-id), in the preview and the test window
    // the stored mode is never switched to.
    for (const char16_t* text : {u"saver /s", u"saver /p 77", u"saver /t"}) {
        Platform p;
        p.windows.hostWindow = std::u16string(text) == u"saver /s";
        storeMode(p, 1024, 768, 16);
        TestSaver saver(Variant::Plain, p.windows, p.system);
        ASSERT_TRUE(saver.Create(text));
        EXPECT_FALSE(called(p.windows.calls, "mode 1024x768x16"));
        EXPECT_TRUE(p.system.errors.empty());
    }
}

TEST(Create, UnchosenResolutionFallsBackToTheScreenSize) {
    // Keep-resolution switched off without picking a mode leaves -1 x -1, which is no window size.
    Platform p;
    p.system.registryStore.setDword("", "LeaveRes", 0);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    EXPECT_NE(std::find(p.windows.calls.begin(), p.windows.calls.end(), "full 1280x1024"), p.windows.calls.end());
}

TEST(Create, PreviewWaitsForItsHalfSecondTimer) {
    Platform p;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /p 77")));
    const auto& calls = p.windows.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "set-timer 1 500"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "kill-timer 1"), calls.end());
}

// ---------------------------------------------------------------- saver loop

TEST(RunSaverLoop, OrderOfTheLoopAndOneShutdown) {
    Platform p;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /t")));
    p.windows.calls.clear();
    EXPECT_TRUE(saver.Run());
    const std::vector<std::string> expectedSaver = {"init",   "build", "move", "render", "post", "move",
                                                    "render", "post",  "move", "render", "post", "release-objects"};
    EXPECT_EQ(saver.log, expectedSaver);
    // Context, black frame, then three frames each swapped once.
    EXPECT_EQ(p.windows.calls[0], "context 16");
    EXPECT_EQ(p.windows.calls[1], "clear");
    EXPECT_EQ(std::count(p.windows.calls.begin(), p.windows.calls.end(), "swap"), 4);
    EXPECT_EQ(saver.cleanups, 1);
    EXPECT_TRUE(saver.isShutDown());
    EXPECT_EQ(std::count(p.system.calls.begin(), p.system.calls.end(), "sdl-stop"), 1);
}

// A capped loop asks for the screen's refresh and sleeps until each frame is
// due on the clock the frame update reads; an uncapped one never sleeps.
TEST(RunSaverLoop, CappedLoopSleepsUntilEachFrameIsDue) {
    struct Case {
        int cap;
        std::vector<uint32_t> waits;
        bool swapInterval;
    };
    const Case cases[] = {
        {0, {}, false},
        {10, {100, 100, 100, 100}, true},
        {30, {33, 33, 34, 33}, true},  // 1000 / 30 without drift: frames at 0, 33, 66, 100, 133
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cap);
        Platform p;
        ManualClock clock(5000);
        p.windows.onWait = [&clock](uint32_t ms) { clock.advance(ms); };
        TestSaver saver(Variant::Plain, p.windows, p.system);
        saver.maxFrames = 5;
        saver.setFrameRateCap(c.cap);
        ASSERT_TRUE(saver.Create(line(u"saver /t")));
        saver.Run();
        EXPECT_EQ(saver.frames, 5);
        EXPECT_EQ(saver.framesDrawn(), 5u);
        EXPECT_EQ(p.windows.waits, c.waits);
        const bool asked = std::count(p.windows.calls.begin(), p.windows.calls.end(), "swap-interval 1") == 1;
        EXPECT_EQ(asked, c.swapInterval);
    }
    // A clock that stands still: each frame still waits once, for one frame's time.
    Platform p;
    ManualClock frozen(60000);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    saver.maxFrames = 4;
    saver.setFrameRateCap(20);
    ASSERT_TRUE(saver.Create(line(u"saver /t")));
    saver.Run();
    EXPECT_EQ(saver.frames, 4);
    EXPECT_EQ(p.windows.waits, (std::vector<uint32_t>{50, 50, 50}));
}

TEST(RunSaverLoop, PixelFormatFailuresStopBeforeTheScene) {
    for (auto [result, text] : {std::pair{ContextResult::NoPixelFormat,
                                          "ChoosePixelFormat() failed:  Cannot find a suitable pixel format."},
                                std::pair{ContextResult::PixelFormatRefused,
                                          "SetPixelFormat() failed:  Cannot set format specified."}}) {
        Platform p;
        p.windows.contextResult = result;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        ASSERT_TRUE(saver.Create(line(u"saver /t")));
        EXPECT_FALSE(saver.Run());  // the start failed: the program's status says so
        ASSERT_EQ(p.system.errors.size(), 1u);
        EXPECT_EQ(p.system.errors[0], text);
        EXPECT_EQ(p.system.dialogs, 1);
        EXPECT_TRUE(saver.log.empty());
        EXPECT_FALSE(saver.isShutDown());
    }
    // Full screen: the same text, printed only.
    Platform p;
    p.windows.contextResult = ContextResult::NoPixelFormat;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    EXPECT_FALSE(saver.Run());
    EXPECT_EQ(p.system.errors.size(), 1u);
    EXPECT_EQ(p.system.dialogs, 0);
}

TEST(RunSaverLoop, QuitMessageEndsTheLoopWithoutAnotherFrame) {
    Platform p;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    saver.maxFrames = 1000;
    ASSERT_TRUE(saver.Create(line(u"saver /t")));
    // One empty queue (a frame), then a key: shutdown posts WM_QUIT, taken before any further frame.
    p.windows.script = {Message{}, Message{FakeWindows::kMain, WM_KEYDOWN, VK_SPACE, 0}};
    EXPECT_TRUE(saver.Run());  // ended by input: an ordinary run
    EXPECT_EQ(saver.frames, 1);
    EXPECT_EQ(saver.cleanups, 1);
}

// The stop inside the loop ends SDL, whose tick counter starts again from zero:
// the loop's duration is still the time it ran, not a wrapped difference.
TEST(RunSaverLoop, DurationLineSurvivesTheClockResetAtTheStop) {
    struct ResettingSystem : FakeSystem {
        void stopSdl() override {
            FakeSystem::stopSdl();
            clock.set(0);
        }
        void debugOutput(const std::string& text) override { debugLines.push_back(text); }
        ManualClock clock{60000};
        std::vector<std::string> debugLines;
    };
    FakeWindows windows;
    ResettingSystem system;
    TestSaver saver(Variant::Plain, windows, system);
    saver.maxFrames = 1000;
    ASSERT_TRUE(saver.Create(line(u"saver /t")));
    windows.script = {Message{}, Message{FakeWindows::kMain, WM_KEYDOWN, VK_SPACE, 0}};
    EXPECT_TRUE(saver.Run());
    ASSERT_EQ(system.debugLines.size(), 1u);
    unsigned frames = 0;
    unsigned long milliseconds = 0;
    ASSERT_EQ(std::sscanf(system.debugLines[0].c_str(), "frame loop: %u frames in %lu ms", &frames, &milliseconds), 2)
        << system.debugLines[0];
    EXPECT_EQ(frames, 1u);
    EXPECT_LT(milliseconds, 60000u) << system.debugLines[0];
}

// The system hears of a running full-screen saver once its scene is built, and
// of its end at the shutdown; the other modes never tell it.
TEST(RunSaverLoop, FullScreenSaverIsAnnouncedWhileItRuns) {
    for (const char16_t* commandLine : {u"saver /s", u"saver /t"}) {
        Platform p;
        TestSaver saver(Variant::Plain, p.windows, p.system);
        ASSERT_TRUE(saver.Create(commandLine));
        p.windows.calls.clear();
        saver.Run();
        const std::vector<std::string>& calls = p.windows.calls;
        const auto running = std::find(calls.begin(), calls.end(), "saver-running");
        const auto stopped = std::find(calls.begin(), calls.end(), "saver-stopped");
        if (std::u16string(commandLine) == u"saver /t") {
            EXPECT_EQ(running, calls.end());
            EXPECT_EQ(stopped, calls.end());
            continue;
        }
        ASSERT_NE(running, calls.end());
        ASSERT_NE(stopped, calls.end());
        EXPECT_LT(std::find(calls.begin(), calls.end(), "clear"), running);  // after the black frame and the build
        EXPECT_LT(running, std::find(calls.begin(), calls.end(), "release-context"));
        EXPECT_LT(stopped, std::find(calls.begin(), calls.end(), "release-context"));
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "saver-stopped"), 1);
    }
}

// A window system that dispatches messages itself (Win32) hands them back
// marked as delivered: the loop must not run the window procedure on them again.
TEST(RunSaverLoop, DeliveredMessagesAreNotHandledTwice) {
    Platform p;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /t")));
    Message delivered{FakeWindows::kMain, WM_KEYDOWN, 'A', 0};
    delivered.delivered = true;
    p.windows.script = {delivered, Message{}, Message{FakeWindows::kMain, WM_KEYDOWN, 'A', 0}};
    saver.maxFrames = 1000;
    EXPECT_TRUE(saver.Run());
    // The delivered key is left alone; the frame after it is drawn; the queued key ends the saver.
    EXPECT_EQ(saver.frames, 1);
    EXPECT_TRUE(saver.isShutDown());
}

TEST(RunSaverLoop, FailingSceneBuildSkipsTheLoop) {
    Platform p;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    saver.buildResult = false;
    ASSERT_TRUE(saver.Create(line(u"saver /t")));
    EXPECT_FALSE(saver.Run());
    EXPECT_EQ(saver.frames, 0);
    EXPECT_FALSE(saver.isShutDown());
}

// A stop input or a termination request during a long build ends it between
// two assets; the shutdown then runs once, after the build returned, as after
// any run (mode restored, scene released), and no frame is drawn. Inputs the
// mode ignores leave the build going.
TEST(RunSaverLoop, StopsDuringTheBuildEndBetweenAssets) {
    const Message empty{};
    struct Case {
        const char* name;
        Variant variant;
        const char16_t* commandLine;
        Message input;
        int assetsLoaded;  // of 5
    };
    const Case cases[] = {
        {"key in the saver", Variant::Plain, u"saver /s", {FakeWindows::kMain, WM_KEYDOWN, VK_SPACE, 0}, 2},
        {"termination", Variant::Plain, u"saver /s", {FakeWindows::kMain, WM_DESTROY, 0, 0}, 2},
        {"quit message", Variant::Plain, u"saver /t", {0, WM_QUIT, 0, 0}, 2},
        {"Escape in the viewer", Variant::Viewer, u"saver", {FakeWindows::kMain, WM_KEYDOWN, VK_ESCAPE, 0}, 2},
        {"other key in the viewer", Variant::Viewer, u"saver", {FakeWindows::kMain, WM_KEYDOWN, VK_SPACE, 0}, 5},
        {"click in the test window", Variant::Plain, u"saver /t", {FakeWindows::kMain, WM_LBUTTONDOWN, 0, 0}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Platform p;
        TestSaver saver(c.variant, p.windows, p.system);
        saver.assets = 5;
        saver.maxFrames = 1;
        ASSERT_TRUE(saver.Create(c.commandLine));
        p.windows.calls.clear();
        p.windows.script = {empty, empty, c.input};
        EXPECT_TRUE(saver.Run());  // an ordinary end
        std::vector<std::string> expected = {"init", "build"};
        expected.insert(expected.end(), static_cast<size_t>(c.assetsLoaded), "asset");
        if (c.assetsLoaded < 5) {
            expected.insert(expected.end(), {"release-objects", "cleanup"});
            EXPECT_EQ(saver.frames, 0);
        } else {
            expected.insert(expected.end(), {"move", "render", "post", "release-objects", "cleanup"});
        }
        EXPECT_EQ(saver.log, expected);
        EXPECT_EQ(saver.cleanups, 1);
        EXPECT_EQ(std::count(p.system.calls.begin(), p.system.calls.end(), "sdl-stop"), 1);
        const bool fullScreen = c.commandLine != std::u16string(u"saver /t");
        EXPECT_EQ(std::count(p.windows.calls.begin(), p.windows.calls.end(), "restore-mode"), fullScreen ? 1 : 0);
    }
}

// ---------------------------------------------------------------- stop rules

struct Running {
    Platform p;
    TestSaver saver;
    Running(Variant variant, const char16_t* commandLine) : saver(variant, p.windows, p.system) {
        EXPECT_TRUE(saver.Create(commandLine));
    }
    void send(uint32_t message, uint64_t wParam = 0, int64_t lParam = 0) {
        saver.WindowProc(FakeWindows::kMain, message, wParam, lParam);
    }
};

TEST(StopRules, TestModeIgnoresClicksAndFocusButNotKeys) {
    Running r(Variant::Plain, u"saver /t");
    r.send(WM_LBUTTONDOWN);
    r.send(WM_RBUTTONDOWN);
    r.send(WM_MBUTTONDOWN);
    r.send(WM_ACTIVATEAPP, 0);
    EXPECT_FALSE(r.saver.isShutDown());
    r.send(WM_KEYDOWN, 'A');
    EXPECT_TRUE(r.saver.isShutDown());
}

TEST(StopRules, FullModeStopsOnClickAndLostActivation) {
    for (uint32_t message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_ACTIVATEAPP, WM_KEYDOWN}) {
        Running r(Variant::Plain, u"saver /s");
        r.send(message, 0);
        EXPECT_TRUE(r.saver.isShutDown()) << message;
    }
    Running r(Variant::Plain, u"saver /s");
    r.send(WM_ACTIVATEAPP, 1);  // gaining activation is no reason to stop
    EXPECT_FALSE(r.saver.isShutDown());
}

TEST(StopRules, SixthDistinctMousePositionStops) {
    Running r(Variant::Plain, u"saver /s");
    for (int i = 0; i < 5; ++i) {
        r.send(WM_MOUSEMOVE, 0, packMousePosition(10 + i, 20));
        r.send(WM_MOUSEMOVE, 0, packMousePosition(10 + i, 20));  // the same position again does not count
    }
    EXPECT_FALSE(r.saver.isShutDown());
    EXPECT_EQ(r.saver.mouseMoveCount(), 5);
    r.send(WM_MOUSEMOVE, 0, packMousePosition(-3, -4));  // negative coordinates unpack as signed
    EXPECT_TRUE(r.saver.isShutDown());
}

TEST(StopRules, ViewerIgnoresInputInTheWindowProcedure) {
    Running r(Variant::Viewer, u"reefsaver");
    for (int i = 0; i < 10; ++i) r.send(WM_MOUSEMOVE, 0, packMousePosition(i, i));
    r.send(WM_LBUTTONDOWN);
    r.send(WM_KEYDOWN, 'A');
    EXPECT_FALSE(r.saver.isShutDown());
    r.send(WM_ACTIVATEAPP, 0);
    EXPECT_TRUE(r.saver.isShutDown());
}

TEST(StopRules, PreviewAndConfigIgnoreInterrupts) {
    Running r(Variant::Plain, u"saver /p 8");
    r.send(WM_KEYDOWN, 'A');
    r.send(WM_LBUTTONDOWN);
    EXPECT_FALSE(r.saver.isShutDown());
    r.send(WM_PAINT);
    EXPECT_NE(std::find(r.p.windows.calls.begin(), r.p.windows.calls.end(), "fill-black"), r.p.windows.calls.end());
}

TEST(StopRules, ShutdownRunsOnceAndDestroyAfterwardsDoesNothing) {
    Running r(Variant::Plain, u"saver /s");
    r.send(WM_DESTROY);
    EXPECT_TRUE(r.saver.isShutDown());
    EXPECT_EQ(r.saver.cleanups, 1);
    r.send(WM_DESTROY);
    r.saver.ShutdownSaver();
    r.send(WM_KEYDOWN, 'A');
    EXPECT_EQ(r.saver.cleanups, 1);
    EXPECT_EQ(std::count(r.p.system.calls.begin(), r.p.system.calls.end(), "sdl-stop"), 1);
    EXPECT_EQ(std::count(r.p.windows.calls.begin(), r.p.windows.calls.end(), "post-quit"), 1);
}

TEST(StopRules, SystemCommandsAndSuspendQuery) {
    Running full(Variant::Plain, u"saver /s");
    for (uint64_t command : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_CLOSE, SC_SCREENSAVE})
        EXPECT_EQ(full.saver.WindowProc(FakeWindows::kMain, WM_SYSCOMMAND, command, 0), 0);
    EXPECT_FALSE(full.saver.isShutDown());
    full.send(WM_POWERBROADCAST, 3);
    EXPECT_FALSE(full.saver.isShutDown());
    full.send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND);
    EXPECT_TRUE(full.saver.isShutDown());
}

TEST(StopRules, FullModeHidesTheCursor) {
    Running r(Variant::Plain, u"saver /s");
    EXPECT_EQ(r.saver.WindowProc(FakeWindows::kMain, WM_SETCURSOR, 0, 0), 1);
    EXPECT_FALSE(r.p.windows.cursorVisible);
}

// ---------------------------------------------------------------- password (old-system path)

int g_verifierCalls = 0;
int g_verifierAnswer = 0;
int fakeVerifier(WindowHandle) {
    ++g_verifierCalls;
    return g_verifierAnswer;
}

GLSaver* g_promptedSaver = nullptr;
bool g_cursorVisibleInPrompt = false;
int cursorCheckingVerifier(WindowHandle window) {
    // The pointer moves over the saver while the prompt is open.
    g_promptedSaver->WindowProc(window, WM_SETCURSOR, window, 0);
    g_promptedSaver->WindowProc(window, WM_KEYDOWN, 'A', 0);  // no second prompt
    ++g_verifierCalls;
    return 0;
}

TEST(Password, PromptRestoresMaximisesAndShowsTheCursor) {
    Platform p;
    p.system.platform = 1;
    p.system.registryStore.setDword("Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    int module = 0;
    p.system.modules["PASSWORD.CPL"] = &module;
    p.system.symbols["VerifyScreenSavePwd"] = reinterpret_cast<void*>(&cursorCheckingVerifier);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    g_promptedSaver = &saver;
    g_verifierCalls = 0;
    p.windows.calls.clear();
    saver.WindowProc(FakeWindows::kMain, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(g_verifierCalls, 1);
    const std::vector<std::string> expected = {"restore", "maximize", "cursor-shown", "cursor-shown", "cursor-hidden"};
    EXPECT_EQ(p.windows.calls, expected);
    EXPECT_FALSE(saver.isShutDown());
    g_promptedSaver = nullptr;
}

TEST(Password, WrongPasswordResetsTheMouseCountAndKeepsRunning) {
    Platform p;
    p.system.platform = 1;
    p.system.registryStore.setDword("Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    int module = 0;
    p.system.modules["PASSWORD.CPL"] = &module;
    p.system.symbols["VerifyScreenSavePwd"] = reinterpret_cast<void*>(&fakeVerifier);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    g_verifierCalls = 0;
    g_verifierAnswer = 0;
    for (int i = 0; i < 6; ++i) saver.WindowProc(FakeWindows::kMain, WM_MOUSEMOVE, 0, packMousePosition(i, 0));
    EXPECT_EQ(g_verifierCalls, 1);
    EXPECT_FALSE(saver.isShutDown());
    EXPECT_EQ(saver.mouseMoveCount(), 0);
    // With a verifier loaded a suspend query cannot skip the password.
    saver.WindowProc(FakeWindows::kMain, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0);
    EXPECT_FALSE(saver.isShutDown());
    g_verifierAnswer = 1;
    saver.WindowProc(FakeWindows::kMain, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(saver.isShutDown());
    EXPECT_NE(std::find(p.system.calls.begin(), p.system.calls.end(), "free-module"), p.system.calls.end());
}

TEST(Password, ModernPlatformNeverLoadsTheVerifier) {
    Platform p;
    p.system.registryStore.setDword("Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    EXPECT_EQ(std::count(p.system.calls.begin(), p.system.calls.end(), "load PASSWORD.CPL"), 0);
    saver.WindowProc(FakeWindows::kMain, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(saver.isShutDown());
}

TEST(Password, ChangeModeWithoutTheModuleDoesNothing) {
    Platform p;
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /a 99")));
    EXPECT_TRUE(saver.Run());
    EXPECT_EQ(std::count(p.system.calls.begin(), p.system.calls.end(), "load MPR.DLL"), 1);
    EXPECT_TRUE(p.windows.calls.empty());
}

// ---------------------------------------------------------------- monitors

TEST(Monitors, MirrorsSkippedClonesUnshadedAtMostNine) {
    Platform p;
    p.windows.monitorList.clear();
    p.windows.monitorList.push_back({true, false, {0, 0, 1280, 1024}, 1});
    p.windows.monitorList.push_back({false, true, {1280, 0, 2560, 1024}, 2});   // mirror
    p.windows.monitorList.push_back({false, false, {0, 0, 1280, 1024}, 3});     // clone
    p.windows.monitorList.push_back({false, false, {1280, 0, 2560, 1024}, 4});  // real second screen
    TestSaver saver(Variant::Plain, p.windows, p.system);
    ASSERT_TRUE(saver.Create(line(u"saver /s")));
    EXPECT_EQ(saver.monitorCount(), 3);
    EXPECT_TRUE(saver.screenSettings().multiMonitor);
    saver.CreateShadeWindows();
    ASSERT_EQ(p.windows.shades.size(), 1u);
    EXPECT_EQ(p.windows.shades[0], (ScreenRect{1280, 0, 2560, 1024}));

    Platform many;
    many.windows.monitorList.clear();
    for (int i = 0; i < 12; ++i) many.windows.monitorList.push_back({i == 0, false, {i * 100, 0, i * 100 + 100, 100}, 0});
    TestSaver manySaver(Variant::Plain, many.windows, many.system);
    ASSERT_TRUE(manySaver.Create(line(u"saver /s")));
    EXPECT_EQ(manySaver.monitorCount(), 9);

    // The monitors are read again when the shade windows are placed.
    p.windows.monitorList[3].rect = {1024, 0, 2048, 768};
    saver.PlaceShadeWindows();
    ASSERT_EQ(p.windows.placedAt.size(), 1u);
    EXPECT_EQ(p.windows.placedAt[0], (ScreenRect{1024, 0, 2048, 768}));

    Platform single;
    TestSaver singleSaver(Variant::Plain, single.windows, single.system);
    ASSERT_TRUE(singleSaver.Create(line(u"saver /s")));
    EXPECT_EQ(singleSaver.monitorCount(), 1);
    EXPECT_FALSE(singleSaver.screenSettings().multiMonitor);
}

TEST(Monitors, ShadeWindowsOnlyInFullScreenWithShadingOn) {
    struct Case {
        const char16_t* commandLine;
        bool shade;
        size_t shades;
    };
    for (const Case& c : {Case{u"saver /s", true, 1}, Case{u"saver /s", false, 0}, Case{u"saver /t", true, 0}}) {
        Platform p;
        p.windows.monitorList.push_back({false, false, {1280, 0, 2560, 1024}, 2});
        p.system.registryStore.setDword("", "ShadeScecondary", c.shade ? 1 : 0);
        TestSaver saver(Variant::Plain, p.windows, p.system);
        ASSERT_TRUE(saver.Create(c.commandLine));
        saver.Run();
        EXPECT_EQ(p.windows.shades.size(), c.shades);
        EXPECT_EQ(p.windows.placedAt.size(), c.shades);
    }
}

}  // namespace
}  // namespace reef
