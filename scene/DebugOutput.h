// The debugger-output channel of the set scanners: the debug lines of the one
// diagnostic path (standard error, only while REEFSAVER_DEBUG is set).
#pragma once

#include <string_view>

namespace reef {

// Writes text (UTF-16) as one line when debug output is switched on.
void debugOutput(std::u16string_view text);

}  // namespace reef
