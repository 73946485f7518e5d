// The two pointer operations the input tracker needs from the window system:
// the platform implements them on the saver window, tests record the calls.
#pragma once

namespace reef {

class PointerControl {
public:
    virtual ~PointerControl() = default;
    // Moves the pointer to (x, y), window pixels from the top-left corner.
    virtual void warpPointer(int x, int y) = 0;
    // Shows or hides the pointer over the saver window.
    virtual void showCursor(bool visible) = 0;
};

}  // namespace reef
