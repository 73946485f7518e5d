#include "ui/DatReader.h"

#include "engine/FilePath.h"
#include "engine/TQArchive.h"
#include "engine/WideText.h"

#include <cstdio>
#include <string_view>

namespace reef {

namespace {

constexpr std::u16string_view kBlanks = u" \t\n\r";

std::u16string_view trim(std::u16string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::u16string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string trimNarrow(const std::string& text) {
    const char* blanks = " \t\n\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::u16string sectionHeader(const std::string& code) {
    return u"[" + truncateWide(fromUtf8(code), DatReader::kMaxCodeLength) + u"]";
}

}  // namespace

void DatReader::setSection(const std::string& code) {
    if (m_parsed) return;
    m_sectionHeader = sectionHeader(code);
}

void DatReader::setFallbackSection(const std::string& code) {
    if (m_parsed) return;
    m_fallbackHeader = code.empty() ? std::u16string() : sectionHeader(code);
}

bool DatReader::open(const std::string& path) {
    const std::optional<std::vector<uint8_t>> bytes = readLoaderFile(path, kMaxFileBytes, "DatReader");
    return bytes && open(bytes->data(), bytes->size());
}

bool DatReader::open(const uint8_t* data, size_t size) {
    if (data == nullptr) size = 0;
    if (TQArchive::isArchive(data, size)) {
        // The decoded payload is read instead; an archive that does not open
        // leaves no text at all.
        TQArchive archive;
        if (archive.open(data, size)) {
            m_stream = archive.payload();
        } else {
            m_stream.clear();
        }
        m_streamFromArchive = true;
    } else {
        m_stream.assign(data, data + size);
        m_streamFromArchive = false;
    }
    m_hasStream = true;
    return true;
}

const std::u16string& DatReader::lookup(const std::string& key) {
    static const std::u16string kEmpty;
    if (!m_parsed) parse();
    for (const auto& [entryKey, value] : m_entries) {
        if (entryKey == key) return value;
    }
    return kEmpty;
}

void DatReader::parse() {
    if (m_sectionHeader.empty() || !m_hasStream) return;
    // Reading consumes the stream: a section that is missing now stays missing.
    const std::u16string text = decodeUtf16le(m_stream.data(), m_stream.size());
    m_stream.clear();
    m_stream.shrink_to_fit();
    std::u16string_view found = m_sectionHeader;
    size_t header = text.find(m_sectionHeader);
    if (header == std::u16string::npos && !m_fallbackHeader.empty()) {
        found = m_fallbackHeader;
        header = text.find(m_fallbackHeader);
    }
    if (header == std::u16string::npos) return;
    std::u16string_view body(text);
    body.remove_prefix(header + found.size());
    const size_t sectionEnd = body.find(u'[');
    if (sectionEnd != std::u16string_view::npos) body = body.substr(0, sectionEnd);
    parseBody(trim(body));
    m_parsed = true;
}

void DatReader::parseBody(std::u16string_view rest) {
    for (;;) {
        const size_t equals = rest.find(u'=');
        if (equals == std::u16string_view::npos) break;
        std::string key = trimNarrow(wideToNarrow(trim(rest.substr(0, equals)), kMaxKeyBytes));
        rest.remove_prefix(equals + 1);
        // The value lies between the first "{" after the "=" and the first "}" after that.
        // NOTE: when either brace is missing no later key can complete a value
        // either (every later text is a suffix of this one), so the list ends
        // here; stopping at once keeps brace-less input linear instead of
        // rescanning the rest for every "=".
        const size_t open = rest.find(u'{');
        if (open == std::u16string_view::npos) break;
        const size_t close = rest.find(u'}', open + 1);
        if (close == std::u16string_view::npos) break;
        m_entries.emplace_back(std::move(key), std::u16string(trim(rest.substr(open + 1, close - open - 1))));
        rest.remove_prefix(close + 1);
    }
}

}  // namespace reef
