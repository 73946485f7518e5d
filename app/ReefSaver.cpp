#include "app/ReefSaver.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "app/DataFolder.h"
#include "engine/WideText.h"
#include "platform/SystemServices.h"
#include "world/Clock.h"
#include "world/Math.h"
#include "world/Random.h"

namespace reef {

namespace {

constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kNearPlane = 0.1;
constexpr double kFarPlane = 1000.0;
constexpr double kMaxAspect = 1.35;
constexpr float kFogColour[4] = {0.12109375f, 0.58984375f, 0.70703125f, 1.0f};
constexpr float kFogStart = 25.0f;
constexpr float kFogEnd = 50.0f;
constexpr float kLightPosition[4] = {100.0f, -200.0f, 0.0f, 1.0f};
constexpr float kLightAmbient[4] = {0.16f, 0.2f, 0.16f, 1.0f};
constexpr float kLightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kLightSpecular[4] = {1.0f, 1.0f, 0.9f, 1.0f};
constexpr uint32_t kFrameRatePeriodMs = 1000;
// The caustic and water textures scroll one full texture width in about 66.7 s.
constexpr float kTexturePhasePerMs = -0.000015f;

}  // namespace

ReefSaver::ReefSaver(Variant variant, WindowSystem& windows, SystemServices& system)
    : GLSaver(variant, windows, system) {
    m_dataFolder = DataFolder::fromProgramPath(system.programPath());
    const DataFolder::InstallTexts texts = DataFolder::readInstallTexts(m_dataFolder, m_directory, m_language);
    m_registryKeyPath = texts.registryKeyPath;
    m_longProgramName = texts.longProgramName;
    seedRandom(static_cast<uint32_t>(std::time(nullptr)));
    m_lastTick = getTicks();
    m_screenshots.configureFromEnvironment();
}

ReefSaver::~ReefSaver() = default;

bool ReefSaver::ReadSettings() {
    m_settings.read(*this, m_registryKeyPath);
    return true;
}

bool ReefSaver::WriteSettings() {
    m_settings.write(*this, m_registryKeyPath);
    return true;
}

bool ReefSaver::BuildScene() { return true; }

double ReefSaver::projectionAspect(int width, int height) {
    const double aspect = static_cast<double>(width) / static_cast<double>(height > 0 ? height : 1);
    return aspect > kMaxAspect ? kMaxAspect : aspect;
}

bool ReefSaver::InitGL() {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glViewport(0, 0, m_width, m_height);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees, projectionAspect(m_width, m_height), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glFogfv(GL_FOG_COLOR, kFogColour);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);

    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
    glEnable(GL_LIGHT0);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kLightAmbient);

    // The viewer never darkens other monitors.
    if (variant() == Variant::Viewer) screenSettings().shadeSecondary = false;
    return true;
}

void ReefSaver::FrameMove() {
    m_cameraMoved = false;
    if (variant() == Variant::Viewer && m_escapePressed) requestQuit();
    stepFrameTiming();
    stepTexturePhase();
}

void ReefSaver::stepFrameTiming() {
    const uint32_t now = getTicks();
    m_frameDurationMs = now - m_lastTick;
    m_lastTick = now;
    ++m_frameCounter;
    m_accumulatedMs += m_frameDurationMs;
    if (m_accumulatedMs >= kFrameRatePeriodMs) {
        char text[96];
        const double rate = m_frameCounter * 1000.0 / m_accumulatedMs;
        std::snprintf(text, sizeof(text), "%d x %d   %.2f fps", m_width, m_height, rate);
        m_frameRateText = fromUtf8(text);
        m_accumulatedMs = 0;
        m_frameCounter = 0;
    }
}

void ReefSaver::stepTexturePhase() {
    m_texturePhase = wrap(m_texturePhase + static_cast<float>(m_frameDurationMs) * kTexturePhasePerMs, 1);
}

void ReefSaver::Render() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // The eye stands at (0, 2, -7) looking toward +z (z negated in the GL frame).
    gluLookAt(0.0, 2.0, 7.0, 0.0, 0.0, -1.0, 0.0, 1.0, 0.0);
    if (m_screenshots.afterRender(getTicks(), m_width, m_height)) requestQuit();
}

bool ReefSaver::PostFrame() { return true; }

bool ReefSaver::Cleanup() { return true; }

bool ReefSaver::MessageHook(uint32_t message, uint64_t wParam, int64_t /*lParam*/) {
    if (variant() != Variant::Viewer) return false;
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) m_escapePressed = true;
    return message == WM_KEYDOWN || message == WM_KEYUP;
}

}  // namespace reef
