#include "scene/DebugOutput.h"

#include <string>

#include "core/Diagnostics.h"
#include "engine/WideText.h"

namespace reef {

void debugOutput(std::u16string_view text) {
    if (debugEnabled()) report(Channel::Debug, toUtf8(text));
}

}  // namespace reef
