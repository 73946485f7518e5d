// XScreenSaver's settings page for reefsaver_plain (reefsaver_plain.xml),
// written at build time from the command-line options and the settings rows,
// so its lists offer the same values as the dialog and the command line
// accept, each starting at the stored setting.
#pragma once

#include <string>

namespace reef {

class SettingsPage {
public:
    // The whole page, as XScreenSaver's settings program reads it.
    static std::string xml();
};

}  // namespace reef
