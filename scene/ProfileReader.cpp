#include "scene/ProfileReader.h"

#include <algorithm>
#include <cstdio>

#include "engine/FilePath.h"
#include "engine/WideText.h"

namespace reef {

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\r';
}

std::u16string_view trim(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// One pair of matching quotes around the whole value is dropped.
std::u16string_view unquote(std::u16string_view text) {
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front()) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// ASCII and Latin-1 capitals fold to small letters; everything else compares as is.
char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

std::u16string folded(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = foldCase(c);
    return out;
}

std::u16string decodeLatin1(const uint8_t* data, size_t size) {
    std::u16string out(size, u'\0');
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<char16_t>(data[i]);
    return out;
}

std::u16string decodeUtf16be(const uint8_t* data, size_t size) {
    std::u16string out(size / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>((data[2 * i] << 8) | data[2 * i + 1]);
    }
    return out;
}

bool containsEncodedReplacement(const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 2 < size; ++i) {
        if (data[i] == 0xEF && data[i + 1] == 0xBF && data[i + 2] == 0xBD) return true;
    }
    return false;
}

// The byte-order mark decides the encoding; without one the text is UTF-8, or
// Latin-1 when it is not valid UTF-8 (descriptors saved in an ANSI code page).
std::u16string decodeText(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return decodeUtf16le(data + 2, size - 2);
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) return decodeUtf16be(data + 2, size - 2);
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        data += 3;
        size -= 3;
    }
    std::u16string text = fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    if (text.find(kReplacementChar) != std::u16string::npos && !containsEncodedReplacement(data, size)) {
        return decodeLatin1(data, size);
    }
    return text;
}

}  // namespace

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    }
    return true;
}

bool ProfileReader::open(const std::string& path) {
    clear();
    const std::optional<std::vector<uint8_t>> bytes = readLoaderFile(path, kMaxFileBytes, "ProfileReader");
    if (!bytes) return false;
    openFromMemory(bytes->data(), bytes->size());
    return true;
}

void ProfileReader::openFromMemory(const uint8_t* data, size_t size) {
    clear();
    if (!data || size == 0) return;
    parse(decodeText(data, size));
}

void ProfileReader::clear() {
    m_sections.clear();
    m_sectionAt.clear();
}

void ProfileReader::parse(std::u16string_view text) {
    Section* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos) end = text.size();
        const std::u16string_view line = trim(text.substr(start, end - start));
        start = end + 1;

        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            const std::u16string_view name =
                close == std::u16string_view::npos ? line.substr(1) : line.substr(1, close - 1);
            m_sections.push_back(Section{std::u16string(trim(name)), {}, {}});
            m_sectionAt.try_emplace(folded(m_sections.back().name), m_sections.size() - 1);
            current = &m_sections.back();
            continue;
        }
        // Lines before the first section and lines without '=' carry no key.
        const size_t equals = line.find(u'=');
        if (!current || equals == std::u16string_view::npos) continue;
        const std::u16string_view key = trim(line.substr(0, equals));
        if (key.empty()) continue;
        const std::u16string_view value = unquote(trim(line.substr(equals + 1)));
        current->keyAt.try_emplace(folded(key), current->entries.size());
        current->entries.push_back(Entry{std::u16string(key), std::u16string(value)});
    }
}

const ProfileReader::Section* ProfileReader::findSection(std::u16string_view name) const {
    const auto at = m_sectionAt.find(folded(trim(name)));
    return at != m_sectionAt.end() ? &m_sections[at->second] : nullptr;
}

const std::u16string* ProfileReader::findValue(std::u16string_view section, std::u16string_view key) const {
    const Section* found = findSection(section);
    if (!found) return nullptr;
    const auto at = found->keyAt.find(folded(trim(key)));
    return at != found->keyAt.end() ? &found->entries[at->second].value : nullptr;
}

size_t ProfileReader::getString(std::u16string_view section, std::u16string_view key, std::u16string& out,
                                size_t capacity) const {
    out.clear();
    const std::u16string* value = findValue(section, key);
    if (!value || capacity == 0) return 0;
    out = truncateWide(*value, capacity - 1);
    return out.size();
}

bool ProfileReader::getBool(std::u16string_view section, std::u16string_view key, bool fallback) const {
    std::u16string text;
    if (getString(section, key, text) == 0) return fallback;
    if (equalsIgnoreCase(text, u"true") || equalsIgnoreCase(text, u"yes")) return true;
    size_t i = 0;
    if (text[i] == u'+' || text[i] == u'-') ++i;
    // Any non-zero digit in the leading run makes the integer non-zero (no overflow to worry about).
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (text[i] != u'0') return true;
    }
    return false;
}

bool ProfileReader::sectionExists(std::u16string_view name) const { return findSection(name) != nullptr; }

std::vector<std::u16string> ProfileReader::sectionNames() const {
    std::vector<std::u16string> names;
    names.reserve(m_sections.size());
    for (const Section& section : m_sections) names.push_back(section.name);
    return names;
}

}  // namespace reef
