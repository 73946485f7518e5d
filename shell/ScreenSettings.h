// The display mode the full-screen saver runs in, and whether other monitors are darkened.
#pragma once

namespace reef {

struct ScreenSettings {
    bool leaveResolution = true;  // "LeaveRes"
    int width = -1;               // "Width"
    int height = -1;              // "Height"
    int bitsPerPixel = 16;        // "Bpp"
    bool multiMonitor = false;    // found at start-up, never stored
    bool shadeSecondary = true;   // "ShadeScecondary"
};

}  // namespace reef
