// The whole reef as the screensaver program runs it: the real ReefSaver on the
// real X11 window system, Linux services and SDL engine imports, with the
// generated data folder beside this binary (<build>/bin/Marevo2). Three cases:
// the 800 x 600 test window ("/t") and full screen ("/s", the X screen's size),
// each a fixed number of frames, and the full-screen cycle ("Scene/cycle"): the
// real clock for SCENE_BENCH_CYCLE_S seconds from the first frame, which at the
// default settings is one rest-tilt-rest-tilt cycle of the automatic camera.
//
// Per case it reports, in Google Benchmark's normal output:
//   Time                 ms per steady-state frame (update + draw; manual timing)
//   update_ms            FrameMove
//   draw_ms              Render + glFinish + swap (render_ms and swap_ms apart)
//   submit_ms            Render alone, before glFinish: the main thread's share,
//                        which the driver's threads wait for
//   fastest_frame_ms     the quickest timed frame: with a frozen clock every frame
//                        is the same picture, and a busy machine only adds time
//   events_ms            the message pump before each frame (not in Time)
//   warmup_ms            ms per frame over the warm-up frames
//   startup_ms           constructing the application object to the end of the
//                        first frame's swap (construct/create/initgl/build/first
//                        frame apart, each *_ms)
//   fps                  steady-state frames per second (1000 / Time)
//   cpu_ms               process CPU time (every thread, the GL driver's too) per
//                        steady-state frame, message pump included
//   peak_rss_MiB         getrusage ru_maxrss at the end of the case
//   rss_*_MiB            VmRSS with the GL context ready (gl), after BuildScene
//                        (built), after the first frame (first) and at the end
//   allocs_per_frame     global operator new calls per steady-state frame (all
//                        threads; C allocations such as Mesa's are not counted)
//   width, height        the GL window's client size
// The cycle case reports instead of the steady frame figures:
//   cycle_fps            frames per second over the whole cycle
//   slowest_window_fps   the fewest frames per second in any window of
//                        SCENE_BENCH_WINDOW_S seconds (sliding, frame by frame)
//   slowest_window_at_s  where that window starts, in seconds after the first frame
//   slowest_later_window_fps  the same over the windows that start one window
//                        length or more after the first frame
//   cycle_cpu_ms         process CPU time per frame over the cycle
//   frames               frames drawn in the cycle
//
// It needs a DISPLAY; run it through bench/run_scene_bench.sh, which starts Xvfb
// at each size and runs one case per server (peak memory is per process).
//
// Environment:
//   SCENE_BENCH_FRAMES   timed frames per case (default 300)
//   SCENE_BENCH_WARMUP   frames after the first one before timing starts and
//                        allocation counting begins (default 100)
//   SCENE_BENCH_IDLE=1   keep the idle scheduling the saver asks for at start;
//                        by default the bench goes back to normal scheduling
//                        right after Create so other work on the machine does
//                        not starve the measured frames
//   SCENE_BENCH_TRACE_ALLOCS=1  print a backtrace (to standard error) of every
//                        allocation made during the timed frames
//   SCENE_BENCH_CYCLE_S  seconds of the cycle case (default 60)
//   SCENE_BENCH_WINDOW_S seconds of its sliding window (default 5)
//   SCENE_BENCH_TWO_PASSES=1  draw the water and the light pattern as two passes
//                        even where one would do, to compare the two in one build
//   SCENE_BENCH_SEED     random seed set after construction (default 1), so the
//                        scene's make-up is the same from run to run
// Besides Google Benchmark's flags it takes the saver's own options (--camera
// bottom, --fish 0, ...: reefsaver --help lists them); with
// REEFSAVER_FROZEN_CLOCK_MS every frame is then the same view, for comparing
// changes pass by pass.
// Unless already set, the bench sets REEFSAVER_NO_DIALOGS=1, SDL_AUDIODRIVER=dummy
// and XDG_CONFIG_HOME to a fresh temporary folder (so the settings are defaults),
// removed when the bench ends.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <execinfo.h>
#include <sched.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandLineOptions.h"
#include "app/ReefSaver.h"
#include "core/Random.h"
#include "engine/EngineImports.h"
#include "platform/LinuxSystemServices.h"
#include "platform/SdlEngineImports.h"
#include "platform/WindowMessages.h"
#include "platform/X11WindowSystem.h"
#include "testsupport/TempFolder.h"

// ---------------------------------------------------------------- allocation counting

