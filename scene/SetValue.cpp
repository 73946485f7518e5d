#include "scene/SetValue.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

#include "engine/WideText.h"

namespace reef {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Skips leading blanks and reads one optional sign; returns true for '-'.
bool skipBlanksAndSign(std::string_view& text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    return negative;
}

}  // namespace

float valueToFloat(std::string_view text) {
    const bool negative = skipBlanksAndSign(text);
    // A second sign is not a number for atof.
    if (text.empty() || text.front() == '+' || text.front() == '-') return 0.0f;
    float value = 0.0f;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0f;
    return negative ? -value : value;
}

float valueToFloat(std::u16string_view text) { return valueToFloat(toUtf8(text)); }

int valueToInt(std::string_view text) {
    const bool negative = skipBlanksAndSign(text);
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;  // clamped below
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int valueToInt(std::u16string_view text) { return valueToInt(toUtf8(text)); }

Vec3 valueToVector(std::string_view text) {
    if (text.find(',') == std::string_view::npos) return Vec3{0.0f, 0.0f, 0.0f};
    float fields[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',');
        fields[i] = valueToFloat(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return Vec3{fields[0], fields[1], fields[2]};
}

}  // namespace reef
