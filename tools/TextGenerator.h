// The three text files of the data folder: "Directory.dat" (install names),
// "Language.dat" (dialog and help-overlay texts) and "ScreenLanguage.dat" (the
// screen settings dialog), each with the German texts in the section "GER"
// and the same keys in English in the section "ENG".
#pragma once

#include "tools/GeneratedFiles.h"

namespace reef::tools {

// The picture of the dialog's intro page, relative to the data folder.
inline constexpr const char* kIntroPicture = "intro.bmp";
// The document the intro page's link opens: the README beside the programs
// (or in the package's documentation folder).
inline constexpr const char* kReadmeName = "README.md";
inline constexpr const char* kGermanSection = "GER";
inline constexpr const char* kEnglishSection = "ENG";

class TextGenerator {
public:
    // Adds the three files; false if a text could not be encoded.
    bool generate(GeneratedFiles& folder) const;
};

}  // namespace reef::tools
