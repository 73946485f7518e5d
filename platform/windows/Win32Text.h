// UTF-8 <-> UTF-16 at the Win32 boundary: the program's narrow texts are
// UTF-8, the wide Win32 calls take UTF-16 in wchar_t (16 bits on Windows).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace reef {

// Malformed UTF-8 becomes U+FFFD.
std::wstring wideFromUtf8(std::string_view text);
// Nothing for text with an unpaired surrogate: no UTF-8 name could address it again.
std::optional<std::string> utf8FromWide(std::wstring_view text);
// The same for the program's own wide text type.
std::wstring wideFromU16(std::u16string_view text);
std::u16string u16FromWide(std::wstring_view text);

}  // namespace reef
