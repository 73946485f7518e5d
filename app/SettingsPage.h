// XScreenSaver's settings page for reefsaver_plain (reefsaver_plain.xml),
// written at build time from the command-line options and the settings rows,
// so its sliders offer the same ranges and defaults as the dialog and the
// command line accept.
#pragma once

#include <string>

namespace reef {

class SettingsPage {
public:
    // The whole page, as XScreenSaver's settings program reads it.
    static std::string xml();
};

}  // namespace reef
