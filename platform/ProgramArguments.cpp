#include "platform/ProgramArguments.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "engine/WideText.h"

namespace reef {

namespace {

// A window id in decimal or 0x-hex, as X has them (32 bits); nothing when the
// text is not one (a sign, blanks, other characters, more than 32 bits).
std::optional<uint64_t> parseWindowId(const char* text) {
    if (!text || *text < '0' || *text > '9') return std::nullopt;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (!std::isxdigit(static_cast<unsigned char>(*digits))) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (*end != '\0' || errno == ERANGE || value > UINT32_MAX) return std::nullopt;
    return value;
}

// An argument as it may appear in a one-line message: control characters shown as '?'.
std::string printable(const char* text) {
    std::string shown = text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

bool is(const char* argument, const char* a, const char* b) {
    return std::strcmp(argument, a) == 0 || std::strcmp(argument, b) == 0;
}

}  // namespace

ProgramArguments parseProgramArguments(int argc, const char* const* argv, const char* environmentWindow) {
    ProgramArguments result;
    // The program path is quoted so its blanks do not count as arguments; a
    // quote inside it would end the quoting early and let the rest of the path
    // pass for switches, so quotes are left out (no Windows path has one).
    std::string line = "\"";
    for (const char* c = (argc > 0 && argv[0]) ? argv[0] : "reefsaver"; *c; ++c) {
        if (*c != '"') line += *c;
    }
    line += "\"";
    std::string rest;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (is(argument, "-root", "--root")) {
            result.hostMode = true;
            result.hostIsRoot = true;
        } else if (is(argument, "-window-id", "--window-id") && i + 1 < argc) {
            result.hostMode = true;
            const char* value = argv[++i];
            const std::optional<uint64_t> id = parseWindowId(value);
            result.hostWindow = id.value_or(0);
            const std::string given = "'" + std::string(argument) + " " + printable(value) + "'";
            if (!id)
                result.error = given + " is not a window id (a decimal or 0x-hex number).";
            else if (*id == 0)
                result.error = given + " names no window.";
        } else {
            rest += ' ';
            rest += argument;
        }
    }
    // The daemon's variable is read as before: a value that is no window id
    // leaves it unused (-root then draws into the root window).
    const uint64_t fromEnvironment = parseWindowId(environmentWindow).value_or(0);
    if (fromEnvironment) {
        result.hostMode = true;
        result.hostWindow = fromEnvironment;
    }
    if (result.hostWindow) result.hostIsRoot = false;
    // Under the daemon the saver runs full screen, whatever else is on the line.
    line += result.hostMode ? std::string(" /s") : rest;
    result.commandLine = fromUtf8(line);
    return result;
}

}  // namespace reef
