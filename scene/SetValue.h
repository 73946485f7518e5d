// Conversions of descriptor texts to numbers, with the C library's atof/atoi
// rules (leading blanks skipped, the longest numeric prefix read, anything else
// gives 0) but independent of the process locale, so "1.5" reads the same under
// a German desktop.
#pragma once

#include <string_view>

#include "core/Math.h"

namespace reef {

// Like atof; a value that is not finite (overflow, "inf", "nan") also gives 0.
float valueToFloat(std::string_view text);
float valueToFloat(std::u16string_view text);
// Like atoi; values beyond the 32-bit range are clamped to it.
int valueToInt(std::string_view text);
int valueToInt(std::u16string_view text);
// "x,y,z": the text cut at its commas, each field read like atof. A text
// without any comma gives (0, 0, 0); with two fields z is 0; fields after the
// third are ignored.
Vec3 valueToVector(std::string_view text);

}  // namespace reef
