// The one application object: owns the settings, the text readers and (once the
// scene is built) everything in the reef, and implements the scene operations
// that the shell's frame loop calls.
#pragma once

#include <cstdint>
#include <string>

#include "app/SaverSettings.h"
#include "app/ScreenshotSchedule.h"
#include "shell/GLSaver.h"
#include "ui/DatReader.h"

namespace reef {

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

    // width / height, capped at 1.35 so very wide screens stretch rather than widen the view.
    static double projectionAspect(int width, int height);

    SaverSettings& settings() { return m_settings; }
    const std::u16string& frameRateText() const { return m_frameRateText; }
    DatReader& languageTexts() { return m_language; }
    DatReader& directoryTexts() { return m_directory; }

private:
    void stepFrameTiming();
    void stepTexturePhase();

    SaverSettings m_settings;
    DatReader m_language;
    DatReader m_directory;
    ScreenshotSchedule m_screenshots;

    // Frame timing.
    uint32_t m_lastTick = 0;
    int m_frameCounter = 0;
    uint32_t m_accumulatedMs = 0;
    uint32_t m_frameDurationMs = 0;
    float m_texturePhase = 0.0f;
    std::u16string m_frameRateText;

    bool m_cameraMoved = false;
    bool m_escapePressed = false;
};

}  // namespace reef
