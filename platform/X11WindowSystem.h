// The window system on Xlib and GLX: the saver's windows, its GL context, and X
// events translated into window messages.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/WindowSystem.h"

namespace reef {

class X11WindowSystem : public WindowSystem {
public:
    X11WindowSystem();
    ~X11WindowSystem() override;
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    // Draw the full-screen saver inside this existing window (the screensaver daemon's),
    // or inside the root window when rootWindow is set.
    void setHostWindow(WindowHandle window, bool rootWindow);
    // Sets the program icon on every window made from now on (BGRA rows top first).
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
    void chooseColourDepth(int bitsPerPixel) override;
    bool drawsIntoHostWindow() const override { return m_hostWindow != 0 || m_hostIsRoot; }

    void* display() const { return m_display; }

private:
    struct Impl;

    WindowHandle createGLWindow(WindowHandle parent, const ScreenRect& rect, bool overrideRedirect);
    void translateEvent(void* event);
    void pumpEvents();
    void forgetDestroyedWindows();
    void chooseVisual();
    ScreenRect primaryMonitorRect();
    ScreenRect screenRect();
    void grabInput(WindowHandle window);
    uint32_t now() const;

    void* m_display = nullptr;
    std::unique_ptr<Impl> m_impl;
    MessageQueue m_queue;
    std::deque<Message> m_input;
    WindowHandle m_hostWindow = 0;
    bool m_hostIsRoot = false;
    std::vector<WindowHandle> m_ownWindows;
    WindowHandle m_contextWindow = 0;
    bool m_contextWindowGone = false;
    int m_colourBits = 0;
    bool m_warnedNoDisplay = false;
    bool m_terminationDelivered = false;
};

}  // namespace reef
