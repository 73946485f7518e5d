// The viewer's pointer control on the saver window: warps and cursor visibility
// go through the window system, since SDL does not own the window.
#pragma once

#include "platform/WindowSystem.h"
#include "ui/PointerControl.h"

namespace reef {

class WindowPointer : public PointerControl {
public:
    explicit WindowPointer(WindowSystem& windows) : m_windows(windows) {}
    void setWindow(WindowHandle window) { m_window = window; }
    void warpPointer(int x, int y) override {
        if (m_window) m_windows.warpPointer(m_window, x, y);
    }
    void showCursor(bool visible) override {
        if (m_window) m_windows.setCursorVisible(m_window, visible);
    }

private:
    WindowSystem& m_windows;
    WindowHandle m_window = 0;
};

}  // namespace reef
