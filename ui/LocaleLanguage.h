// Which language section of the text files ("Language.dat", "ScreenLanguage.dat",
// "Directory.dat") a person's locale asks for, chosen the way the C library
// picks the message locale: the first set and non-empty variable of LC_ALL,
// LC_MESSAGES and LANG decides. German locales read "GER", every other locale
// (C and POSIX included) reads "ENG"; a file without that section is read in
// German, the language every data folder has.
#pragma once

#include <string>

namespace reef {

class LocaleLanguage {
public:
    static constexpr const char* kGerman = "GER";
    static constexpr const char* kEnglish = "ENG";
    // The section read when a file lacks the chosen one.
    static constexpr const char* kFallback = kGerman;

    // The section for these variable values (null or empty: not set).
    static std::string sectionFor(const char* lcAll, const char* lcMessages, const char* lang);
    // The section for this process's environment.
    static std::string fromEnvironment();
};

}  // namespace reef
