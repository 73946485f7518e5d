// The debugger-output channel of the set scanners: each line goes to standard
// error, and only when REEFSAVER_DEBUG (or REEF_DEBUG) is set in the environment.
#pragma once

#include <string_view>

namespace reef {

// Writes text (UTF-16) followed by a newline when debug output is switched on.
void debugOutput(std::u16string_view text);
// True when one of the debug environment variables is set.
bool debugOutputEnabled();

}  // namespace reef
