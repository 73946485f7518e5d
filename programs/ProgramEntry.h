// The body of both programs' main(): builds the platform layer and the one
// application object, runs it, and returns the exit code.
#pragma once

#include "shell/RunMode.h"

namespace reef {

// 0 when start-up failed, 1 after an ordinary run.
int runProgram(Variant variant, int argc, char** argv);

}  // namespace reef
