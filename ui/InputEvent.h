// One input event as SDL 1.2 delivers it, reduced to the fields the input
// tracker reads. The platform fills it from an SDL_Event; keeping our own copy
// lets ui/ stay free of SDL headers. Numbers are SDL 1.2's own.
#pragma once

#include <cstdint>

namespace reef {

struct InputEvent {
    // SDL 1.2 event type values (SDL_EventType).
    static constexpr uint8_t kActive = 1;
    static constexpr uint8_t kKeyDown = 2;
    static constexpr uint8_t kKeyUp = 3;
    static constexpr uint8_t kMouseMotion = 4;
    static constexpr uint8_t kMouseButtonDown = 5;
    static constexpr uint8_t kMouseButtonUp = 6;
    static constexpr uint8_t kQuit = 12;

    // SDL 1.2 mouse button numbers.
    static constexpr uint8_t kButtonLeft = 1;
    static constexpr uint8_t kButtonMiddle = 2;
    static constexpr uint8_t kButtonRight = 3;

    uint8_t type = 0;
    int keySym = 0;    // key events: the SDLKey symbol value
    int x = 0;         // motion: pointer position, window pixels
    int y = 0;
    int xrel = 0;      // motion: relative movement since the last motion event, pixels
    int yrel = 0;
    uint8_t button = 0;  // button events: the SDL button number
};

}  // namespace reef
