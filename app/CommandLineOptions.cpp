#include "app/CommandLineOptions.h"

#include "app/SaverSettings.h"
#include "core/Diagnostics.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace reef {

namespace {

constexpr const char* kSkyWords[] = {"cloudy", "clear"};
constexpr const char* kCameraWords[] = {"auto", "top", "middle", "bottom"};

// The options that set a number or a choice; each takes its range from the setting it overrides.
constexpr CommandLineOptions::ValueOption kValueOptions[] = {
    {"fish", &SaverSettings::FishCount, &SettingOverrides::fishCount, {}, "N", "single fish"},
    {"school", &SaverSettings::BoidCount, &SettingOverrides::schoolSize, {}, "N", "fish in the school"},
    {"sky", &SaverSettings::SkyType, &SettingOverrides::skyType, kSkyWords, "WHICH", "cloudy or clear"},
    {"camera", &SaverSettings::CameraPos, &SettingOverrides::cameraPosition, kCameraWords, "WHERE",
     "auto (tilts up and down), top, middle or bottom"},
};

// The daemon's own options, read later by the platform layer.
bool isHostOption(const std::string& name) { return name == "root" || name == "window-id"; }

// "--fish": ours. One dash names one of ours only for the daemon's options
// (-root, -window-id); every other "-word" is a screensaver switch, read by
// its first letter only (-s, -scr, -p4711, -c:1234).
bool isLongOption(const char* argument) { return argument[0] == '-' && argument[1] == '-'; }
bool isSingleDashHostOption(const char* argument) {
    return argument[0] == '-' && argument[1] != '-' && isHostOption(argument + 1);
}

std::string quoted(const char* text) { return std::string("'") + text + "'"; }

}  // namespace

CommandLineOptions CommandLineOptions::parse(int argc, const char* const* argv) {
    CommandLineOptions options;
    if (argc > 0 && argv[0]) {
        options.m_remaining.push_back(argv[0]);
        const std::string path = argv[0];
        options.m_programName = path.substr(path.rfind('/') + 1);
    }
    for (int i = 1; i < argc && options.m_error.empty(); ++i) {
        const char* argument = argv[i];
        if (!isLongOption(argument) && !isSingleDashHostOption(argument)) {
            options.m_remaining.push_back(argument);
            continue;
        }
        const char* afterDashes = argument + (argument[1] == '-' ? 2 : 1);
        std::string name = afterDashes;
        const char* inlineValue = nullptr;
        const size_t equals = name.find('=');
        if (equals != std::string::npos) {
            inlineValue = afterDashes + equals + 1;
            name.resize(equals);
        }
        if (isHostOption(name) && !inlineValue) {
            options.m_remaining.push_back(argument);
            if (name == "window-id") {
                if (i + 1 >= argc) {
                    options.m_error = quoted(argument) + " needs a window id (--help lists the options)";
                    break;
                }
                options.m_remaining.push_back(argv[++i]);
            }
            continue;
        }
        if (!options.takeOption(name, argv, argc, i, inlineValue) && options.m_error.empty())
            options.m_error = "unknown option " + quoted(argument) + " (--help lists the options)";
    }
    return options;
}

bool CommandLineOptions::takeOption(const std::string& name, const char* const* argv, int argc, int& index,
                                    const char* inlineValue) {
    struct Flag {
        const char* name;
        std::optional<bool> SettingOverrides::*field;
        bool value;
    };
    static const Flag kFlags[] = {
        {"gulls", &SettingOverrides::gulls, true},     {"no-gulls", &SettingOverrides::gulls, false},
        {"sound", &SettingOverrides::sound, true},     {"no-sound", &SettingOverrides::sound, false},
        {"fps", &SettingOverrides::frameRate, true},   {"no-fps", &SettingOverrides::frameRate, false},
    };
    if (name == "help") {
        m_help = true;
        return true;
    }
    for (const Flag& flag : kFlags) {
        if (name != flag.name) continue;
        if (inlineValue) {
            m_error = "--" + name + " takes no value";
            return false;
        }
        m_overrides.*flag.field = flag.value;
        return true;
    }
    const ValueOption* option = nullptr;
    for (const ValueOption& candidate : kValueOptions)
        if (name == candidate.name) option = &candidate;
    if (!option && name != "max-fps") return false;
    const char* value = inlineValue;
    if (!value) {
        if (index + 1 >= argc) {
            m_error = "--" + name + " needs a value (--help lists the options)";
            return false;
        }
        value = argv[++index];
    }
    if (!option) return takeFrameRateCap(value);
    return option->words.empty() ? takeNumber(*option, value) : takeChoice(*option, value);
}

