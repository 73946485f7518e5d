// The saver's own command-line options: settings that XScreenSaver's settings
// program (or a person at a shell) can change for one run without touching the
// stored settings. They are taken out of the argument list first; whatever is
// left (the screensaver switches, -root, --window-id) goes on unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace reef {

struct SaverSettings;

// The settings one run may override; an empty optional keeps the stored value.
struct SettingOverrides {
    std::optional<int32_t> fishCount;       // FishCount
    std::optional<int32_t> schoolSize;      // BoidCount
    std::optional<bool> gulls;              // BirdGull
    std::optional<int32_t> skyType;         // SkyType: 0 cloudy, 1 clear
    std::optional<int32_t> cameraPosition;  // CameraPos: 0 automatic, 1 top, 2 middle, 3 bottom
    std::optional<bool> sound;              // SoundOn
    std::optional<bool> frameRate;          // the frame-rate line in the corner
    std::optional<int32_t> maxFramesPerSecond;  // frames drawn a second at most, 0 for no cap
};

class CommandLineOptions {
public:
    // An option with a value that overrides one setting: a number inside the
    // setting's offered range, or one of the words (or its index) when words
    // are given, one word per offered value.
    struct ValueOption {
        const char* name;  // "fish" for --fish
        int32_t SaverSettings::*setting;
        std::optional<int32_t> SettingOverrides::*override;
        std::span<const char* const> words;
        const char* metavar;  // "N" in "--fish N"
        const char* help;
    };
    static std::span<const ValueOption> valueOptions();

    // The frame-rate cap's limit, and the cap a run under XScreenSaver keeps
    // when --max-fps is left out: the settings page's default, which
    // XScreenSaver never passes.
    static constexpr int kMaxFramesPerSecond = 1000;
    static constexpr int kXScreenSaverFramesPerSecond = 30;

    // Options start with two dashes (the daemon's -root and -window-id also
    // with one), and take values either as the next argument or after '='
    // (--fish=12). Every other argument is left for the screensaver switch.
    static CommandLineOptions parse(int argc, const char* const* argv);

    const SettingOverrides& overrides() const { return m_overrides; }
    bool helpRequested() const { return m_help; }
    // One line saying what was wrong, empty when the line was understood.
    const std::string& error() const { return m_error; }
    // argv[0] and every argument that is not one of ours, in their order.
    const std::vector<const char*>& remaining() const { return m_remaining; }

    static std::string helpText(const std::string& programName);
    // For --help (the text on helpStream, standard output unless a test reads
    // it, 0) and for a line that was not understood (one line on standard error,
    // 2): the exit code of a program that stops here. Nothing when the program
    // should run.
    std::optional<int> answerWithoutRunning(std::FILE* helpStream = stdout) const;

private:
    bool takeOption(const std::string& name, const char* const* argv, int argc, int& index, const char* inlineValue);
    bool takeNumber(const ValueOption& option, const char* text);
    bool takeChoice(const ValueOption& option, const char* text);
    bool takeFrameRateCap(const char* text);
    static std::string valueOptionsHelp();

    SettingOverrides m_overrides;
    bool m_help = false;
    std::string m_error;
    std::string m_programName = "reefsaver";
    std::vector<const char*> m_remaining;
};

}  // namespace reef
