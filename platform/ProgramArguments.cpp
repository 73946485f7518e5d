#include "platform/ProgramArguments.h"

#include <cstdlib>
#include <cstring>

#include "engine/WideText.h"

namespace reef {

namespace {

// A window id in decimal or 0x-hex; 0 when the text is not one.
uint64_t parseWindowId(const char* text) {
    if (!text || !*text) return 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 0);
    return (end && *end == '\0') ? value : 0;
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
            result.hostWindow = parseWindowId(argv[++i]);
        } else {
            rest += ' ';
            rest += argument;
        }
    }
    const uint64_t fromEnvironment = parseWindowId(environmentWindow);
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
