#include "shell/GLSaver.h"

#include <chrono>
#include <cstdio>

#include <optional>

#include "core/Clock.h"
#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"
#include "platform/RegistryStore.h"
#include "platform/SystemServices.h"
#include "platform/WindowSystem.h"
#include "shell/FramePacer.h"
#include "shell/RegistryKey.h"
#include "shell/ScreenSettingsDialog.h"

namespace reef {

namespace {

constexpr int kTestWidth = 800;
constexpr int kTestHeight = 600;
constexpr uint64_t kPreviewTimerId = 1;
constexpr uint32_t kPreviewDelayMs = 500;
constexpr int kMouseMovesTolerated = 5;
constexpr int kOldWindowsPlatformId = 1;
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
// The largest side a display mode may ask for (X's own limit on a screen's side).
constexpr int kMaxModeSide = 32767;

// A stored mode that no display could show (never chosen, negative, absurdly large,
// or a colour depth the settings dialog never offers) is not asked for at all.
bool isUsableDisplayMode(const ScreenSettings& s) {
    const bool depthKnown = s.bitsPerPixel == 16 || s.bitsPerPixel == 24 || s.bitsPerPixel == 32;
    return s.width > 0 && s.height > 0 && s.width <= kMaxModeSide && s.height <= kMaxModeSide && depthKnown;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

char16_t toLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

// The decimal number at the first digit at or after pos; 0 when there is none.
// Stops before the value could overflow a window id.
WindowHandle numberFrom(const std::u16string& line, size_t pos) {
    while (pos < line.size() && !isDigit(line[pos])) ++pos;
    WindowHandle value = 0;
    for (; pos < line.size() && isDigit(line[pos]); ++pos) {
        if (value > (UINT64_MAX - 9) / 10) break;
        value = value * 10 + static_cast<WindowHandle>(line[pos] - u'0');
    }
    return value;
}

}  // namespace

GLSaver::GLSaver(Variant variant, WindowSystem& windows, SystemServices& system)
    : m_variant(variant), m_windows(windows), m_system(system),
      m_registryKey(std::make_unique<RegistryKey>(system.registry())) {
    attachRegistryKey(m_registryKey.get());
    m_windows.setWindowProcedure([this](WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) {
        return WindowProc(window, message, wParam, lParam);
    });
    const std::string sdlError = m_system.startSdl();
    if (!sdlError.empty()) reportf(Channel::Error, texts::kSdlStartFailed, sdlError.c_str());
}

GLSaver::~GLSaver() {
    m_windows.setWindowProcedure(nullptr);
    if (m_runMode == RunMode::Full) m_windows.restoreDisplayMode();
}

// ---------------------------------------------------------------- start-up

bool GLSaver::Create(const std::u16string& commandLine) {
    m_system.setIdlePriority();
    const RunMode parsed = ParseCommandLine(commandLine);
    m_runMode = (m_variant == Variant::Viewer) ? RunMode::Full : parsed;
    // Without its data the saver would only show an empty window; the password
    // change needs none.
    if (m_runMode != RunMode::PasswordChange && !CanRun()) return false;
    ReadSettings();
    ReadScreenSettings();
    EnumerateMonitors();
    if (m_runMode == RunMode::Preview || m_runMode == RunMode::Full || m_runMode == RunMode::Test) {
        if (!CreateSaverWindow()) return false;
    }
    m_oldWindows = m_system.platformId() == kOldWindowsPlatformId;
    if (m_runMode == RunMode::Full && m_oldWindows) loadPasswordVerifier();
    if (m_runMode == RunMode::Preview) pumpPreviewHandshake();
    return true;
}

RunMode GLSaver::ParseCommandLine(const std::u16string& line) {
    m_parentWindow = 0;
    size_t pos = 0;
    if (!line.empty() && line[0] == u'"') {
        const size_t close = line.find(u'"', 1);
        pos = (close == std::u16string::npos) ? line.size() : close + 1;
    } else {
        const size_t blank = line.find(u' ');
        pos = (blank == std::u16string::npos) ? line.size() : blank + 1;
    }
    const size_t switchAt = line.find_first_of(u"/-", pos);
    if (switchAt == std::u16string::npos) return RunMode::Config;
    const size_t letterAt = switchAt + 1;
    const char16_t letter = letterAt < line.size() ? toLower(line[letterAt]) : u'\0';
    switch (letter) {
    case u'a':
        m_parentWindow = numberFrom(line, letterAt);
        return RunMode::PasswordChange;
    case u'c':
        m_parentWindow = numberFrom(line, letterAt);
        return RunMode::Config;
    case u'p':
        m_parentWindow = numberFrom(line, letterAt);
        return RunMode::Preview;
    case u't':
        return RunMode::Test;
    default:
        return RunMode::Full;
    }
}

void GLSaver::loadPasswordVerifier() {
    const std::optional<uint32_t> usePassword = m_system.registry().getDword(kDesktopKey, "ScreenSaveUsePassword");
    if (!usePassword || *usePassword == 0) return;
    m_passwordModule = m_system.loadModule("PASSWORD.CPL");
    if (m_passwordModule)
        m_verifier = reinterpret_cast<PasswordVerifier>(m_system.findSymbol(m_passwordModule, "VerifyScreenSavePwd"));
}

// The preview window appears about half a second before Create returns, so the
// host's preview box is ready before the first frame.
void GLSaver::pumpPreviewHandshake() {
    m_previewWait = true;
    m_windows.postMessage(m_window, WM_USER, 0, 0);
    Message msg;
    while (m_previewWait) {
        if (!m_windows.getMessage(msg)) {
            m_windows.postQuitMessage(0);
            break;
        }
        if (msg.window == m_window && !msg.delivered) WindowProc(msg.window, msg.message, msg.wParam, msg.lParam);
    }
}

// NOTE: the result says whether the mode could start at all, not how it ended:
// a dialog closed with Cancel and a saver ended by a key are both ordinary runs.
bool GLSaver::Run() {
    bool started = true;
    switch (m_runMode) {
    case RunMode::Config:
        started = DoConfig();
        Cleanup();
        break;
    case RunMode::Preview:
    case RunMode::Full:
    case RunMode::Test:
        started = RunSaverLoop();
        break;
    case RunMode::PasswordChange:
        ChangePassword();
        break;
    default:
        break;
    }
    return started;
}

void GLSaver::ChangePassword() {
    void* module = m_system.loadModule("MPR.DLL");
    if (!module) return;
    auto changer = reinterpret_cast<PasswordChanger>(m_system.findSymbol(module, "PwdChangePasswordA"));
    if (changer) changer("SCRSAVE", m_parentWindow, 0, 0);
    m_system.freeModule(module);
}

// ---------------------------------------------------------------- window and loop

bool GLSaver::CreateSaverWindow() {
    m_bitsPerPixel = m_screenSettings.bitsPerPixel;
    m_windows.chooseColourDepth(m_bitsPerPixel);
    switch (m_runMode) {
    case RunMode::Preview:
        m_window = m_windows.createPreviewWindow(m_parentWindow);
        break;
    case RunMode::Full: {
        if (!m_screenSettings.leaveResolution && !m_windows.drawsIntoHostWindow()) switchDisplayMode();
        // The window covers the primary screen in whatever mode it now shows: a mode
        // that could not be switched to must not leave part of the desktop uncovered.
        int width = 0, height = 0;
        m_windows.screenSize(width, height);
        m_window = m_windows.createFullWindow(width, height);
        break;
    }
    case RunMode::Test:
        m_window = m_windows.createTestWindow(kTestWidth, kTestHeight, m_windowTitle);
        break;
    default:
        return false;
    }
    if (m_window == 0) return false;
    m_windows.clientSize(m_window, m_width, m_height);
    return true;
}

void GLSaver::switchDisplayMode() {
    const ScreenSettings& s = m_screenSettings;
    if (!isUsableDisplayMode(s)) {
        reportf(Channel::Error, "The stored display mode %d x %d at %d bits per pixel cannot be used; "
                                "the saver keeps the current mode.",
                s.width, s.height, s.bitsPerPixel);
        return;
    }
    if (!m_windows.changeDisplayMode(s.width, s.height, s.bitsPerPixel))
        reportError("Changing screen resolution failed!");
}

void GLSaver::reportError(const std::string& text) {
    if (m_runMode == RunMode::Full)
        m_system.printError(text);
    else
        m_system.showError(text);
}

bool GLSaver::RunSaverLoop() {
    switch (m_windows.createContext(m_window, m_bitsPerPixel & 0xFF)) {
    case ContextResult::NoPixelFormat:
        reportError("ChoosePixelFormat() failed:  Cannot find a suitable pixel format.");
        return false;
    case ContextResult::PixelFormatRefused:
        reportError("SetPixelFormat() failed:  Cannot set format specified.");
        return false;
    case ContextResult::Ok:
        break;
    }
    m_contextCurrent = true;
    // A capped loop has no use for frames the screen cannot show.
    if (m_frameRateCap > 0) m_windows.setSwapInterval(1);
    if (!InitGL()) return false;
    m_windows.clearFrame();
    m_windows.swapBuffers();
    if (m_runMode == RunMode::Full && m_monitorCount > 1 && m_screenSettings.shadeSecondary) {
        CreateShadeWindows();
        PlaceShadeWindows();
    }
    m_building = true;
    const bool built = BuildScene();
    m_building = false;
    // A stop during the build is an ordinary end: the scene, whole or not, is
    // released by the shutdown and no frame is drawn.
    if (m_shutdownPending || quitRequested()) {
        m_system.debugOutput("scene build: stopped by a request to end");
        ShutdownSaver();
        return true;
    }
    if (!built) return false;
    if (m_runMode == RunMode::Full) m_windows.setScreenSaverRunning(true);
    runFrameLoop();
    ShutdownSaver();
    return true;
}

bool GLSaver::StopRequestedDuringBuild() {
    // A scene built outside the saver loop (a tool, a test) has no messages of its own.
    if (!m_building) return false;
    Message msg;
    while (!m_shutdownPending && !quitRequested() && m_windows.peekMessage(msg)) {
        if (msg.message == WM_QUIT) {
            requestQuit();
            break;
        }
        // The viewer ends on Escape, which its input tracker sees only once frames run.
        if (m_variant == Variant::Viewer && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            requestQuit();
            break;
        }
        // A window system that dispatches by itself has run the window procedure already.
        if (msg.window != 0 && !msg.delivered) WindowProc(msg.window, msg.message, msg.wParam, msg.lParam);
    }
    return m_shutdownPending || quitRequested();
}

// Messages first; when none is waiting, the next frame. A capped loop sleeps
// until its frame is due (waking early for a message), once per frame, so a
// clock that stands still cannot stop it.
void GLSaver::runFrameLoop() {
    FramePacer pacer(m_frameRateCap);
    bool waitedForFrame = false;
    // Measured on its own clock: the tick counter the frames read belongs to SDL,
    // and a stop inside the loop ends SDL and starts the counter again.
    const auto loopStart = std::chrono::steady_clock::now();
    const uint64_t framesBefore = m_framesDrawn;
    Message msg;
    msg.message = WM_NULL;
    while (!m_quit) {
        if (m_windows.peekMessage(msg)) {
            if (msg.message != WM_QUIT && msg.window != 0 && !msg.delivered)
                WindowProc(msg.window, msg.message, msg.wParam, msg.lParam);
        } else if (const uint32_t wait = pacer.millisecondsUntilDue(getTicks()); wait > 0 && !waitedForFrame) {
            m_windows.waitForMessage(wait);
            waitedForFrame = true;
        } else {
            pacer.frameStarted(getTicks());
            waitedForFrame = false;
            FrameMove();
            Render();
            m_windows.swapBuffers();
            PostFrame();
            ++m_framesDrawn;
        }
        if (msg.message == WM_QUIT) break;
    }
    const auto loopTime = std::chrono::steady_clock::now() - loopStart;
    m_system.debugOutput("frame loop: " + std::to_string(m_framesDrawn - framesBefore) + " frames in " +
                         std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(loopTime).count()) +
                         " ms");
}

void GLSaver::ReleaseGL() {
    ReleaseGLObjects();
    if (m_contextCurrent) m_windows.releaseContext();
    m_contextCurrent = false;
}

// ---------------------------------------------------------------- stopping

void GLSaver::InterruptSaver() {
    if (m_runMode != RunMode::Test && m_runMode != RunMode::Full) return;
    if (m_runMode == RunMode::Full && m_passwordDialogOpen) return;
    if (m_oldWindows && m_runMode == RunMode::Full && m_verifier) {
        if (!verifyPassword()) {
            m_windows.setCursorVisible(m_window, false);
            m_mouseMoves = 0;
            return;
        }
    }
    ShutdownSaver();
}

bool GLSaver::verifyPassword() {
    m_windows.restoreWindow(m_window);
    m_windows.showMaximized(m_window);
    m_passwordDialogOpen = true;
    m_windows.setCursorVisible(m_window, true);  // the person needs the pointer in the prompt
    const int accepted = m_verifier(m_window);
    m_passwordDialogOpen = false;
    return accepted != 0;
}

void GLSaver::ShutdownSaver() {
    if (m_shutDown) return;
    // Releasing the scene under the build's feet would leave it loading into
    // freed objects: the build notices the request between assets and returns.
    if (m_building) {
        m_shutdownPending = true;
        return;
    }
    m_shutDown = true;
    if (m_runMode == RunMode::Full) m_windows.setScreenSaverRunning(false);
    ReleaseGL();
    Cleanup();
    if (m_passwordModule) {
        m_system.freeModule(m_passwordModule);
        m_passwordModule = nullptr;
        m_verifier = nullptr;
    }
    if (m_runMode == RunMode::Full) m_windows.restoreDisplayMode();
    m_system.stopSdl();
    m_windows.postQuitMessage(0);
}

// ---------------------------------------------------------------- window procedure

int64_t GLSaver::WindowProc(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) {
    if (MessageHook(message, wParam, lParam)) return 0;
    const bool plain = m_variant == Variant::Plain;
    switch (message) {
    case WM_DESTROY:
        ShutdownSaver();
        break;
    case WM_PAINT:
        if (m_runMode == RunMode::Preview) m_windows.fillBlack(window);
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam == 0 && m_runMode != RunMode::Test) InterruptSaver();
        break;
    case WM_SETCURSOR:
        if (m_runMode == RunMode::Full && !m_passwordDialogOpen) {
            m_windows.setCursorVisible(window, false);
            return 1;
        }
        if (m_passwordDialogOpen) m_windows.setCursorVisible(window, true);
        break;
    case WM_KEYDOWN:
        if (plain) InterruptSaver();
        break;
    case WM_SYSCOMMAND:
        if (m_runMode == RunMode::Full && isSystemCommandSwallowed(wParam)) return 0;
        break;
    case WM_TIMER:
        m_previewWait = false;
        m_windows.killTimer(window, kPreviewTimerId);
        break;
    case WM_MOUSEMOVE:
        if (plain) handleMouseMove(lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (plain && m_runMode != RunMode::Test) InterruptSaver();
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND && m_verifier == nullptr) InterruptSaver();
        break;
    case WM_USER:
        m_windows.setTimer(window, kPreviewTimerId, kPreviewDelayMs);
        break;
    default:
        break;
    }
    return m_windows.defaultWindowProc(window, message, wParam, lParam);
}

