#include "scene/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/WideText.h"

namespace reef {

bool debugOutputEnabled() {
    return std::getenv("REEFSAVER_DEBUG") != nullptr || std::getenv("REEF_DEBUG") != nullptr;
}

void debugOutput(std::u16string_view text) {
    if (!debugOutputEnabled()) return;
    const std::string line = toUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace reef
