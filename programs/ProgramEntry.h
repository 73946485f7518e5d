// The body of both programs' main(): builds the platform layer and the one
// application object, runs it, and returns the exit code.
#pragma once

#include "shell/RunMode.h"

namespace reef {

// The program's exit status, as the manual pages list it.
enum ExitStatus : int {
    kExitOrdinaryRun = 0,  // the saver or the dialog ran and ended as it should (--help too)
    kExitStartFailed = 1,  // no display, no GL, no window, no data: nothing could run
    kExitBadCommandLine = 2,
};

int runProgram(Variant variant, int argc, char** argv);

}  // namespace reef
