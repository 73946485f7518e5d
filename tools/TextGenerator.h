// The three text files of the data folder: "Directory.dat" (install names),
// "Language.dat" (dialog and help-overlay texts) and "ScreenLanguage.dat" (the
// screen settings dialog), German texts in the section "GER".
#pragma once

#include "tools/GeneratedFiles.h"

namespace reef::tools {

// The picture of the dialog's intro page, relative to the data folder.
inline constexpr const char* kIntroPicture = "intro.bmp";

class TextGenerator {
public:
    // Adds the three files; false if a text could not be encoded.
    bool generate(GeneratedFiles& folder) const;
};

}  // namespace reef::tools