namespace {
std::atomic<long long> g_allocations{0};
std::atomic<bool> g_traceAllocations{false};
thread_local bool t_tracing = false;

// Prints where an allocation during the timed frames comes from (once per call;
// the backtrace's own allocations are not traced again).
void traceAllocation(std::size_t size) {
    if (!g_traceAllocations.load(std::memory_order_relaxed) || t_tracing) return;
    t_tracing = true;
    void* frames[24];
    const int depth = backtrace(frames, 24);
    std::fprintf(stderr, "scene_bench: allocation of %zu bytes during the timed frames:\n", size);
    backtrace_symbols_fd(frames, depth, 2);
    t_tracing = false;
}

void* countedAlloc(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    traceAllocation(size);
    return std::malloc(size ? size : 1);
}

void* countedAlignedAlloc(std::size_t size, std::align_val_t alignment) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = ((size ? size : 1) + align - 1) / align * align;
    return std::aligned_alloc(align, rounded);
}
}  // namespace

// NOTE: the replaced operators pair malloc with free themselves; GCC cannot see
// that through the inlined replacements and warns about a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (void* p = countedAlloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* p = countedAlignedAlloc(size, alignment)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace reef {
namespace {

using SteadyClock = std::chrono::steady_clock;

int g_timedFrames = 300;
int g_warmupFrames = 100;
int g_cycleSeconds = 60;
int g_windowSeconds = 5;
SettingOverrides g_overrides;  // the saver's own options given on the command line

double msBetween(SteadyClock::time_point from, SteadyClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

int envInt(const char* name, int fallback, int lowest) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < lowest || value > 1000000) {
        std::fprintf(stderr, "%s=%s ignored (want a whole number >= %d)\n", name, text, lowest);
        return fallback;
    }
    return static_cast<int>(value);
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

// The resident size now (VmRSS), in MiB; 0 when /proc cannot be read.
double currentRssMiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0.0;
    char line[256];
    double kib = 0.0;
    while (std::fgets(line, sizeof(line), status)) {
        if (std::sscanf(line, "VmRSS: %lf kB", &kib) == 1) break;
    }
    std::fclose(status);
    return kib / 1024.0;
}

double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

// Undoes the saver's idle scheduling for this thread (and the threads it starts
// from now on, such as the GL driver's), unless SCENE_BENCH_IDLE asks to keep it.
void restoreNormalScheduling() {
    const char* keep = std::getenv("SCENE_BENCH_IDLE");
    if (keep && std::string(keep) == "1") return;
    sched_param param{};
    param.sched_priority = 0;
    if (sched_setscheduler(0, SCHED_OTHER, &param) != 0)
        std::fprintf(stderr, "scene_bench: could not leave idle scheduling; timings may suffer\n");
    setpriority(PRIO_PROCESS, 0, 0);
}

// The installed engine imports for the life of one case, as the program entry does.
class ImportsInstalled {
public:
    explicit ImportsInstalled(EngineImports* imports) { setEngineImports(imports); }
    ~ImportsInstalled() { setEngineImports(nullptr); }
    ImportsInstalled(const ImportsInstalled&) = delete;
    ImportsInstalled& operator=(const ImportsInstalled&) = delete;
};

// What the saver's frame loop does with messages between frames: every pending
// message goes to the window procedure. False once the saver has been told to stop.
bool pumpMessages(X11WindowSystem& windows, ReefSaver& saver) {
    Message msg;
    while (windows.peekMessage(msg)) {
        if (msg.message == WM_QUIT) return false;
        if (msg.window != 0) saver.WindowProc(msg.window, msg.message, msg.wParam, msg.lParam);
    }
    return !saver.quitRequested() && !saver.isShutDown();
}

struct FrameTimes {
    double updateMs = 0;
    double submitMs = 0;  // Render alone: the main thread handing the frame to GL
    double renderMs = 0;
    double swapMs = 0;
};

// One frame as the saver loop runs it, with glFinish after Render so the draw
// time holds the GL work rather than only its submission.
FrameTimes runFrame(X11WindowSystem& windows, ReefSaver& saver) {
    const SteadyClock::time_point t0 = SteadyClock::now();
    saver.FrameMove();
    const SteadyClock::time_point t1 = SteadyClock::now();
    saver.Render();
    const SteadyClock::time_point submitted = SteadyClock::now();
    glFinish();
    const SteadyClock::time_point t2 = SteadyClock::now();
    windows.swapBuffers();
    const SteadyClock::time_point t3 = SteadyClock::now();
    saver.PostFrame();
    return {msBetween(t0, t1), msBetween(t1, submitted), msBetween(t1, t2), msBetween(t2, t3)};
}

