#include "ui/LocaleLanguage.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace reef {
namespace {

// The first set, non-empty variable of LC_ALL, LC_MESSAGES and LANG decides:
// German locales read German, every other locale English.
TEST(LocaleLanguage, PicksTheSectionLikeTheMessageLocale) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* section;
    };
    const Case cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", "GER"},
        {nullptr, nullptr, "de_AT@euro", "GER"},
        {nullptr, nullptr, "de", "GER"},
        {nullptr, nullptr, "de_CH.UTF-8", "GER"},
        {nullptr, nullptr, "C.UTF-8", "ENG"},
        {nullptr, nullptr, "en_GB.UTF-8", "ENG"},
        {nullptr, nullptr, "fr_FR.UTF-8", "ENG"},
        {nullptr, nullptr, "POSIX", "ENG"},
        {nullptr, nullptr, "dex_XX", "ENG"},       // only the language part counts
        {nullptr, nullptr, nullptr, "ENG"},        // no locale is the C locale
        {"", "", "", "ENG"},
        {"C", nullptr, "de_DE.UTF-8", "ENG"},      // LC_ALL overrides LANG
        {nullptr, "de_DE.UTF-8", "en_US.UTF-8", "GER"},  // LC_MESSAGES before LANG
        {"", "en_US.UTF-8", "de_DE.UTF-8", "ENG"},  // an empty LC_ALL counts as unset
        {"de_DE.UTF-8", "en_US.UTF-8", "C", "GER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-")
                                          << " " << (c.lang ? c.lang : "-"));
        EXPECT_EQ(LocaleLanguage::sectionFor(c.lcAll, c.lcMessages, c.lang), c.section);
    }
}

#ifndef _WIN32  // setenv and unsetenv are POSIX
TEST(LocaleLanguage, ReadsTheProcessEnvironment) {
    const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string keep[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "", saved[2] ? saved[2] : ""};
    unsetenv("LC_ALL");
    setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(LocaleLanguage::fromEnvironment(), "GER");
    setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(LocaleLanguage::fromEnvironment(), "ENG");
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            setenv(names[i], keep[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}
#endif

}  // namespace
}  // namespace reef
