// The window system on Win32 and WGL: the saver's window class and windows, a
// WGL context, the thread's message queue, display modes and monitors. Every
// message of the saver's windows reaches the shell's window procedure through
// DispatchMessageW or SendMessage, as Windows delivers them; what the
// procedure leaves alone goes to DefWindowProcW.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace reef {

class Win32WindowSystem : public WindowSystem {
public:
    Win32WindowSystem();
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    // Whether the program carries its icon as a resource; the window class takes that one.
    bool hasIconResource() const { return m_resourceIcon != nullptr; }
    // The program icon for every window made from now on when the program carries
    // none (ARGB words, rows top first).
    void setIcon(int width, int height, const std::vector<uint32_t>& argb);

    bool connect() override;
    WindowHandle createPreviewWindow(WindowHandle parent) override;
    WindowHandle createFullWindow(int width, int height) override;
    WindowHandle createTestWindow(int width, int height, const std::string& title) override;
    WindowHandle createShadeWindow(const ScreenRect& rect) override;
    void placeWindow(WindowHandle window, const ScreenRect& rect) override;
    bool clientSize(WindowHandle window, int& width, int& height) override;
    void screenSize(int& width, int& height) override;

    ContextResult createContext(WindowHandle window, int colourBits) override;
    void releaseContext() override;
    void clearFrame() override;
    void swapBuffers() override;
    bool setSwapInterval(int interval) override;

    void setWindowProcedure(WindowProcedure procedure) override;
    int64_t defaultWindowProc(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) override;
    bool peekMessage(Message& out) override;
    bool getMessage(Message& out) override;
    void waitForMessage(uint32_t milliseconds) override;
    void postMessage(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) override;
    void postQuitMessage(int exitCode) override;
    void setTimer(WindowHandle window, uint64_t id, uint32_t milliseconds) override;
    void killTimer(WindowHandle window, uint64_t id) override;

    void setCursorVisible(WindowHandle window, bool visible) override;
    void fillBlack(WindowHandle window) override;
    void restoreWindow(WindowHandle window) override;
    void showMaximized(WindowHandle window) override;
    void warpPointer(WindowHandle window, int x, int y) override;

    bool changeDisplayMode(int width, int height, int bitsPerPixel) override;
    void restoreDisplayMode() override;
    std::vector<MonitorRecord> monitors() override;
    bool monitorRect(uint64_t handle, ScreenRect& rect) override;
    void chooseColourDepth(int bitsPerPixel) override { m_colourBits = bitsPerPixel; }
    void setScreenSaverRunning(bool running) override;
    bool drawsIntoHostWindow() const override { return false; }

    // The static window procedure of the class: forwards to the live window system.
    static int64_t classProcedure(void* window, uint32_t message, uint64_t wParam, int64_t lParam);

private:
    bool registerClass();
    WindowHandle createWindow(uint32_t extendedStyle, uint32_t style, const ScreenRect& rect, WindowHandle parent,
                              const std::string& title);
    int64_t deliver(void* window, uint32_t message, uint64_t wParam, int64_t lParam);

    void* m_instance = nullptr;
    bool m_classRegistered = false;
    void* m_resourceIcon = nullptr;  // HICON of the program's icon resource, shared
    void* m_icon = nullptr;
    WindowProcedure m_procedure;
    int m_colourBits = 0;

    void* m_contextWindow = nullptr;
    void* m_deviceContext = nullptr;
    void* m_glContext = nullptr;

    // The device context of the WM_PAINT in progress, and its window.
    void* m_paintWindow = nullptr;
    void* m_paintContext = nullptr;

    bool m_displayModeChanged = false;
};

}  // namespace reef
