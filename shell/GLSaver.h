// The screensaver shell: start-up sequence, command-line switch, run-mode
// dispatch, the saver window with its GL context and frame loop, the window
// procedure's stop rules, and the one-time shutdown. The application derives
// from it and fills in the scene operations.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/DialogLayer.h"
#include "platform/WindowMessages.h"
#include "shell/MonitorInfo.h"
#include "shell/RunMode.h"
#include "shell/ScreenSettings.h"
#include "shell/SettingsStore.h"

namespace reef {

class RegistryKey;
class SystemServices;
class WindowSystem;

class GLSaver : public SettingsStore {
public:
    GLSaver(Variant variant, WindowSystem& windows, SystemServices& system);
    ~GLSaver() override;
    GLSaver(const GLSaver&) = delete;
    GLSaver& operator=(const GLSaver&) = delete;

    // The start sequence; false when the saver window could not be made.
    bool Create(const std::u16string& commandLine);
    // Reads the switch; also sets the parent window from the number behind p, c or a.
    RunMode ParseCommandLine(const std::u16string& commandLine);
    // Runs the mode; false when it could not start (no GL context, no scene,
    // no settings dialog), so the program can end with a failure status.
    bool Run();
    // The user asked to leave: shut down unless a password check says otherwise.
    void InterruptSaver();
    // Runs once: context released, scene cleaned up, SDL stopped, quit posted.
    // Asked for while the scene is being built, it runs when the build returns.
    void ShutdownSaver();
    void ChangePassword();

    bool CreateSaverWindow();
    // True once the frame loop has run; false when the context or the scene could not be made.
    bool RunSaverLoop();
    void ReleaseGL();
    // At most this many frames a second (0: as fast as the loop goes). A capped
    // loop also asks the driver to wait for the screen's refresh.
    void setFrameRateCap(int framesPerSecond) { m_frameRateCap = framesPerSecond; }
    // Frames drawn by the frame loop so far.
    uint64_t framesDrawn() const { return m_framesDrawn; }

    virtual int64_t WindowProc(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam);
    virtual bool ReadSettings() { return true; }
    virtual bool WriteSettings() { return true; }
    virtual bool MessageHook(uint32_t /*message*/, uint64_t /*wParam*/, int64_t /*lParam*/) { return false; }
    virtual bool DoConfig() { return true; }
    // False when the application cannot run in this mode at all (its data is
    // missing); it has said why. Asked before any window is made.
    virtual bool CanRun() { return true; }
    bool PostFrame() override { return false; }

    // The screen settings from and to the settings key (the registry
    // operations are SettingsStore's, on the settings file's key).
    void ReadScreenSettings();
    void WriteScreenSettings();
    // The screen settings dialog, modal over parent; OK stores what it chose.
    void ShowScreenSettings(DialogLayer& layer, DialogHandle parent);
    void EnumerateMonitors();
    void CreateShadeWindows();
    void PlaceShadeWindows();

    Variant variant() const { return m_variant; }
    RunMode runMode() const { return m_runMode; }
    WindowHandle mainWindow() const { return m_window; }
    WindowHandle parentWindow() const { return m_parentWindow; }
    bool isShutDown() const { return m_shutDown; }
    int mouseMoveCount() const { return m_mouseMoves; }
    int monitorCount() const { return m_monitorCount; }
    const MonitorInfo& monitor(int index) const { return m_monitors[index]; }
    ScreenSettings& screenSettings() { return m_screenSettings; }

protected:
    WindowSystem& windows() { return m_windows; }
    SystemServices& system() { return m_system; }
    // Called by BuildScene between assets: handles the messages waiting (the
    // window procedure's stop rules, a termination request, the viewer's
    // Escape) and answers true once the program is to end, so the build can
    // return early; the shutdown then runs as after any run.
    bool StopRequestedDuringBuild();

private:
    using PasswordVerifier = int (*)(WindowHandle);
    using PasswordChanger = void (*)(const char*, WindowHandle, int, int);

    void switchDisplayMode();
    // An error message: printed only in the full-screen mode, a dialog elsewhere.
    void reportError(const std::string& text);
    void loadPasswordVerifier();
    bool verifyPassword();
    void pumpPreviewHandshake();
    void runFrameLoop();
    void handleMouseMove(int64_t lParam);
    bool isSystemCommandSwallowed(uint64_t command) const;

    Variant m_variant;
    WindowSystem& m_windows;
    SystemServices& m_system;

    WindowHandle m_window = 0;
    WindowHandle m_parentWindow = 0;
    RunMode m_runMode = RunMode::Unset;
    std::string m_windowTitle = "ScreenSaverWnd";
    std::array<MonitorInfo, kMaxMonitors> m_monitors{};
    int m_monitorCount = 0;
    bool m_previewWait = false;
    bool m_passwordDialogOpen = false;
    bool m_oldWindows = false;
    int m_mouseMoves = 0;
    bool m_shutDown = false;
    bool m_building = false;         // inside BuildScene
    bool m_shutdownPending = false;  // asked for while building
    ScreenSettings m_screenSettings;
    bool m_contextCurrent = false;
    PasswordVerifier m_verifier = nullptr;
    void* m_passwordModule = nullptr;
    std::unique_ptr<RegistryKey> m_registryKey;
    int m_frameRateCap = 0;
    uint64_t m_framesDrawn = 0;
    int m_lastMouseX = -1;
    int m_lastMouseY = -1;
};

}  // namespace reef
