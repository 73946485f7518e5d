#include "tools/DatWriter.h"

namespace reef::tools {

std::u16string utf8ToUtf16(const std::string& s) {
    std::u16string out;
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        uint32_t cp = 0xFFFD;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                len = 1;
            } else {
                cp = c & (0x7F >> len);
                for (size_t k = 1; k < len; ++k) {
                    const auto cc = static_cast<unsigned char>(s[i + k]);
                    if ((cc & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        len = k;
                        break;
                    }
                    cp = (cp << 6) | (cc & 0x3F);
                }
            }
        }
        i += len;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp));
        }
    }
    return out;
}

void DatWriter::section(const std::string& code) { m_text += u"[" + utf8ToUtf16(code) + u"]\r\n"; }

bool DatWriter::entry(const std::string& key, const std::string& valueUtf8) {
    const std::u16string value = utf8ToUtf16(valueUtf8);
    for (char16_t c : value)
        if (c == u'{' || c == u'}' || c == u'[' || c == 0) return false;
    for (char c : key)
        if (c == '=' || c == '{' || c == '}' || c == '[' || c == 0) return false;
    m_text += utf8ToUtf16(key) + u" = {" + value + u"}\r\n";
    return true;
}

std::vector<uint8_t> DatWriter::bytes() const {
    std::vector<uint8_t> out = {0xFF, 0xFE};
    for (char16_t c : m_text) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

}  // namespace reef::tools