// The fewest frames per second in any window of windowS seconds that lies wholly
// within the run and starts at earliestS or later: for every frame, the frames that
// end within windowS after it. frameEndS holds each frame's end, in seconds from the
// start, in order.
struct SlowestWindow {
    double fps = 0;
    double startS = 0;
};
SlowestWindow slowestWindow(const std::vector<double>& frameEndS, double windowS, double earliestS = 0.0) {
    SlowestWindow slowest{-1, 0};
    size_t last = 0;
    // The start itself opens the first window, so the first frame counts too.
    for (size_t first = 0; first <= frameEndS.size(); ++first) {
        const double start = first == 0 ? 0.0 : frameEndS[first - 1];
        if (frameEndS.empty() || start + windowS > frameEndS.back()) break;
        if (start < earliestS) continue;
        if (last < first) last = first;
        while (last < frameEndS.size() && frameEndS[last] <= start + windowS) ++last;
        const double fps = static_cast<double>(last - first) / windowS;
        if (slowest.fps < 0 || fps < slowest.fps) slowest = {fps, start};
    }
    if (slowest.fps < 0) slowest.fps = 0;
    return slowest;
}

// The cycle: frames on the real clock for g_cycleSeconds from the end of the first
// frame, each frame's end kept (in storage reserved before, so the bench itself does
// not allocate while the saver runs).
void runCycle(benchmark::State& state, X11WindowSystem& windows, ReefSaver& saver) {
    std::vector<double> frameEndS;
    frameEndS.reserve(static_cast<size_t>(g_cycleSeconds) * 1000);
    const char* trace = std::getenv("SCENE_BENCH_TRACE_ALLOCS");
    g_traceAllocations = trace && std::string(trace) == "1";
    const long long allocationsBefore = g_allocations.load();
    const double cpuBefore = processCpuMs();
    const SteadyClock::time_point start = SteadyClock::now();
    for (auto _ : state) {
        while (frameEndS.size() < frameEndS.capacity()) {
            if (!pumpMessages(windows, saver)) {
                state.SkipWithError("the saver stopped during the run (input or a close request)");
                break;
            }
            runFrame(windows, saver);
            const double endS = msBetween(start, SteadyClock::now()) / 1000.0;
            frameEndS.push_back(endS);
            if (endS >= g_cycleSeconds) break;
        }
    }
    const double cpuMs = processCpuMs() - cpuBefore;
    const long long allocations = g_allocations.load() - allocationsBefore;
    g_traceAllocations = false;
    const double seconds = frameEndS.empty() ? 1.0 : frameEndS.back();
    const double n = frameEndS.empty() ? 1.0 : static_cast<double>(frameEndS.size());
    const SlowestWindow slowest = slowestWindow(frameEndS, g_windowSeconds);
    state.counters["cycle_fps"] = static_cast<double>(frameEndS.size()) / seconds;
    state.counters["slowest_window_fps"] = slowest.fps;
    state.counters["slowest_window_at_s"] = slowest.startS;
    // The same once the start-up (the driver's first shader builds) lies behind.
    state.counters["slowest_later_window_fps"] = slowestWindow(frameEndS, g_windowSeconds, g_windowSeconds).fps;
    state.counters["cycle_cpu_ms"] = cpuMs / n;
    state.counters["frames"] = static_cast<double>(frameEndS.size());
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / n;
}

