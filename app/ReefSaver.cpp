#include "app/ReefSaver.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>

#include "app/ConfigDialog.h"
#include "app/DataFolder.h"
#include "core/Clock.h"
#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"
#include "core/Math.h"
#include "core/Random.h"
#include "engine/SoundPlayer.h"
#include "engine/WideText.h"
#include "platform/DialogLayer.h"
#include "platform/SystemServices.h"
#include "scene/SetDescriptor.h"
#include "scene/SubSetDescriptor.h"
#include "ui/LocaleLanguage.h"

namespace reef {

namespace {

constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kNearPlane = 0.1;
constexpr double kFarPlane = 1000.0;
constexpr double kMaxAspect = 1.35;
constexpr float kFogColour[4] = {0.12109375f, 0.58984375f, 0.70703125f, 1.0f};
constexpr float kFogStart = 25.0f;
constexpr float kFogEnd = 50.0f;
// A fog range that begins well beyond the far plane: every drawn point is nearer,
// so its fog factor clamps to exactly 1 and its colour stays as it was.
constexpr float kNoFogStart = static_cast<float>(kFarPlane) * 10.0f;
constexpr float kNoFogEnd = static_cast<float>(kFarPlane) * 20.0f;
constexpr float kLightPosition[4] = {100.0f, -200.0f, 0.0f, 1.0f};
constexpr float kLightAmbient[4] = {0.16f, 0.2f, 0.16f, 1.0f};
constexpr float kLightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kLightSpecular[4] = {1.0f, 1.0f, 0.9f, 1.0f};
constexpr float kMaterialSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kMaterialShininess = 128.0f;
constexpr uint32_t kFrameRatePeriodMs = 1000;
// The caustic and water textures scroll one full texture width in about 66.7 s.
constexpr float kTexturePhasePerMs = -0.000015f;
// The sky dome hangs this far below the eye, so the viewer looks up into its cap.
constexpr float kDomeBelowEye = 300.0f;
constexpr int kHelpHintMs = 10000;
constexpr size_t kFrameRateTextCapacity = 96;

// The keys tilt within the range of the fixed camera set-ups.
constexpr float kHighestKeyPitch = -25.0f;
constexpr float kLowestKeyPitch = 4.5f;

// The reef's sound ids of the four gull calls.
constexpr const char* kGullCalls[4] = {"sound/seagull1.wav", "sound/seagull2.wav", "sound/seagull3.wav",
                                       "sound/seagull4.wav"};

// Reads a whole number of milliseconds or a seed from the environment; false when
// the variable is unset or not a plain decimal number.
bool environmentNumber(const char* name, uint32_t& value) {
    const char* text = std::getenv(name);
    if (!text || !*text) return false;
    char* end = nullptr;
    const unsigned long number = std::strtoul(text, &end, 10);
    if (*end != '\0' || text[0] == '-' || number > UINT32_MAX) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

}  // namespace

ReefSaver::ReefSaver(Variant variant, WindowSystem& windows, SystemServices& system)
    : GLSaver(variant, windows, system),
      m_frozenClock(environmentNumber("REEFSAVER_FROZEN_CLOCK_MS", m_frozenAtMs)
                        ? std::make_unique<ManualClock>(m_frozenAtMs)
                        : nullptr),
      m_world(m_settings.fishSets, m_lister),
      m_pointer(windows),
      m_input(&m_pointer) {
    m_dataFolder = DataFolder::fromProgramPath(system.programPath());
    m_dataFolderUsable = DataFolder::isPresent(m_dataFolder, m_lister);
    m_languageSection = LocaleLanguage::fromEnvironment();
    const DataFolder::InstallTexts texts =
        DataFolder::readInstallTexts(m_dataFolder, m_directory, m_language, m_languageSection);
    m_registryKeyPath = texts.registryKeyPath;
    m_longProgramName = texts.longProgramName;
    seedRandom(static_cast<uint32_t>(std::time(nullptr)));
    m_lastTick = getTicks();
    m_frameRateText.reserve(kFrameRateTextCapacity);
    m_screenshots.configureFromEnvironment();
}

ReefSaver::~ReefSaver() { Cleanup(); }

bool ReefSaver::CanRun() {
    if (m_dataFolderUsable) return true;
    const std::string text = DataFolder::missingText(m_dataFolder);
    if (runMode() == RunMode::Config)
        system().showError(text);
    else
        system().printError(text);
    return false;
}

bool ReefSaver::ReadSettings() {
    m_settings.read(*this, m_registryKeyPath);
    if (runMode() == RunMode::Full || runMode() == RunMode::Preview || runMode() == RunMode::Test) applyOverrides();
    return true;
}

void ReefSaver::applyOverrides() {
    const SettingOverrides& o = m_overrides;
    if (o.fishCount) m_settings.FishCount = *o.fishCount;
    if (o.schoolSize) m_settings.BoidCount = *o.schoolSize;
    if (o.gulls) m_settings.BirdGull = *o.gulls;
    if (o.skyType) m_settings.SkyType = *o.skyType;
    if (o.cameraPosition) m_settings.CameraPos = *o.cameraPosition;
    if (o.sound) m_settings.SoundOn = *o.sound;
    if (o.frameRate) m_frameRateDisplay = *o.frameRate;
}

bool ReefSaver::WriteSettings() {
    m_settings.write(*this, m_registryKeyPath);
    return true;
}

// NOTE: the record is written in one replacement of the file; reading it back
// is what tells whether the store really took it (a read-only or locked file).
bool ReefSaver::storeSettings() {
    WriteSettings();
    SaverSettings stored;
    stored.read(*this, m_registryKeyPath);
    return m_settings.sameValues(stored);
}

bool ReefSaver::DoConfig() {
    if (!windows().connect()) return false;  // the window system has said why
    std::unique_ptr<DialogLayer> layer = system().dialogLayer(m_dataFolder);
    if (!layer) {
        system().showError("the settings dialog is not available here");
        return false;
    }
    ConfigDialog dialog(*layer, m_lister);
    ConfigActions actions;
    actions.showScreenSettings = [this, &layer](DialogHandle owner) { ShowScreenSettings(*layer, owner); };
    actions.storeSettings = [this] { return storeSettings(); };
    dialog.setApplication(std::move(actions));
    dialog.setLanguage(&m_language);
    dialog.setDirectory(&m_directory);
    dialog.setLanguageSection(m_languageSection);
    dialog.setInstallFolder(m_dataFolder);
    // The README lies beside the programs in a build tree and in the
    // package's documentation folder once installed.
    const std::string programPath = system().programPath();
    const std::string programFolder = programPath.substr(0, programPath.rfind('/') + 1);
    dialog.setDocumentFolders({programFolder, programFolder + REEF_DOCS_FROM_PROGRAM});
    dialog.setAdditionalSetsFolder(m_dataFolder + "sets\\additional\\");
    dialog.setDefaultFishSetsFolder(m_dataFolder + "sets\\default_fish\\");
    dialog.setDefaultDiverseSetsFolder(m_dataFolder + "sets\\default_diverse\\");
    dialog.bind(m_settings);
    // OK has stored the settings already, while the dialog could still report a failure.
    if (dialog.run(0) < 0) {
        system().showError(layer->lastError());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- OpenGL state

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

// ---------------------------------------------------------------- scene build

bool ReefSaver::BuildScene() {
    const BuildInterruption stop([this] { return StopRequestedDuringBuild(); });
    freezeClockFromEnvironment();
    if (variant() == Variant::Viewer) setUpHelpOverlay();
    if (variant() == Variant::Viewer || m_frameRateDisplay) setUpFrameRateLine();
    m_inUse = LimitedSettings::from(m_settings);
    if (m_settings.SoundOn) startSound();
    m_skyType = m_inUse.skyType;
    m_gullsFly = m_settings.BirdGull;

    ReefWorld::Settings world;
    world.limits = m_inUse;
    world.gullsFly = m_gullsFly;
    world.cameraByPosition = variant() == Variant::Plain;
    ReefWorld::Assets assets;
    assets.scanSets = [this, &stop](SetCatalog& catalog) { catalog.scanSets(m_dataFolder, stop); };
    assets.load = [this, &stop](SetCatalog& catalog) {
        loadTextures(catalog, stop);
        loadModels(catalog, stop);
        // Nothing is built from a half-loaded catalog: the shutdown releases what loaded.
        return !stop.stopped();
    };
    assets.placeScenery = [this] { m_scenery.place(m_dataFolder); };
    assets.placeIsland = [this] { m_scenery.placeIsland(); };
    assets.gullModel = &m_scenery.gullModel();
    assets.gullTexture = &m_scenery.gullTexture();
    assets.fishCaustics = &m_scenery.causticsFish(0);
    // Only a stop ends the build early; the shell then shuts down as after any run.
    if (!m_world.build(world, assets)) return true;
    if (variant() == Variant::Viewer) m_helpHintTimer.setRange(kHelpHintMs, -1);
    return true;
}

// The platform installs its own tick source when it starts SDL (after this object
// was made, so the members' constructors read the frozen time), so a frozen clock at
// the same time is put back in place here, before the scene reads it.
// A fixed seed replaces the start-up one, so the scene's make-up repeats too.
void ReefSaver::freezeClockFromEnvironment() {
    if (m_frozenClock) {
        m_frozenClock.reset();
        m_frozenClock = std::make_unique<ManualClock>(m_frozenAtMs);
    }
    uint32_t seed = 0;
    if (environmentNumber("REEFSAVER_SEED", seed)) seedRandom(seed);
}

void ReefSaver::startSound() {
    report(Channel::Output, texts::kSoundReplaced);
    if (m_sound) {
        m_sound->close();
        m_sound.reset();
    }
    report(Channel::Output, texts::kSoundCreated);
    m_sound = std::make_unique<SoundPlayer>(system().audioMixer());
    report(Channel::Output, texts::kSoundStarting);
    m_sound->open();
    m_sound->loadLoop(m_dataFolder + "sound/water.wav");
    m_sound->playLoop();
    for (int id = 0; id < 4; ++id) m_sound->addEffect(m_dataFolder + kGullCalls[id], id);
}

void ReefSaver::loadTextures(SetCatalog& catalog, const BuildInterruption& stop) {
    m_scenery.loadTexturesBeforeSets(m_dataFolder, {m_inUse.skyType, m_bitsPerPixel, m_settings.BoidModel}, stop);
    for (size_t i = 0; i < catalog.size(); ++i) {
        SetDescriptor& set = catalog.at(i);
        if (!m_settings.fishSets.isSetEnabled(set.id)) continue;
        if (stop.stopped()) return;
        set.texture.loadBMP(pathFromWide(set.texturePath), Texture::kSceneDefault);
        for (const std::unique_ptr<SubSetDescriptor>& subSet : set.subSets) {
            // A part drawn with the set's own image shares the loaded texture.
            if (subSet->texturePath == set.texturePath) {
                subSet->sharedTexture = &set.texture;
                continue;
            }
            if (stop.stopped()) return;
            subSet->texture.loadBMP(pathFromWide(subSet->texturePath), Texture::kSceneDefault);
        }
    }
    m_scenery.loadIslandTextures(m_dataFolder, stop);
}

void ReefSaver::loadModels(SetCatalog& catalog, const BuildInterruption& stop) {
    m_scenery.loadModelsBeforeSets(m_dataFolder, m_gullsFly, m_inUse.boidCount, m_settings.BoidModel, stop);
    catalog.loadModels(
        m_settings.fishSets,
        [](QModel& model, const std::u16string& path, bool lighting) { model.loadMD3(pathFromWide(path), lighting); },
        stop);
    m_scenery.loadIslandModels(m_dataFolder, stop);
}

void ReefSaver::setUpFrameRateLine() {
    m_frameRateLine.setColour(Vec3{1.0f, 1.0f, 1.0f});
    m_frameRateLine.loadFont(m_dataFolder + "font.tqf");
    m_frameRateLine.setPosition(20.0f, 20.0f, 0.0f);
    m_frameRateLine.setScreenSize(m_width, m_height);
}

void ReefSaver::setUpHelpOverlay() {
    const Vec3 white{1.0f, 1.0f, 1.0f};
    m_helpText.setColour(white);
    m_helpText.loadFont(m_dataFolder + "font.tqf");
    m_helpText.setPosition(20.0f, 40.0f, 0.0f);
    m_helpText.setScreenSize(m_width, m_height);
    m_helpText.setText(m_language.lookup("help"));
    m_pointer.setWindow(mainWindow());
    m_input.start(m_width, m_height);
}

// ---------------------------------------------------------------- frame update

void ReefSaver::FrameMove() {
    m_world.beginFrame();
    if (variant() == Variant::Viewer) handleViewerKeys();
    stepFrameTiming();
    if (m_frameRateDisplay) m_frameRateLine.setLine(m_frameRateText);
    stepTexturePhase();
    m_scenery.water().animate();
    m_scenery.scrollTextures(m_texturePhase);
    const Vec3 eye = camera().worldEye();
    m_scenery.domeSky().setPosition(eye.x, eye.y - kDomeBelowEye, eye.z);
    // The help hint's timer has a fixed length and draws no random number, so
    // it may step before the world without changing what the world draws.
    if (variant() == Variant::Viewer) stepHelpHint();
    m_world.step(static_cast<int>(m_frameDurationMs), m_settings.SoundOn, m_sound.get());
}

void ReefSaver::handleViewerKeys() {
    if (m_input.isKeyDown(InputTracker::kKeyEscape, false)) requestQuit();
    if (m_input.isKeyDown(InputTracker::kKeyHome, false)) camera().set(ReefWorld::kEye, ReefWorld::kCenter, ReefWorld::kUp);
    const bool up = m_input.isKeyDown(InputTracker::kKeyUp, true) && camera().pitch() > kHighestKeyPitch;
    const bool down = m_input.isKeyDown(InputTracker::kKeyDown, true) && camera().pitch() < kLowestKeyPitch;
    if (up || down) cameraAuto().setMoving();
    if (m_input.isKeyDown(InputTracker::kKeySpace, false)) {
        m_wireframe = !m_wireframe;
        glPolygonMode(GL_FRONT_AND_BACK, m_wireframe ? GL_LINE : GL_FILL);
    }
    if (m_input.isKeyDown(InputTracker::kKeyF1, false)) toggleLongHelp();
    if (m_input.isKeyDown(InputTracker::kKeyF, false)) m_frameRateDisplay = !m_frameRateDisplay;
    camera().keyTilt(up, down);
}

void ReefSaver::toggleLongHelp() {
    if (m_helpVisible) {
        m_helpVisible = false;
        if (m_helpHintShown)
            m_helpText.setText(m_language.lookup("help"));
        else
            m_helpText.clearText();
    } else {
        m_helpVisible = true;
        m_helpText.setText(m_language.lookup("helpexpanded"));
    }
}

void ReefSaver::stepHelpHint() {
    if (!m_helpHintTimer.tick(static_cast<int>(m_frameDurationMs))) return;
    m_helpHintShown = false;
    if (!m_helpVisible) m_helpText.clearText();
    m_helpHintTimer.disable();
}

void ReefSaver::stepFrameTiming() {
    const uint32_t now = getTicks();
    m_frameDurationMs = now - m_lastTick;
    m_lastTick = now;
    ++m_frameCounter;
    m_accumulatedMs += m_frameDurationMs;
    if (m_accumulatedMs >= kFrameRatePeriodMs) {
        char text[kFrameRateTextCapacity];
        const double rate = m_frameCounter * 1000.0 / m_accumulatedMs;
        std::snprintf(text, sizeof(text), "%d x %d   %.2f fps", m_width, m_height, rate);
        // The text is plain ASCII: widened in place into storage reserved at construction.
        const int length = std::max(0, std::min<int>(std::strlen(text), sizeof(text) - 1));
        // (assign from a char range would build a temporary string first).
        m_frameRateText.resize(static_cast<size_t>(length));
        for (int i = 0; i < length; ++i) m_frameRateText[static_cast<size_t>(i)] = static_cast<unsigned char>(text[i]);
        m_accumulatedMs = 0;
        m_frameCounter = 0;
    }
}

void ReefSaver::stepTexturePhase() {
    m_texturePhase = wrap(m_texturePhase + static_cast<float>(m_frameDurationMs) * kTexturePhasePerMs, 1);
}

// ---------------------------------------------------------------- drawing

void ReefSaver::Render() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const Vec3& eye = camera().eye();
    const Vec3& center = camera().center();
    const Vec3& up = camera().up();
    gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z);
    drawScene();
    if (variant() == Variant::Viewer)
        drawViewerText();
    else if (m_frameRateDisplay)
        m_frameRateLine.render();
    if (m_screenshots.afterRender(m_width, m_height)) requestQuit();
}

// Fog stays on through the whole scene and only its range changes: the layers
// without fog get a range they never reach. The software driver compiles a shader
// for every combination of fixed-function state it meets, and fog on or off would
// split each combination in two.
void ReefSaver::fogReef(bool on) {
    glFogf(GL_FOG_START, on ? kFogStart : kNoFogStart);
    glFogf(GL_FOG_END, on ? kFogEnd : kNoFogEnd);
}

void ReefSaver::drawScene() {
    const int frame = Scenery::sequenceFrame(getTicks());
    glEnable(GL_FOG);
    // The sea floor is opaque: drawn first, it lets the depth test drop the sky's
    // pixels behind it instead of painting them and then painting over them.
    fogReef(true);
    m_scenery.seaFloor().setTexture(1, &m_scenery.caustics(frame));
    m_scenery.seaFloor().render();
    fogReef(false);
    // Likewise the fog gradient's opaque part, which the gradient covers again later.
    m_scenery.fogWall().render();

    if (m_skyType == 0)
        m_scenery.domeSky().render();
    else
        m_scenery.flatSky().render();
    m_scenery.palmBackground().render();
    creatures().drawProps(false);
    creatures().drawTurtle();

    m_scenery.rock().render();
    m_scenery.fogGradient().render();
    drawLitIsland();
    creatures().drawActiveManta();
    drawFishGroup(frame);
    creatures().drawProps(true);
    if (m_gullsFly) creatures().drawGull();
    if (!cameraAuto().moving()) m_scenery.lightPattern().setTexture(0, &m_scenery.highlight(frame));
    m_scenery.litWater().render();
    glDisable(GL_FOG);
}

void ReefSaver::drawLitIsland() {
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kMaterialSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kMaterialShininess);
    m_scenery.island().render();
    m_scenery.palmTrunks().render();
    // The leaves are drawn over the trunks without depth test so their blended edges never cut holes.
    glDisable(GL_DEPTH_TEST);
    m_scenery.palmLeaves().render();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
}

void ReefSaver::drawFishGroup(int frame) {
    Texture& caustics = m_scenery.causticsFish(frame);
    fogReef(true);
    creatures().drawSchool(caustics);
    creatures().drawHunter(caustics);
    m_scenery.coralH().render();
    m_scenery.coralI().render();
    m_scenery.coralG().render();
    m_scenery.coralF().render();
    m_scenery.coralA().render();
    creatures().drawSingleFish(caustics);
    creatures().drawBigFish(caustics);
    m_scenery.coralC().render();
    m_scenery.coralD(0).render();
    m_scenery.coralD(1).render();
    for (int i = 0; i < 3; ++i) m_scenery.coralB(i).render();
    fogReef(false);
}

void ReefSaver::drawViewerText() {
    m_helpText.render();
    if (m_frameRateDisplay) m_frameRateLine.render();
}

bool ReefSaver::PostFrame() {
    if (variant() == Variant::Viewer) m_input.update();
    return true;
}

bool ReefSaver::MessageHook(uint32_t message, uint64_t wParam, int64_t lParam) {
    if (variant() != Variant::Viewer) return false;
    return m_input.handleMessage(message, wParam, lParam);
}

// ---------------------------------------------------------------- release

bool ReefSaver::Cleanup() {
    m_scenery.release();
    m_world.release();
    if (m_sound) {
        m_sound->close();
        m_sound.reset();
    }
    return true;
}

}  // namespace reef