std::span<const CommandLineOptions::ValueOption> CommandLineOptions::valueOptions() { return kValueOptions; }

// A whole number inside the setting's offered range.
bool CommandLineOptions::takeNumber(const ValueOption& option, const char* text) {
    const SettingRange& range = SaverSettings::row(option.setting).offered;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno == ERANGE || value < range.lowest || value > range.highest) {
        m_error = std::string("--") + option.name + " needs a whole number from " + std::to_string(range.lowest) +
                  " to " + std::to_string(range.highest) + ", not " + quoted(text);
        return false;
    }
    m_overrides.*option.override = static_cast<int32_t>(value);
    return true;
}

// --max-fps: frames a second, 0 for no cap. No stored setting: the cap is the run's own.
bool CommandLineOptions::takeFrameRateCap(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno == ERANGE || value < 0 || value > kMaxFramesPerSecond) {
        m_error = "--max-fps needs a whole number from 0 to " + std::to_string(kMaxFramesPerSecond) + ", not " +
                  quoted(text);
        return false;
    }
    m_overrides.maxFramesPerSecond = static_cast<int32_t>(value);
    return true;
}

// A choice by its word or by its number in the list.
bool CommandLineOptions::takeChoice(const ValueOption& option, const char* text) {
    for (size_t i = 0; i < option.words.size(); ++i) {
        if (text == std::string_view(option.words[i]) || text == std::to_string(i)) {
            m_overrides.*option.override = static_cast<int32_t>(i);
            return true;
        }
    }
    std::string list;
    for (const char* word : option.words) list += (list.empty() ? "" : ", ") + std::string(word);
    m_error = std::string("--") + option.name + " is one of " + list + ", not " + quoted(text);
    return false;
}

// "  --fish N          single fish, 0 to 20": the value options' lines, numbers with their range.
std::string CommandLineOptions::valueOptionsHelp() {
    std::string lines;
    for (const ValueOption& option : kValueOptions) {
        std::string line = std::string("  --") + option.name + " " + option.metavar;
        line.resize(std::max<size_t>(line.size() + 1, 20), ' ');
        line += option.help;
        if (option.words.empty()) {
            const SettingRange& range = SaverSettings::row(option.setting).offered;
            line += ", " + std::to_string(range.lowest) + " to " + std::to_string(range.highest);
        }
        lines += line + "\n";
    }
    return lines;
}

std::optional<int> CommandLineOptions::answerWithoutRunning(std::FILE* helpStream) const {
    if (!m_error.empty()) {
        reportf(Channel::Error, "%s: %s", m_programName.c_str(), m_error.c_str());
        return 2;
    }
    if (m_help) {
        // The text a person asked for, not a diagnostic: straight to the stream.
        std::fputs(helpText(m_programName).c_str(), helpStream);
        return 0;
    }
    return std::nullopt;
}

std::string CommandLineOptions::helpText(const std::string& programName) {
    return "Usage: " + programName + " [options] [/s | /t | /p N | /c | /a]\n"
           "Shows the reef. Options change the stored settings for this run only.\n"
           "\n" +
           valueOptionsHelp() +
           "  --gulls, --no-gulls\n"
           "                    gulls over the island\n"
           "  --sound, --no-sound\n"
           "                    water and gull sounds\n"
           "  --fps, --no-fps   the frame-rate line in the corner\n"
           "  --max-fps N       draw at most N frames a second, 0 for no limit (default: no\n"
           "                    limit; " + std::to_string(kXScreenSaverFramesPerSecond) + " when run by XScreenSaver)\n"
           "  --help            this text\n"
           "\n"
           "Run by XScreenSaver:\n"
           "  --root            draw into the window XScreenSaver gives (XSCREENSAVER_WINDOW)\n"
           "  --window-id ID    draw into the window ID (decimal or 0x-hex) until it goes away\n"
           "\n"
           "Screensaver switches:\n"
           "  /s   full screen      /t   in a test window    /p N  preview inside window N\n"
           "  /c   settings dialog  /a   change password (no switch: settings dialog)\n"
           "  A switch may also start with '-', and only its first letter counts: -s, -scr,\n"
           "  -p4711, /c:1234. Options always start with '--'.\n";
}

}  // namespace reef