// One case: the saver started with commandLine and its first frame; then either
// the warm-up frames and one benchmark iteration per frame, or the cycle.
void runScene(benchmark::State& state, const std::u16string& commandLine, bool cycle = false) {
    X11WindowSystem windows;
    LinuxSystemServices system;
    SdlEngineImports imports;
    ImportsInstalled installed(&imports);

    const SteadyClock::time_point start = SteadyClock::now();
    ReefSaver saver(Variant::Plain, windows, system);
    saver.overrideSettings(g_overrides);
    seedRandom(static_cast<uint32_t>(envInt("SCENE_BENCH_SEED", 1, 0)));
    const SteadyClock::time_point constructed = SteadyClock::now();
    if (access((saver.dataFolder() + "Directory.dat").c_str(), R_OK) != 0) {
        state.SkipWithError(("no data folder at " + saver.dataFolder() + " (build reef_data)").c_str());
        return;
    }
    if (!saver.Create(commandLine)) {
        state.SkipWithError("Create failed: no saver window (is DISPLAY set?)");
        return;
    }
    restoreNormalScheduling();
    const SteadyClock::time_point created = SteadyClock::now();

    // The saver loop's own start: context, GL state, a black frame, shade
    // windows over other monitors, then the scene.
    if (windows.createContext(saver.mainWindow(), saver.bitsPerPixel() & 0xFF) != ContextResult::Ok) {
        state.SkipWithError("no GL context on the saver window");
        return;
    }
    if (!saver.InitGL()) {
        windows.releaseContext();
        state.SkipWithError("InitGL failed");
        return;
    }
    windows.clearFrame();
    windows.swapBuffers();
    if (saver.runMode() == RunMode::Full && saver.monitorCount() > 1 && saver.screenSettings().shadeSecondary) {
        saver.CreateShadeWindows();
        saver.PlaceShadeWindows();
    }
    const SteadyClock::time_point glReady = SteadyClock::now();
    const double rssBeforeScene = currentRssMiB();
    if (!saver.BuildScene()) {
        windows.releaseContext();
        state.SkipWithError("BuildScene failed");
        return;
    }
    const SteadyClock::time_point built = SteadyClock::now();
    const char* twoPasses = std::getenv("SCENE_BENCH_TWO_PASSES");
    if (twoPasses && std::string(twoPasses) == "1") saver.scenery().litWater().setSinglePassAllowed(false);
    const double rssBuilt = currentRssMiB();
    pumpMessages(windows, saver);
    runFrame(windows, saver);
    const SteadyClock::time_point firstFrame = SteadyClock::now();
    const double rssFirstFrame = currentRssMiB();

    static bool rendererShown = false;
    if (!rendererShown) {
        rendererShown = true;
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        std::fprintf(stderr, "scene_bench: GL renderer %s, window %d x %d, data %s\n",
                     renderer ? renderer : "(unknown)", saver.width(), saver.height(), saver.dataFolder().c_str());
    }

    if (cycle) {
        runCycle(state, windows, saver);
        windows.releaseContext();
        saver.ShutdownSaver();
        state.counters["startup_ms"] = msBetween(start, firstFrame);
        state.counters["firstframe_ms"] = msBetween(built, firstFrame);
        state.counters["peak_rss_MiB"] = peakRssMiB();
        state.counters["width"] = saver.width();
        state.counters["height"] = saver.height();
        return;
    }

    bool running = true;
    double warmupMs = 0;
    for (int i = 0; i < g_warmupFrames && running; ++i) {
        running = pumpMessages(windows, saver);
        if (!running) break;
        const FrameTimes t = runFrame(windows, saver);
        warmupMs += t.updateMs + t.renderMs + t.swapMs;
    }

    FrameTimes sum;
    // On a shared machine other work only ever slows a frame down, so the fastest
    // frame of a frozen clock (every frame the same picture) is the steadiest figure.
    double fastestFrameMs = 0;
    double eventsMs = 0;
    long long frames = 0;
    const char* trace = std::getenv("SCENE_BENCH_TRACE_ALLOCS");
    g_traceAllocations = trace && std::string(trace) == "1";
    const long long allocationsBefore = g_allocations.load();
    const double cpuBefore = processCpuMs();
    for (auto _ : state) {
        const SteadyClock::time_point e0 = SteadyClock::now();
        running = running && pumpMessages(windows, saver);
        eventsMs += msBetween(e0, SteadyClock::now());
        if (!running) {
            state.SkipWithError("the saver stopped during the run (input or a close request)");
            break;
        }
        const FrameTimes t = runFrame(windows, saver);
        const double frameMs = t.updateMs + t.renderMs + t.swapMs;
        state.SetIterationTime(frameMs / 1000.0);
        if (frames == 0 || frameMs < fastestFrameMs) fastestFrameMs = frameMs;
        sum.updateMs += t.updateMs;
        sum.submitMs += t.submitMs;
        sum.renderMs += t.renderMs;
        sum.swapMs += t.swapMs;
        ++frames;
    }
    const long long allocations = g_allocations.load() - allocationsBefore;
    g_traceAllocations = false;
    const double cpuMs = processCpuMs() - cpuBefore;

    // The saver's own shutdown order: context released, then the scene cleaned up.
    windows.releaseContext();
    saver.ShutdownSaver();

    const double n = frames > 0 ? static_cast<double>(frames) : 1.0;
    state.counters["update_ms"] = sum.updateMs / n;
    state.counters["render_ms"] = sum.renderMs / n;
    state.counters["submit_ms"] = sum.submitMs / n;
    state.counters["swap_ms"] = sum.swapMs / n;
    state.counters["draw_ms"] = (sum.renderMs + sum.swapMs) / n;
    state.counters["events_ms"] = eventsMs / n;
    const double frameMs = (sum.updateMs + sum.renderMs + sum.swapMs) / n;
    state.counters["fps"] = frameMs > 0 ? 1000.0 / frameMs : 0.0;
    state.counters["cpu_ms"] = cpuMs / n;
    state.counters["fastest_frame_ms"] = fastestFrameMs;
    state.counters["warmup_ms"] = g_warmupFrames > 0 ? warmupMs / g_warmupFrames : 0.0;
    state.counters["construct_ms"] = msBetween(start, constructed);
    state.counters["create_ms"] = msBetween(constructed, created);
    state.counters["initgl_ms"] = msBetween(created, glReady);
    state.counters["build_ms"] = msBetween(glReady, built);
    state.counters["firstframe_ms"] = msBetween(built, firstFrame);
    state.counters["startup_ms"] = msBetween(start, firstFrame);
    state.counters["peak_rss_MiB"] = peakRssMiB();
    state.counters["rss_gl_MiB"] = rssBeforeScene;
    state.counters["rss_built_MiB"] = rssBuilt;
    state.counters["rss_first_MiB"] = rssFirstFrame;
    state.counters["rss_end_MiB"] = currentRssMiB();
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / n;
    state.counters["width"] = saver.width();
    state.counters["height"] = saver.height();
}

