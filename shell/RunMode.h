// How the program was asked to run, from its command-line switch.
#pragma once

namespace reef {

enum class RunMode : int {
    Unset = -1,
    Config = 0,
    Preview = 1,
    Full = 2,
    Test = 3,
    PasswordChange = 4,
};

// Which of the two programs is running: the screensaver follows its switch and
// stops on input; the viewer always runs full screen and takes keys instead.
enum class Variant { Plain, Viewer };

}  // namespace reef
