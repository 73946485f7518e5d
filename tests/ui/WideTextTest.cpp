#include "engine/WideText.h"

#include <gtest/gtest.h>

#include <vector>

namespace reef {
namespace {

TEST(WideText, RoundTripsAcrossAllUtf8Lengths) {
    // ASCII, Latin-1, BMP beyond Latin-1, and a pair outside the BMP.
    const std::u16string wide = u"Abc \u00e4\u00df \u20ac \U0001F41F";
    const std::string narrow = toUtf8(wide);
    EXPECT_EQ(narrow, "Abc \xC3\xA4\xC3\x9F \xE2\x82\xAC \xF0\x9F\x90\x9F");
    EXPECT_EQ(fromUtf8(narrow), wide);
}

TEST(WideText, UnpairedSurrogatesBecomeReplacement) {
    const std::u16string lone_high = {u'a', char16_t(0xD83D), u'b'};
    const std::u16string lone_low = {char16_t(0xDC1F), u'c'};
    const std::u16string high_at_end = {u'x', char16_t(0xD83D)};
    EXPECT_EQ(toUtf8(lone_high), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(toUtf8(lone_low), "\xEF\xBF\xBD" "c");
    EXPECT_EQ(toUtf8(high_at_end), "x\xEF\xBF\xBD");
}

TEST(WideText, MalformedUtf8IsReplacedNotTrusted) {
    struct Case {
        std::string in;
        std::u16string out;
    };
    const std::vector<Case> cases = {
        {"\x80" "a", u"\uFFFD" "a"},                // stray continuation byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},              // overlong lead byte
        {"\xE0\x80\xAF" "z", u"\uFFFDz"},           // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD"},                // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},            // beyond U+10FFFF
        {"\xE2\x82", u"\uFFFD"},                    // truncated at the end
        {"\xE2" "A", u"\uFFFD" "A"},                // interrupted: resync on 'A'
        {"\xFF\xFE", u"\uFFFD\uFFFD"},              // bytes that never occur
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},  // NUL kept as a character
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fromUtf8(c.in), c.out) << "input of " << c.in.size() << " bytes";
    }
}

TEST(WideText, Utf16leDecodingDropsOddTrailingByte) {
    const uint8_t bytes[] = {'H', 0, 'i', 0, 0xAC, 0x20, 0x7F};
    EXPECT_EQ(decodeUtf16le(bytes, sizeof bytes), u"Hi\u20ac");
    EXPECT_EQ(decodeUtf16le(bytes, 1), u"");
    EXPECT_EQ(decodeUtf16le(nullptr, 10), u"");
}

TEST(WideText, NarrowCopyRespectsLimitAtCharacterBoundaries) {
    EXPECT_EQ(wideToNarrow(u"Software\\Reef", 8), "Software");
    EXPECT_EQ(wideToNarrow(u"short", 256), "short");
    // "a" + two-byte + three-byte: a limit inside a character stops before it.
    EXPECT_EQ(wideToNarrow(u"a\u00e4\u20ac", 2), "a");
    EXPECT_EQ(wideToNarrow(u"a\u00e4\u20ac", 3), "a\xC3\xA4");
    EXPECT_EQ(wideToNarrow(u"a\u00e4\u20ac", 5), "a\xC3\xA4");
    EXPECT_EQ(wideToNarrow(u"a\u00e4\u20ac", 6), "a\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(wideToNarrow(u"\U0001F41F", 3), "");
    EXPECT_EQ(wideToNarrow(u"abc", 0), "");
}

TEST(WideText, WideTruncationKeepsSurrogatePairsWhole) {
    EXPECT_EQ(truncateWide(u"abcdef", 3), u"abc");
    EXPECT_EQ(truncateWide(u"ab", 127), u"ab");
    EXPECT_EQ(truncateWide(u"a\U0001F41F", 2), u"a");
    EXPECT_EQ(truncateWide(u"a\U0001F41F", 3), u"a\U0001F41F");
}

// File names are bytes: whatever they hold comes back unchanged, and the
// UTF-8 parts read as the text they are.
TEST(WideText, PathBytesSurviveTheWideRoundTrip) {
    const std::string names[] = {
        "Fisch\xE9",               // Latin-1
        "\xE2\x82",                 // UTF-8 cut short
        "\xC0\xAF/\xED\xA0\x80",     // overlong slash, encoded surrogate
        "\xF4\x90\x80\x80",         // past U+10FFFF
        "gr\xC3\xBCn \xF0\x9F\x90\xA0 \xFF\xFE",
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(pathFromWide(wideFromPath(name)), name);
    }
    EXPECT_EQ(wideFromPath("gr\xC3\xBCn"), fromUtf8("gr\xC3\xBCn"));
    EXPECT_EQ(wideFromPath("a\xE9"), std::u16string(u"a\xDCE9"));
    std::string every;
    for (int b = 1; b < 256; ++b) every.push_back(static_cast<char>(b));
    EXPECT_EQ(pathFromWide(wideFromPath(every)), every);
    // The limit cuts between whole characters and kept bytes.
    EXPECT_EQ(pathFromWide(wideFromPath("\xE9\xC3\xBC\xE9"), 2), "\xE9");
    EXPECT_EQ(pathFromWide(wideFromPath("\xE9\xC3\xBC\xE9"), 3), "\xE9\xC3\xBC");
}

}  // namespace
}  // namespace reef
