#include "ui/LocaleLanguage.h"

#include <cstdlib>
#include <string_view>

namespace reef {

namespace {

// "de", "de_DE.UTF-8", "de_AT@euro": the language part is everything before '_', '.' or '@'.
bool isGerman(std::string_view locale) {
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    return language == "de";
}

}  // namespace

std::string LocaleLanguage::sectionFor(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value == nullptr || *value == '\0') continue;
        return isGerman(value) ? kGerman : kEnglish;
    }
    return kEnglish;  // no locale at all is the C locale
}

std::string LocaleLanguage::fromEnvironment() {
    return sectionFor(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace reef
