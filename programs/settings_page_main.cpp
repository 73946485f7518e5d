// Writes XScreenSaver's settings page for reefsaver_plain at build time.
//   reef_settings_page <out.xml>
#include <cstdio>
#include <fstream>

#include "app/SettingsPage.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: reef_settings_page <out.xml>\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << reef::SettingsPage::xml();
    out.close();
    if (!out) {
        std::fprintf(stderr, "reef_settings_page: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
