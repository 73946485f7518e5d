// Builds the sectioned UTF-16LE text files read by the language/directory reader:
// "[GER]" followed by lines of  key = {value} , with CR LF line ends and a
// byte-order mark. Values are given as UTF-8 and may span lines.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace reef::tools {

class DatWriter {
public:
    // Starts a new section "[code]".
    void section(const std::string& code);
    // Adds an entry to the current section. Returns false (and adds nothing) for a
    // value the reader could not return intact: one holding "{", "}", "[" or U+0000.
    bool entry(const std::string& key, const std::string& valueUtf8);
    // The whole file as UTF-16LE bytes.
    std::vector<uint8_t> bytes() const;

private:
    std::u16string m_text;
};

// UTF-8 to UTF-16 (code points above U+FFFF become surrogate pairs; bad bytes become U+FFFD).
std::u16string utf8ToUtf16(const std::string& s);

}  // namespace reef::tools
