// The program's arguments as the shell wants them: one command line with the
// program path quoted, after the screensaver daemon's own conventions were
// taken out (-root, -window-id N, XSCREENSAVER_WINDOW).
#pragma once

#include <cstdint>
#include <string>

namespace reef {

struct ProgramArguments {
    std::u16string commandLine;
    // Set when the daemon asked us to draw into an existing window.
    bool hostMode = false;
    bool hostIsRoot = false;
    uint64_t hostWindow = 0;
    // One line when a window id on the line is malformed or 0 (no window has
    // it); the program must not run then, least of all over the whole screen.
    std::string error;
};

// environmentWindow is the value of XSCREENSAVER_WINDOW, or nullptr.
ProgramArguments parseProgramArguments(int argc, const char* const* argv, const char* environmentWindow);

}  // namespace reef
