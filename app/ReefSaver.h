// The one application object: owns the settings, the text readers, the set
// catalog, the scenery, the creatures, the camera and the sound, and implements
// the scene operations that the shell's frame loop calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/CommandLineOptions.h"
#include "app/ReefWorld.h"
#include "app/SaverSettings.h"
#include "app/ScreenshotSchedule.h"
#include "app/SettingsLimits.h"
#include "app/WindowPointer.h"
#include "core/Clock.h"
#include "platform/SystemDirectoryLister.h"
#include "scene/Scenery.h"
#include "shell/GLSaver.h"
#include "ui/DatReader.h"
#include "ui/InputTracker.h"
#include "ui/ScreenText.h"
#include "world/RandomTimer.h"

namespace reef {

class SoundPlayer;

class ReefSaver : public GLSaver {
public:
    ReefSaver(Variant variant, WindowSystem& windows, SystemServices& system);
    ~ReefSaver() override;

    bool BuildScene() override;
    bool InitGL() override;
    void FrameMove() override;
    void Render() override;
    bool ReleaseGLObjects() override { return true; }
    bool Cleanup() override;
    bool PostFrame() override;
    bool ReadSettings() override;
    bool WriteSettings() override;
    bool MessageHook(uint32_t message, uint64_t wParam, int64_t lParam) override;
    // False without a usable data folder: said on standard error in the saver
    // modes (the daemon shows its own notice), in a box for the settings dialog.
    bool CanRun() override;
    // Runs the configuration dialog; its OK stores the settings.
    bool DoConfig() override;

    // Settings given on the command line for this run; they are laid over the
    // stored ones when those are read, in the drawing modes only, so the
    // settings dialog never sees (or writes back) them.
    void overrideSettings(const SettingOverrides& overrides) { m_overrides = overrides; }

    // width / height, capped at 1.35 so very wide screens stretch rather than widen the view.
    static double projectionAspect(int width, int height);

    SaverSettings& settings() { return m_settings; }
    const std::u16string& frameRateText() const { return m_frameRateText; }
    DatReader& directoryTexts() { return m_directory; }
    SetCatalog& catalog() { return m_world.catalog(); }
    Scenery& scenery() { return m_scenery; }
    Creatures& creatures() { return m_world.creatures(); }
    Camera& camera() { return m_world.camera(); }
    CameraAuto& cameraAuto() { return m_world.cameraAuto(); }
    SoundPlayer* soundPlayer() { return m_sound.get(); }
    InputTracker& inputTracker() { return m_input; }
    ScreenText& helpText() { return m_helpText; }
    ScreenText& frameRateLine() { return m_frameRateLine; }
    bool wireframe() const { return m_wireframe; }
    bool helpVisible() const { return m_helpVisible; }
    bool helpHintShown() const { return m_helpHintShown; }
    bool frameRateDisplay() const { return m_frameRateDisplay; }

private:
    // Writes the settings and reads them back: false when the store did not keep them.
    bool storeSettings();
    void freezeClockFromEnvironment();
    void startSound();
    void loadTextures(SetCatalog& catalog, const BuildInterruption& stop);
    void loadModels(SetCatalog& catalog, const BuildInterruption& stop);
    void setUpHelpOverlay();
    void setUpFrameRateLine();
    void applyOverrides();
    void handleViewerKeys();
    void toggleLongHelp();
    void stepFrameTiming();
    void stepTexturePhase();
    void stepHelpHint();
    void fogReef(bool on);
    void drawScene();
    void drawLitIsland();
    void drawFishGroup(int frame);
    void drawViewerText();

    // Set by REEFSAVER_FROZEN_CLOCK_MS: every controller reads this one fixed time,
    // so a run with a fixed REEFSAVER_SEED draws the same picture every time. It is
    // made before the members that read the clock in their constructors.
    uint32_t m_frozenAtMs = 0;
    std::unique_ptr<ManualClock> m_frozenClock;
    bool m_dataFolderUsable = false;
    SaverSettings m_settings;
    SettingOverrides m_overrides;
    LimitedSettings m_inUse;  // m_settings inside their safe ranges, taken when the scene is built
    std::string m_languageSection;  // of the person's locale: "ENG" or "GER"
    DatReader m_language;
    DatReader m_directory;
    const DirectoryLister& m_lister = systemDirectoryLister();
    Scenery m_scenery;
    ReefWorld m_world;
    std::unique_ptr<SoundPlayer> m_sound;
    WindowPointer m_pointer;
    InputTracker m_input;
    ScreenText m_helpText;
    ScreenText m_frameRateLine;
    RandomTimer m_helpHintTimer;
    ScreenshotSchedule m_screenshots;

    // Frame timing. The last tick is taken once, at construction: the first frame's
    // duration includes the window, GL and scene set-up, which only the hint, the gull
    // calls, the texture phase and the first frame-rate reading see; the creatures
    // start their own clocks at their first update.
    uint32_t m_lastTick = 0;
    int m_frameCounter = 0;
    uint32_t m_accumulatedMs = 0;
    uint32_t m_frameDurationMs = 0;
    float m_texturePhase = 0.0f;
    std::u16string m_frameRateText;

    int m_skyType = 0;
    bool m_gullsFly = true;
    bool m_wireframe = false;
    bool m_helpVisible = false;
    bool m_helpHintShown = true;
    bool m_frameRateDisplay = false;
};

}  // namespace reef