void GLSaver::handleMouseMove(int64_t lParam) {
    const int x = mouseX(lParam);
    const int y = mouseY(lParam);
    if (x == m_lastMouseX && y == m_lastMouseY) return;
    m_lastMouseX = x;
    m_lastMouseY = y;
    ++m_mouseMoves;
    if (m_mouseMoves > kMouseMovesTolerated) InterruptSaver();
}

bool GLSaver::isSystemCommandSwallowed(uint64_t command) const {
    return command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_CLOSE || command == SC_SCREENSAVE;
}

// ---------------------------------------------------------------- screen settings and monitors

void GLSaver::ReadScreenSettings() { m_screenSettings.read(*this, m_registryKeyPath); }

void GLSaver::WriteScreenSettings() { m_screenSettings.write(*this, m_registryKeyPath); }

void GLSaver::ShowScreenSettings(DialogLayer& layer, DialogHandle parent) {
    ScreenSettingsDialog dialog(layer, m_system, m_screenSettings, m_dataFolder + "ScreenLanguage.dat");
    if (dialog.run(parent) == 1) WriteScreenSettings();
}

void GLSaver::EnumerateMonitors() {
    m_monitorCount = 0;
    for (const MonitorRecord& record : m_windows.monitors()) {
        if (record.mirror) continue;
        if (m_monitorCount == kMaxMonitors) break;
        MonitorInfo& info = m_monitors[m_monitorCount++];
        info = MonitorInfo{};
        info.primary = record.primary;
        info.rect = record.rect;
        info.monitor = record.handle;
    }
    if (m_monitorCount >= 2) m_screenSettings.multiMonitor = true;
}

