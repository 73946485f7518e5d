// Reader of the sectioned UTF-16 text files ("Directory.dat", "Language.dat",
// "ScreenLanguage.dat"): one language section of entries `key = {value}`,
// looked up by 8-bit key. The file may be wrapped in a TQArchive. Parsing is
// deferred to the first lookup and happens at most once.
//
// Format of the text (UTF-16LE, a leading byte-order mark is harmless):
//   [GER]                  the first occurrence of "[" + code + "]" starts the section
//   caption = {Einstellungen}
//   infotxt = {two
//              lines}      values may span lines; "}" ends a value
//   [ENG]                  the next "[" ends the section
// A reader may name a fallback section, read when the bound one is missing.
// There are no comments, quotes or escapes; a value without braces takes the
// next braced value in the section (swallowing that entry's key).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace reef {

class DatReader {
public:
    // Keys are stored as UTF-8 of at most this many bytes.
    static constexpr size_t kMaxKeyBytes = 255;
    // Language codes are used up to this many characters.
    static constexpr size_t kMaxCodeLength = 4;
    // Files larger than this are refused as unreadable rather than read whole.
    static constexpr size_t kMaxFileBytes = 16u * 1024u * 1024u;

    DatReader() = default;
    DatReader(const DatReader&) = delete;
    DatReader& operator=(const DatReader&) = delete;

    // Binds the reader to a language section ("GER"); no effect once a parse succeeded.
    void setSection(const std::string& code);
    // The section read instead when the text has no section of the bound
    // language ("GER", which every data folder has); none by default.
    void setFallbackSection(const std::string& code);
    // Reads the file (path with '/' or '\\' separators); false when it cannot be read.
    bool open(const std::string& path);
    // The same from bytes already in memory (always succeeds).
    bool open(const uint8_t* data, size_t size);
    // The value of the first entry with exactly this key; the empty text when absent.
    const std::u16string& lookup(const std::string& key);

    // True once the section was found and its entries read.
    bool parsed() const { return m_parsed; }
    // True when the bytes opened last were a TQArchive.
    bool streamFromArchive() const { return m_streamFromArchive; }
    // The entries of the section in file order (after the first lookup).
    const std::vector<std::pair<std::string, std::u16string>>& entries() const { return m_entries; }

private:
    void parse();
    void parseBody(std::u16string_view body);

    // The unread text bytes, standing in for the open stream.
    std::vector<uint8_t> m_stream;
    bool m_hasStream = false;
    std::u16string m_sectionHeader;
    std::u16string m_fallbackHeader;
    std::vector<std::pair<std::string, std::u16string>> m_entries;
    bool m_parsed = false;
    bool m_streamFromArchive = false;
};

}  // namespace reef
