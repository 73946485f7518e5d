// One attached display as the shell records it at start-up.
#pragma once

#include "platform/WindowSystem.h"

namespace reef {

struct MonitorInfo {
    bool primary = false;
    ScreenRect rect;
    uint64_t monitor = 0;
    WindowHandle shadeWindow = 0;
};

inline constexpr int kMaxMonitors = 9;

}  // namespace reef
