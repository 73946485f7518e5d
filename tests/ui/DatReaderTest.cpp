#include "ui/DatReader.h"

#include "engine/TQArchiveFormat.h"
#include "engine/WideText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/TempFolder.h"

namespace reef {
namespace {

// The bytes of a UTF-16LE file holding text, optionally with a byte-order mark.
std::vector<uint8_t> utf16le(const std::u16string& text, bool bom = false) {
    std::vector<uint8_t> bytes;
    if (bom) {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
    }
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

// A reader bound to GER over in-memory bytes.
struct Reader {
    explicit Reader(const std::vector<uint8_t>& bytes, const std::string& code = "GER") {
        reader.setSection(code);
        EXPECT_TRUE(reader.open(bytes.data(), bytes.size()));
    }
    std::u16string operator[](const std::string& key) { return reader.lookup(key); }
    DatReader reader;
};

const std::u16string kGerman =
    u"[ENG]\r\ncaption = {Settings}\r\n"
    u"[GER]\r\n"
    u"caption = {Einstellungen}\r\n"
    u"cancel = {Abbrechen}\r\n";

TEST(DatReader, ReadsEntriesOfTheSelectedSectionExactly) {
    Reader r(utf16le(kGerman));
    EXPECT_EQ(r["caption"], u"Einstellungen");
    EXPECT_EQ(r["cancel"], u"Abbrechen");
    EXPECT_EQ(r["Caption"], u"");   // case-sensitive
    EXPECT_EQ(r["captio"], u"");    // same length required
    EXPECT_EQ(r["missing"], u"");
    EXPECT_TRUE(r.reader.parsed());
    EXPECT_FALSE(r.reader.streamFromArchive());

    Reader english(utf16le(kGerman), "ENG");
    EXPECT_EQ(english["caption"], u"Settings");
    EXPECT_EQ(english["cancel"], u"");  // "[GER]" ends the ENG section
}

TEST(DatReader, MultiLineValueKeepsInnerLineBreakAndLosesOuterBlanks) {
    Reader r(utf16le(u"[GER]\r\ninfotxt = {  \t Erste\r\nZeile \r\n }\r\nnext={x}"));
    EXPECT_EQ(r["infotxt"], u"Erste\r\nZeile");
    EXPECT_EQ(r["next"], u"x");
}

TEST(DatReader, ValueWithoutBracesSwallowsTheNextEntry) {
    Reader r(utf16le(u"[GER]\r\nbroken = oops\r\nvictim = {Wert}\r\nafter = {danach}\r\n"));
    EXPECT_EQ(r["broken"], u"Wert");
    EXPECT_EQ(r["victim"], u"");
    EXPECT_EQ(r["after"], u"danach");
    ASSERT_EQ(r.reader.entries().size(), 2u);

    // At the end of the section such a key yields no entry at all.
    Reader tail(utf16le(u"[GER]\r\nok = {ja}\r\nlast = nichts\r\n[ENG]\r\nx = {y}"));
    EXPECT_EQ(tail["ok"], u"ja");
    EXPECT_EQ(tail["last"], u"");
    EXPECT_EQ(tail.reader.entries().size(), 1u);

    // An opening brace without a closing one completes nothing either.
    Reader open(utf16le(u"[GER]\r\na = {b}\r\nc = {unclosed\r\nd = e"));
    EXPECT_EQ(open["a"], u"b");
    EXPECT_EQ(open["c"], u"");
    EXPECT_EQ(open.reader.entries().size(), 1u);
}

TEST(DatReader, SecondBracketEndsTheSectionAndOnlyFirstHeaderCounts) {
    Reader r(utf16le(u"[GER]\r\na = {1}\r\n[GER]\r\nb = {2}\r\n"));
    EXPECT_EQ(r["a"], u"1");
    EXPECT_EQ(r["b"], u"");

    // A stray "[" inside a value cuts the section there.
    Reader cut(utf16le(u"[GER]\r\na = {x[y}\r\nb = {2}\r\n"));
    EXPECT_EQ(cut["a"], u"");
    EXPECT_EQ(cut["b"], u"");
}

TEST(DatReader, DuplicateKeysFirstWinsAndStrayTextJoinsTheKey) {
    Reader r(utf16le(u"[GER]\r\nkey = {erste}\r\nkey = {zweite}\r\n; note\r\nother = {v}"));
    EXPECT_EQ(r["key"], u"erste");
    EXPECT_EQ(r["other"], u"");
    EXPECT_EQ(r["; note\r\nother"], u"v");
    // An empty value is found but empty; text between "=" and "{" is ignored.
    Reader e(utf16le(u"[GER]empty={   }x = ignored {y}"));
    EXPECT_EQ(e["empty"], u"");
    EXPECT_EQ(e["x"], u"y");
    EXPECT_EQ(e.reader.entries().size(), 2u);
}

TEST(DatReader, UnreadableInputsYieldEmptyForEveryKey) {
    const std::vector<std::vector<uint8_t>> inputs = {
        utf16le(u"[ENG]\r\ncaption = {Settings}\r\n"),                  // no GER section
        {},                                                             // empty file
        {'[', 'G', 'E', 'R', ']', '\n', 'c', 'a', 'p', 't', 'i', 'o',  // 8-bit file
         'n', '=', '{', 'x', '}', '\n'},
        {0x5B},                                                         // one odd byte
    };
    for (const auto& bytes : inputs) {
        Reader r(bytes);
        EXPECT_EQ(r["caption"], u"");
        EXPECT_FALSE(r.reader.parsed());
        // The stream was consumed: even another lookup finds nothing.
        EXPECT_EQ(r["caption"], u"");
    }

    DatReader missing;
    missing.setSection("GER");
    EXPECT_FALSE(missing.open("/nonexistent/folder/Language.dat"));
    EXPECT_EQ(missing.lookup("caption"), u"");
}

TEST(DatReader, ByteOrderMarkDoesNotDisturbTheSectionSearch) {
    Reader r(utf16le(u"[GER]\r\ncaption = {Einstellungen}\r\n", true));
    EXPECT_EQ(r["caption"], u"Einstellungen");
    // An odd trailing byte is dropped, not misread.
    auto bytes = utf16le(u"[GER]\r\na = {b}");
    bytes.push_back('}');
    Reader odd(bytes);
    EXPECT_EQ(odd["a"], u"b");
}

TEST(DatReader, SectionIsFixedOnceParsed) {
    const auto bytes = utf16le(kGerman);
    DatReader reader;
    reader.setSection("GER");
    ASSERT_TRUE(reader.open(bytes.data(), bytes.size()));
    EXPECT_EQ(reader.lookup("caption"), u"Einstellungen");
    reader.setSection("ENG");
    EXPECT_EQ(reader.lookup("caption"), u"Einstellungen");

    // Before any section is chosen nothing is read, so a later choice still works.
    DatReader late;
    ASSERT_TRUE(late.open(bytes.data(), bytes.size()));
    EXPECT_EQ(late.lookup("caption"), u"");
    late.setSection("ENG");
    EXPECT_EQ(late.lookup("caption"), u"Settings");
}

// An archive around the text: header, then payload (XORed when scrambled).
std::vector<uint8_t> archive(const std::vector<uint8_t>& payload, uint32_t flags, char afterMagic = '\0') {
    std::vector<uint8_t> bytes(tqarchive::kHeaderSize, 0);
    for (size_t i = 0; i < tqarchive::kMagicLength; ++i) bytes[i] = static_cast<uint8_t>(tqarchive::kMagic[i]);
    bytes[tqarchive::kMagicLength] = static_cast<uint8_t>(afterMagic);
    bytes[tqarchive::kFlagsOffset] = static_cast<uint8_t>(flags & 0xFF);
    bytes[tqarchive::kFlagsOffset + 3] = static_cast<uint8_t>(flags >> 24);
    for (uint8_t byte : payload) {
        bytes.push_back((flags & tqarchive::kFlagScrambled) ? byte ^ tqarchive::kScrambleKey : byte);
    }
    return bytes;
}

TEST(DatReader, ArchiveWrappedFilesAreUnpackedFirst) {
    const auto text = utf16le(kGerman);
    Reader plain(archive(text, 0));
    EXPECT_TRUE(plain.reader.streamFromArchive());
    EXPECT_EQ(plain["cancel"], u"Abbrechen");

    Reader scrambled(archive(text, tqarchive::kFlagScrambled | 0x80000000u));
    EXPECT_TRUE(scrambled.reader.streamFromArchive());
    EXPECT_EQ(scrambled["cancel"], u"Abbrechen");

    Reader packed(archive(text, tqarchive::kFlagPacked));
    EXPECT_TRUE(packed.reader.streamFromArchive());
    EXPECT_EQ(packed["cancel"], u"");

    // A magic followed by another letter instead of the zero is plain text.
    Reader notArchive(archive(text, 0, 'X'));
    EXPECT_FALSE(notArchive.reader.streamFromArchive());
}

TEST(DatReader, OpensFilesFromDiskWithEitherSeparator) {
    const test::TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string dir = temp.path();
    const std::string path = dir + "/Language.dat";
    const auto bytes = utf16le(kGerman, true);
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    DatReader reader;
    reader.setSection("GER");
    ASSERT_TRUE(reader.open(std::string(dir) + "\\Language.dat"));
    EXPECT_EQ(reader.lookup("caption"), u"Einstellungen");

    DatReader folder;  // a folder opens but cannot be read
    folder.setSection("GER");
    EXPECT_FALSE(folder.open(dir));
    EXPECT_EQ(folder.lookup("caption"), u"");
}

// A file without the bound section is read in the fallback section; the bound
// one wins wherever it stands, and without a fallback nothing is read.
TEST(DatReader, FallsBackToAnotherSectionOnlyWhenTheBoundOneIsMissing) {
    const std::u16string germanOnly = u"[GER]\r\ncaption = {Einstellungen}\r\n";
    const std::u16string both = u"[GER]\r\ncaption = {Einstellungen}\r\n[ENG]\r\ncaption = {Settings}\r\n";
    struct Case {
        const char* what;
        std::u16string text;
        const char* fallback;
        std::u16string caption;
    };
    const Case cases[] = {
        {"English wanted, German only", germanOnly, "GER", u"Einstellungen"},
        {"English wanted and present after German", both, "GER", u"Settings"},
        {"no fallback", germanOnly, "", u""},
        {"fallback missing too", u"[FRA]\r\ncaption = {R\u00e9glages}\r\n", "GER", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DatReader reader;
        reader.setSection("ENG");
        reader.setFallbackSection(c.fallback);
        const auto bytes = utf16le(c.text, true);
        ASSERT_TRUE(reader.open(bytes.data(), bytes.size()));
        EXPECT_EQ(reader.lookup("caption"), c.caption);
    }
}

TEST(DatReader, HostileInputNeverCrashes) {
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<uint8_t>(state >> 16);
    };
    size_t totalEntries = 0;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bytes = utf16le(u"[GER]");
        const size_t length = (round * 37) % 2000;
        for (size_t i = 0; i < length; ++i) {
            // Bias towards the syntax characters so the parser's branches are hit.
            static const char16_t syntax[] = u"=={}[] \r\n\t";
            if (next() % 2) {
                const char16_t unit = syntax[next() % 10];
                bytes.push_back(static_cast<uint8_t>(unit));
                bytes.push_back(0);
            } else {
                bytes.push_back(next());
            }
        }
        Reader r(bytes);
        (void)r["a"];
        // Whatever was read obeys the format: bounded keys, values without
        // braces, brackets or outer blanks, and lookups return the first match.
        const auto& entries = r.reader.entries();
        totalEntries += entries.size();
        for (size_t i = 0; i < entries.size(); ++i) {
            const auto& [key, value] = entries[i];
            EXPECT_LE(key.size(), DatReader::kMaxKeyBytes);
            EXPECT_EQ(value.find_first_of(u"}["), std::u16string::npos);
            if (!value.empty()) {
                EXPECT_EQ(std::u16string(u" \t\r\n").find(value.front()), std::u16string::npos);
                EXPECT_EQ(std::u16string(u" \t\r\n").find(value.back()), std::u16string::npos);
            }
            size_t first = 0;
            while (entries[first].first != key) ++first;
            EXPECT_EQ(r.reader.lookup(key), entries[first].second);
        }
    }

    EXPECT_GT(totalEntries, 0u);  // the random texts did exercise the entry path

    // A long section of "=" without braces and keys longer than the limit.
    std::u16string huge = u"[GER]" + std::u16string(400000, u'=');
    Reader equals(utf16le(huge));
    EXPECT_EQ(equals["x"], u"");
    Reader longKey(utf16le(u"[GER]" + std::u16string(1000, u'k') + u"={v}"));
    EXPECT_EQ(longKey[std::string(DatReader::kMaxKeyBytes, 'k')], u"v");
}

}  // namespace
}  // namespace reef
