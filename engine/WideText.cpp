#include "engine/WideText.h"

namespace reef {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Bytes 0x80 to 0xFF of a file name that are not UTF-8, kept as unpaired low surrogates.
constexpr char16_t kEscapedByteFirst = 0xDC80;
constexpr char16_t kEscapedByteLast = 0xDCFF;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Reads one code point starting at index, advancing index past it.
char32_t nextCodePoint(std::u16string_view text, size_t& index) {
    const char16_t unit = text[index++];
    if (isHighSurrogate(unit)) {
        if (index < text.size() && isLowSurrogate(text[index])) {
            const char16_t low = text[index++];
            return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
        }
        return kReplacement;
    }
    if (isLowSurrogate(unit)) return kReplacement;
    return unit;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

size_t utf8Length(char32_t cp) {
    if (cp < 0x80) return 1;
    if (cp < 0x800) return 2;
    if (cp < 0x10000) return 3;
    return 4;
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// UTF-8 to UTF-16; malformed bytes become U+FFFD, or with keepBytes U+DC00 + byte.
std::u16string decodeUtf8(std::string_view text, bool keepBytes);

}  // namespace

std::string toUtf8(std::u16string_view text) {
    return wideToNarrow(text, std::string::npos);
}

std::string wideToNarrow(std::u16string_view text, size_t maxBytes) {
    std::string out;
    out.reserve(text.size() < maxBytes ? text.size() : maxBytes);
    size_t index = 0;
    while (index < text.size()) {
        const char32_t cp = nextCodePoint(text, index);
        if (maxBytes - out.size() < utf8Length(cp)) break;
        appendUtf8(out, cp);
    }
    return out;
}

std::u16string fromUtf8(std::string_view text) { return decodeUtf8(text, false); }

std::u16string wideFromPath(std::string_view bytes) { return decodeUtf8(bytes, true); }

std::string pathFromWide(std::u16string_view text, size_t maxBytes) {
    std::string out;
    size_t index = 0;
    while (index < text.size()) {
        const char16_t unit = text[index];
        if (unit >= kEscapedByteFirst && unit <= kEscapedByteLast) {
            // A kept byte (a low surrogate on its own is never half of a pair here:
            // pairs are consumed whole below).
            if (out.size() >= maxBytes) break;
            out.push_back(static_cast<char>(unit & 0xFF));
            ++index;
            continue;
        }
        const char32_t cp = nextCodePoint(text, index);
        if (maxBytes - out.size() < utf8Length(cp)) break;
        appendUtf8(out, cp);
    }
    return out;
}

namespace {

std::u16string decodeUtf8(std::string_view text, bool keepBytes) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        size_t extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
            minimum = 0x10000;
        } else {
            // A stray continuation byte, an overlong two-byte lead or a lead past U+10FFFF.
            out.push_back(keepBytes ? static_cast<char16_t>(0xDC00 | lead) : kReplacementChar);
            ++i;
            continue;
        }
        size_t consumed = 1;
        bool valid = true;
        while (consumed <= extra) {
            if (i + consumed >= n) {
                valid = false;
                break;
            }
            const auto next = static_cast<unsigned char>(text[i + consumed]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
            ++consumed;
        }
        if (valid && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) valid = false;
        if (!valid && keepBytes) {
            // Keep the lead byte and look at the rest again on their own.
            out.push_back(static_cast<char16_t>(0xDC00 | lead));
            ++i;
            continue;
        }
        if (!valid) {
            // Resynchronise on the first byte that was not a valid continuation.
            out.push_back(kReplacementChar);
            i += consumed;
            continue;
        }
        appendUtf16(out, cp);
        i += consumed;
    }
    return out;
}

}  // namespace

std::u16string decodeUtf16le(const uint8_t* data, size_t size) {
    std::u16string out;
    if (data == nullptr) return out;
    const size_t units = size / 2;
    out.resize(units);
    for (size_t i = 0; i < units; ++i) {
        out[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return out;
}

std::u16string truncateWide(std::u16string_view text, size_t maxUnits) {
    if (text.size() <= maxUnits) return std::u16string(text);
    size_t cut = maxUnits;
    if (cut > 0 && isHighSurrogate(text[cut - 1]) && isLowSurrogate(text[cut])) --cut;
    return std::u16string(text.substr(0, cut));
}

}  // namespace reef
