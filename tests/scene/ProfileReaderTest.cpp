#include "scene/ProfileReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reef {
namespace {

ProfileReader fromText(const std::string& text) {
    ProfileReader reader;
    reader.openFromMemory(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return reader;
}

std::u16string get(const ProfileReader& reader, std::u16string_view section, std::u16string_view key,
                   size_t capacity = ProfileReader::kDefaultCapacity) {
    std::u16string out = u"stale";
    const size_t length = reader.getString(section, key, out, capacity);
    EXPECT_EQ(length, out.size());
    return out;
}

// UTF-16LE bytes with a byte-order mark.
std::vector<uint8_t> utf16File(std::u16string_view text) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(ProfileReader, NamesMatchWithoutCaseAndBlanksAndQuotesAreTrimmed) {
    const ProfileReader reader = fromText(
        "; a comment line\r\n"
        "  [ Saver ]\r\n"
        "TYPE = boid \r\n"
        "  ; scale=9\r\n"
        "texture=\"fish.tqt\"\r\n"
        "model = ' shark.tqm '\r\n"
        "mixed=\"half'\r\n"
        "quoted=\"\"\"inner\"\"\"\r\n"
        "empty=\r\n"
        "[settings]\n"
        "Category=fish\n");
    EXPECT_EQ(get(reader, u"saver", u"type"), u"boid");
    EXPECT_EQ(get(reader, u"SAVER", u"Type"), u"boid");
    EXPECT_EQ(get(reader, u"saver", u"texture"), u"fish.tqt");
    EXPECT_EQ(get(reader, u"saver", u"model"), u" shark.tqm ");  // only the quotes go
    EXPECT_EQ(get(reader, u"saver", u"mixed"), u"\"half'");      // quotes must match
    EXPECT_EQ(get(reader, u"saver", u"quoted"), u"\"\"inner\"\"");  // one pair only
    EXPECT_EQ(get(reader, u"saver", u"scale"), u"");            // commented out
    EXPECT_EQ(get(reader, u"saver", u"empty"), u"");
    EXPECT_EQ(get(reader, u"settings", u"category"), u"fish");
    EXPECT_EQ(get(reader, u"saver", u"category"), u"");  // keys belong to their section
    EXPECT_TRUE(reader.sectionExists(u"SETTINGS"));
    EXPECT_TRUE(reader.sectionExists(u"saver"));
    EXPECT_FALSE(reader.sectionExists(u"saver2"));
}

TEST(ProfileReader, FirstMatchWins) {
    const ProfileReader reader = fromText(
        "[saver]\nid=first\nID=second\n"
        "[Saver]\nid=third\nextra=only here\n");
    EXPECT_EQ(get(reader, u"saver", u"id"), u"first");
    // The first section of a name answers for it, as the private-profile functions do.
    EXPECT_EQ(get(reader, u"saver", u"extra"), u"");
    EXPECT_EQ(reader.sectionNames(), (std::vector<std::u16string>{u"saver", u"Saver"}));
}

TEST(ProfileReader, ReadsUtf16FileWithByteOrderMark) {
    const std::vector<uint8_t> bytes = utf16File(u"[common]\r\nid=Kofferfisch \u00e4\u20ac\r\n[saver]\r\ntype=boid\r\n");
    ProfileReader reader;
    reader.openFromMemory(bytes.data(), bytes.size());
    EXPECT_EQ(get(reader, u"Common", u"ID"), u"Kofferfisch \u00e4\u20ac");
    EXPECT_EQ(get(reader, u"saver", u"type"), u"boid");
}

TEST(ProfileReader, Utf8WithBomAndAnsiFallback) {
    const ProfileReader utf8 = fromText("\xEF\xBB\xBF[common]\nid=M\xC3\xA4rz\n");
    EXPECT_EQ(get(utf8, u"common", u"id"), u"M\u00e4rz");
    // Not valid UTF-8: an ANSI (Latin-1) descriptor.
    const ProfileReader ansi = fromText("[common]\nid=M\xE4rz\n[\xC4RGER]\nk=v\n");
    EXPECT_EQ(get(ansi, u"common", u"id"), u"M\u00e4rz");
    EXPECT_TRUE(ansi.sectionExists(u"\u00e4rger"));  // Latin-1 capitals fold too
}

TEST(ProfileReader, CapacityCutsLongValues) {
    const std::string longValue(600, 'x');
    const ProfileReader reader = fromText("[s]\nk=" + longValue + "\nshort=abc\n");
    EXPECT_EQ(get(reader, u"s", u"k").size(), 511u);
    EXPECT_EQ(get(reader, u"s", u"k", 128).size(), 127u);
    EXPECT_EQ(get(reader, u"s", u"k", 2000).size(), 600u);
    EXPECT_EQ(get(reader, u"s", u"short", 3), u"ab");
    EXPECT_EQ(get(reader, u"s", u"short", 1), u"");
    EXPECT_EQ(get(reader, u"s", u"short", 0), u"");
}

TEST(ProfileReader, BooleanValues) {
    const ProfileReader reader = fromText(
        "[saver]\n"
        "a=TRUE\nb=Yes\nc=7\nd= 12 apples\ne=-3\nf=0007\n"
        "g=no\nh=0\ni=\nj=false\nk=0x1\nl=yes please\nm=+0\n");
    struct Case {
        const char16_t* key;
        bool fallback;
        bool expected;
    };
    const Case cases[] = {
        {u"a", false, true},  {u"b", false, true},  {u"c", false, true},   {u"d", false, true},
        {u"e", false, true},  {u"f", false, true},  {u"g", true, false},   {u"h", true, false},
        {u"i", false, false}, {u"i", true, true},   {u"j", true, false},   {u"k", true, false},
        {u"l", true, false},  {u"m", true, false},  {u"absent", false, false}, {u"absent", true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reader.getBool(u"saver", c.key, c.fallback), c.expected)
            << "key " << std::string(c.key, c.key + std::char_traits<char16_t>::length(c.key)) << " fallback "
            << c.fallback;
    }
}

TEST(ProfileReader, MissingOrMalformedInputBehavesAsEmpty) {
    ProfileReader reader;
    EXPECT_FALSE(reader.open("/nonexistent/folder\\info.ini"));
    EXPECT_EQ(get(reader, u"saver", u"type"), u"");
    EXPECT_TRUE(reader.getBool(u"saver", u"lighting", true));
    EXPECT_FALSE(reader.sectionExists(u"saver"));

    const std::vector<std::string> junk = {
        "",                          // empty file
        "\xFF\xFE",                  // byte-order mark only
        "\xFF\xFE[\0",               // odd trailing byte
        "key=before any section\n",  // no section
        "[unclosed\nk=v\n",          // section name runs to the end of the line
        "[s]\n=no key\nnovalue\n",   // ignored lines
        std::string("[s]\nk=a\0b\n", 10),
    };
    for (const std::string& text : junk) {
        const ProfileReader r = fromText(text);
        EXPECT_EQ(get(r, u"s", u"novalue"), u"");
        EXPECT_EQ(get(r, u"s", u""), u"");
    }
    EXPECT_EQ(get(fromText("[unclosed\nk=v\n"), u"unclosed", u"k"), u"v");
    EXPECT_EQ(get(fromText("key=x\n"), u"", u"key"), u"");
}

}  // namespace
}  // namespace reef
