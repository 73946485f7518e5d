// Reader of INI files with the private-profile rules the set descriptors rely on:
// section and key names compared without regard to case, blanks around names
// and values trimmed, one pair of surrounding quotes removed from a value,
// ';' comment lines, first match wins. Files are UTF-8 (an ANSI file that is
// not valid UTF-8 is read as Latin-1) or UTF-16LE with a byte-order mark.
//
// NOTE: a missing or unreadable file behaves as an empty one: every key is
// absent, so every lookup gives the empty text or the caller's default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace reef {

class ProfileReader {
public:
    // What callers pass for the usual string buffer (characters, terminator included).
    static constexpr size_t kDefaultCapacity = 512;
    // Larger files are not descriptors and are refused unread.
    static constexpr size_t kMaxFileBytes = 16u * 1024u * 1024u;

    ProfileReader() = default;

    // Reads a file; backslashes in the path are taken as folder separators.
    // False (and an empty profile) when the file cannot be read, is not a regular
    // file or is larger than kMaxFileBytes; every case but a missing file prints a line.
    bool open(const std::string& path);
    // Parses a whole file's bytes already in memory; replaces what was loaded before.
    void openFromMemory(const uint8_t* data, size_t size);
    void clear();

    // Copies the value into out, cut to capacity - 1 characters (capacity counts
    // the terminator of the classic character buffer). Returns the length copied:
    // 0 when the section or key is absent or the value is empty.
    size_t getString(std::u16string_view section, std::u16string_view key, std::u16string& out,
                     size_t capacity = kDefaultCapacity) const;
    // "true"/"yes" in any case are true; otherwise true exactly when the value
    // starts with a non-zero decimal integer. fallback when absent or empty.
    bool getBool(std::u16string_view section, std::u16string_view key, bool fallback) const;
    // True if the file has a section of that name (without regard to case).
    bool sectionExists(std::u16string_view name) const;
    // Every section name in file order, duplicates included.
    std::vector<std::u16string> sectionNames() const;

private:
    struct Entry {
        std::u16string key;
        std::u16string value;
    };
    struct Section {
        std::u16string name;
        std::vector<Entry> entries;
        // Folded key -> its first entry: a descriptor may hold tens of
        // thousands of keys, each looked up by name.
        std::unordered_map<std::u16string, size_t> keyAt;
    };

    const Section* findSection(std::u16string_view name) const;
    const std::u16string* findValue(std::u16string_view section, std::u16string_view key) const;
    void parse(std::u16string_view text);

    std::vector<Section> m_sections;
    // Folded name -> the first section of that name (the one lookups use).
    std::unordered_map<std::u16string, size_t> m_sectionAt;
};

// True when both names are equal without regard to (Latin) letter case.
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace reef