namespace {
const MonitorInfo* lastPrimary(const std::array<MonitorInfo, kMaxMonitors>& monitors, int count) {
    const MonitorInfo* primary = nullptr;
    for (int i = 0; i < count; ++i)
        if (monitors[i].primary) primary = &monitors[i];
    return primary;
}
}  // namespace

void GLSaver::CreateShadeWindows() {
    const MonitorInfo* primary = lastPrimary(m_monitors, m_monitorCount);
    const ScreenRect primaryRect = primary ? primary->rect : ScreenRect{};
    for (int i = 0; i < m_monitorCount; ++i) {
        MonitorInfo& info = m_monitors[i];
        if (info.primary || info.rect == primaryRect) continue;
        info.shadeWindow = m_windows.createShadeWindow(info.rect);
    }
}

void GLSaver::PlaceShadeWindows() {
    const MonitorInfo* primary = lastPrimary(m_monitors, m_monitorCount);
    const ScreenRect primaryRect = primary ? primary->rect : ScreenRect{};
    // The monitors may have moved since they were listed (a display mode change
    // resizes the primary one); a monitor that cannot be read keeps its rectangle.
    for (int i = 0; i < m_monitorCount; ++i) {
        MonitorInfo& info = m_monitors[i];
        ScreenRect current;
        if (m_windows.monitorRect(info.monitor, current)) info.rect = current;
    }
    for (int i = 0; i < m_monitorCount; ++i) {
        MonitorInfo& info = m_monitors[i];
        if (info.primary || info.rect == primaryRect || info.shadeWindow == 0) continue;
        m_windows.placeWindow(info.shadeWindow, info.rect);
    }
}

}  // namespace reef