void BM_SceneTestWindow(benchmark::State& state) { runScene(state, u"scene_bench /t"); }
void BM_SceneFullScreen(benchmark::State& state) { runScene(state, u"scene_bench /s"); }
void BM_SceneCycle(benchmark::State& state) { runScene(state, u"scene_bench /s", true); }

// Sets an environment variable unless the caller set it already.
void defaultEnv(const char* name, const char* value) { setenv(name, value, 0); }

}  // namespace
}  // namespace reef

int main(int argc, char** argv) {
    reef::defaultEnv("REEFSAVER_NO_DIALOGS", "1");
    reef::defaultEnv("SDL_AUDIODRIVER", "dummy");
    std::optional<reef::test::TempFolder> configHome;
    if (!std::getenv("XDG_CONFIG_HOME") && !configHome.emplace().path().empty())
        setenv("XDG_CONFIG_HOME", configHome->path().c_str(), 1);
    reef::g_timedFrames = reef::envInt("SCENE_BENCH_FRAMES", 300, 1);
    reef::g_warmupFrames = reef::envInt("SCENE_BENCH_WARMUP", 100, 0);
    reef::g_cycleSeconds = reef::envInt("SCENE_BENCH_CYCLE_S", 60, 1);
    reef::g_windowSeconds = reef::envInt("SCENE_BENCH_WINDOW_S", 5, 1);
    if (reef::g_windowSeconds > reef::g_cycleSeconds) reef::g_windowSeconds = reef::g_cycleSeconds;

    benchmark::Initialize(&argc, argv);
    const reef::CommandLineOptions options = reef::CommandLineOptions::parse(argc, argv);
    if (const std::optional<int> answer = options.answerWithoutRunning()) return *answer;
    reef::g_overrides = options.overrides();
    std::vector<char*> unknown(options.remaining().size());
    for (size_t i = 0; i < unknown.size(); ++i) unknown[i] = const_cast<char*>(options.remaining()[i]);
    int unknownCount = static_cast<int>(unknown.size());
    if (benchmark::ReportUnrecognizedArguments(unknownCount, unknown.data())) return 1;
    benchmark::AddCustomContext("config_home", std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "");
    benchmark::AddCustomContext("display", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(none)");
    benchmark::AddCustomContext("frames", std::to_string(reef::g_timedFrames) + " timed after " +
                                              std::to_string(reef::g_warmupFrames) + " warm-up");
    for (auto [name, function] : {std::pair{"Scene/test_window", &reef::BM_SceneTestWindow},
                                  std::pair{"Scene/full_screen", &reef::BM_SceneFullScreen}}) {
        benchmark::RegisterBenchmark(name, function)
            ->Iterations(reef::g_timedFrames)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Scene/cycle", &reef::BM_SceneCycle)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
