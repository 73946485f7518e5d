// The display mode the full-screen saver runs in, and whether other monitors are darkened.
#pragma once

#include <cstdint>
#include <string>

namespace reef {

class SettingsStore;

struct ScreenSettings {
    // The stored fields; their registry names and defaults are the rows of ScreenSettings.cpp.
    bool leaveResolution;   // "LeaveRes"
    int32_t width;          // "Width", -1: the screen's own
    int32_t height;         // "Height", -1: the screen's own
    int32_t bitsPerPixel;   // "Bpp"
    bool multiMonitor = false;  // found at start-up, never stored
    bool shadeSecondary;    // "ShadeScecondary"
    bool depthStored = false;   // "Bpp" was in the store when read (never stored itself)

    // Every field at its default.
    ScreenSettings();

    // Reads every stored value of keyPath (the current value is the fallback);
    // a key that cannot be opened changes nothing.
    void read(SettingsStore& store, const std::string& keyPath);
    // Writes every stored value; a key that cannot be opened stores nothing.
    void write(SettingsStore& store, const std::string& keyPath) const;
};

}  // namespace reef
