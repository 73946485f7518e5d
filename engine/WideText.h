// UTF-16 text helpers. Wide text (std::u16string) is the program's own text
// type; UTF-8 appears only at the edges (file names, GTK, standard output and
// the settings file). No function here throws or fails: malformed input is
// replaced with U+FFFD and truncation never splits a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace reef {

inline constexpr char16_t kReplacementChar = u'\uFFFD';

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// UTF-8 to UTF-16; every malformed, overlong or truncated sequence becomes U+FFFD.
std::u16string fromUtf8(std::string_view text);

// File-name bytes to UTF-16 without losing any: valid UTF-8 is decoded, and
// each byte that is not part of a valid sequence is kept as the unpaired
// surrogate U+DC00 + byte (valid UTF-8 never yields those). pathFromWide
// turns such text back into exactly the original bytes, so a folder whose name
// is not UTF-8 can still be opened.
std::u16string wideFromPath(std::string_view bytes);

// The inverse of wideFromPath (other text is written as UTF-8), cut to at most
// maxBytes bytes at a character boundary.
std::string pathFromWide(std::u16string_view text, size_t maxBytes = std::string::npos);

// Little-endian 16-bit units from raw bytes; a trailing odd byte is dropped.
std::u16string decodeUtf16le(const uint8_t* data, size_t size);

// UTF-16 to UTF-8 cut to at most maxBytes bytes, always at a character
// boundary; for copying wide texts into fixed-size narrow fields.
std::string wideToNarrow(std::u16string_view text, size_t maxBytes);

// The first maxUnits UTF-16 units of text, never ending on the first half of
// a surrogate pair.
std::u16string truncateWide(std::u16string_view text, size_t maxUnits);

}  // namespace reef
