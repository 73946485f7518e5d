// The window system as the shell sees it: windows for the three saver modes, a
// GL context on the main window, the message queue with its timers and posted
// messages, the cursor, display modes and monitors. X11/GLX and Win32/WGL
// implement it; tests use a scripted fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/WindowMessages.h"

namespace reef {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// One attached display as the window system reports it.
struct MonitorRecord {
    bool primary = false;
    bool mirror = false;  // a mirroring output: never listed as a monitor
    ScreenRect rect;
    uint64_t handle = 0;
};

enum class ContextResult { Ok, NoPixelFormat, PixelFormatRefused };

// The saver's window procedure: window, message, wParam, lParam -> result.
using WindowProcedure = std::function<int64_t(WindowHandle, uint32_t, uint64_t, int64_t)>;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Connects to the display; false (with a reason on standard error) when there is none.
    virtual bool connect() = 0;
    // The child window of a preview; 0 when the parent does not exist.
    virtual WindowHandle createPreviewWindow(WindowHandle parent) = 0;
    // The full-screen window on the primary monitor (or inside the host window the
    // screensaver daemon gave us), input grabbed; 0 on failure.
    virtual WindowHandle createFullWindow(int width, int height) = 0;
    // A normal decorated window whose client area is width x height.
    virtual WindowHandle createTestWindow(int width, int height, const std::string& title) = 0;
    // A black, topmost window over a secondary monitor.
    virtual WindowHandle createShadeWindow(const ScreenRect& rect) = 0;
    virtual void placeWindow(WindowHandle window, const ScreenRect& rect) = 0;
    virtual bool clientSize(WindowHandle window, int& width, int& height) = 0;
    virtual void screenSize(int& width, int& height) = 0;

    // A double-buffered RGBA context with a depth buffer on the window, made current.
    virtual ContextResult createContext(WindowHandle window, int colourBits) = 0;
    virtual void releaseContext() = 0;
    // glClear of colour and depth on the current context (the black frame while the scene loads).
    virtual void clearFrame() = 0;
    virtual void swapBuffers() = 0;
    // Asks the driver to show each swapped frame for this many screen refreshes
    // (1: wait for the refresh); false where it offers no such control.
    virtual bool setSwapInterval(int interval) = 0;

    // Where a system calls the window procedure itself (Win32: dispatched and
    // sent messages), it calls this one; an empty procedure detaches it. A layer
    // that only queues messages hands them out through peekMessage/getMessage.
    virtual void setWindowProcedure(WindowProcedure /*procedure*/) {}
    // The system's own handling of a message the procedure leaves alone
    // (DefWindowProcW); 0 where the system has none.
    virtual int64_t defaultWindowProc(WindowHandle /*window*/, uint32_t /*message*/, uint64_t /*wParam*/,
                                      int64_t /*lParam*/) {
        return 0;
    }

    // Non-blocking: the next message (posted ones first, then input, then due
    // timers). One the layer has already delivered comes back marked so.
    virtual bool peekMessage(Message& out) = 0;
    // Blocking; false when the message is WM_QUIT. Delivered ones are marked as above.
    virtual bool getMessage(Message& out) = 0;
    // Sleeps until a message may be waiting or the time has passed, whichever comes first.
    virtual void waitForMessage(uint32_t milliseconds) = 0;
    virtual void postMessage(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) = 0;
    virtual void postQuitMessage(int exitCode) = 0;
    virtual void setTimer(WindowHandle window, uint64_t id, uint32_t milliseconds) = 0;
    virtual void killTimer(WindowHandle window, uint64_t id) = 0;

    virtual void setCursorVisible(WindowHandle window, bool visible) = 0;
    // Paints the window's client area black (the preview's WM_PAINT).
    virtual void fillBlack(WindowHandle window) = 0;
    // Brings a minimised window back to its normal state.
    virtual void restoreWindow(WindowHandle window) = 0;
    virtual void showMaximized(WindowHandle window) = 0;
    // Moves the pointer to (x, y) in the window's client area.
    virtual void warpPointer(WindowHandle window, int x, int y) = 0;

    // Switches the primary output to width x height; false when refused. The
    // previous mode comes back with restoreDisplayMode (called when the saver ends).
    virtual bool changeDisplayMode(int width, int height, int bitsPerPixel) = 0;
    virtual void restoreDisplayMode() = 0;
    virtual std::vector<MonitorRecord> monitors() = 0;
    // The current rectangle of the monitor with this handle; false when it is gone.
    virtual bool monitorRect(uint64_t handle, ScreenRect& rect) = 0;
    // The colour depth (bits per pixel) the saver's windows should have where the
    // display offers it; called before the window is made.
    virtual void chooseColourDepth(int bitsPerPixel) = 0;
    // Tells the system that a full-screen saver is running (Windows then starts
    // no other saver and keeps its task-switching keys to itself) or no longer
    // is; nothing where the system has no such notion.
    virtual void setScreenSaverRunning(bool /*running*/) {}
    // True when the full-screen saver draws into a window it was given (the
    // screensaver daemon's, or the root window): the daemon owns the screen then,
    // so its display mode is never changed.
    virtual bool drawsIntoHostWindow() const = 0;
};

}  // namespace reef
