#include "app/SettingsPage.h"

#include <cassert>
#include <cstdio>
#include <span>
#include <string_view>

#include "app/CommandLineOptions.h"
#include "app/SaverSettings.h"

namespace reef {

namespace {

using ValueOption = CommandLineOptions::ValueOption;

// What the page shows is what runs. XScreenSaver leaves an option out of the
// command line when it equals the page's default, so a slider for a stored
// setting would run the stored value whenever it stands at its default. Every
// stored setting is therefore a list whose first entry, the default, keeps the
// stored value and whose other entries always reach the command line. The one
// slider is the frame rate, whose default the program keeps under XScreenSaver.

// A list for a number option: "as stored", then each offered value in steps.
struct Count {
    const char* option;
    const char* storedLabel;
    const char* noneLabel;  // for 0
    const char* countLabel;  // "%d single fish"
};
constexpr Count kCounts[] = {
    {"fish", "Single fish as in the reef's own settings", "No single fish", "%d single fish"},
    {"school", "School as in the reef's own settings", "No school", "%d fish in the school"},
};

// A drop-down list for a choice option: an entry that keeps the stored
// setting, then one entry per word of the option, in its order.
struct Choice {
    const char* option;
    const char* storedLabel;
    std::span<const char* const> labels;  // one per word
};
constexpr const char* kSkyLabels[] = {"Cloudy sky", "Clear sky"};
constexpr const char* kCameraLabels[] = {"Camera tilts up and down", "Camera looks up", "Camera looks ahead",
                                         "Camera looks down"};
constexpr Choice kChoices[] = {
    {"sky", "Sky as in the reef's own settings", kSkyLabels},
    {"camera", "Camera as in the reef's own settings", kCameraLabels},
};

// A list for an on/off setting: as stored, on (--name), off (--no-name).
struct Switch {
    const char* option;
    const char* storedLabel;
    const char* onLabel;
    const char* offLabel;
};
constexpr Switch kSwitches[] = {
    {"gulls", "Gulls as in the reef's own settings", "Gulls over the island", "No gulls"},
    {"sound", "Sound as in the reef's own settings", "Sound on", "Sound off"},
};

// The frame rate the page offers; its default is the program's own under XScreenSaver.
constexpr int kLowestFrameRate = 5;
constexpr int kHighestFrameRate = 60;

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "\n"
    "<screensaver name=\"reefsaver_plain\" _label=\"Reef\">\n"
    "\n"
    "  <command arg=\"--root\"/>\n"
    "\n";

constexpr std::string_view kFrameRateLineAndDescription =
    "  <boolean id=\"showfps\" _label=\"Show frame rate\" arg-set=\"--fps\"/>\n"
    "\n"
    "  <_description>\n"
    "A tropical reef below a small palm island: a school of reef fish swims\n"
    "round an invisible leader, single fish cruise between the corals, a\n"
    "hunter now and then scatters the school, a turtle and mantas pass by,\n"
    "and gulls glide over the island. Light caustics run over the sea floor.\n"
    "\n"
    "Each choice here starts \"as in the reef's own settings\", which runs\n"
    "what \"reefsaver_plain /c\" stored; any other choice applies while\n"
    "XScreenSaver runs the reef and leaves the stored settings as they are.\n"
    "The frame rate is drawn at most that many times a second.\n"
    "  </_description>\n"
    "</screensaver>\n";

const ValueOption& valueOption(std::string_view name) {
    for (const ValueOption& option : CommandLineOptions::valueOptions())
        if (name == option.name) return option;
    assert(!"the page names a value option the command line has");
    return CommandLineOptions::valueOptions().front();
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string storedEntry(const char* option, const char* label) {
    return std::string("  <select id=") + quoted(option) + ">\n" + "    <option id=" +
           quoted(std::string(option) + "-stored") + " _label=" + quoted(label) + "/>\n";
}

std::string entry(const std::string& id, const std::string& label, const std::string& argument) {
    return "    <option id=" + quoted(id) + " _label=" + quoted(label) + " arg-set=" + quoted(argument) + "/>\n";
}

std::string count(const Count& count) {
    const ValueOption& option = valueOption(count.option);
    const SettingRange& offered = SaverSettings::row(option.setting).offered;
    std::string xml = storedEntry(option.name, count.storedLabel);
    for (int32_t value = offered.lowest; value <= offered.highest; value += offered.step) {
        char label[64];
        std::snprintf(label, sizeof(label), count.countLabel, static_cast<int>(value));
        const std::string number = std::to_string(value);
        xml += entry(std::string(option.name) + "-" + number, value == 0 ? count.noneLabel : label,
                     std::string("--") + option.name + " " + number);
    }
    return xml + "  </select>\n\n";
}

std::string onOff(const Switch& entryNames) {
    const std::string name = entryNames.option;
    return storedEntry(entryNames.option, entryNames.storedLabel) +
           entry(name + "-on", entryNames.onLabel, "--" + name) +
           entry(name + "-off", entryNames.offLabel, "--no-" + name) + "  </select>\n\n";
}

std::string frameRateSlider() {
    return "  <number id=\"maxfps\" type=\"slider\" arg=\"--max-fps %\"\n"
           "          _label=\"Frame rate\" _low-label=" + quoted(std::to_string(kLowestFrameRate) + " a second") +
           " _high-label=" + quoted(std::to_string(kHighestFrameRate) + " a second") +
           "\n          low=" + quoted(std::to_string(kLowestFrameRate)) +
           " high=" + quoted(std::to_string(kHighestFrameRate)) +
           " default=" + quoted(std::to_string(CommandLineOptions::kXScreenSaverFramesPerSecond)) + "/>\n\n";
}

std::string choice(const Choice& choice) {
    const ValueOption& option = valueOption(choice.option);
    assert(choice.labels.size() == option.words.size());
    std::string xml = storedEntry(option.name, choice.storedLabel);
    for (size_t i = 0; i < option.words.size(); ++i) {
        xml += std::string("    <option id=") + quoted(option.words[i]) + " _label=" + quoted(choice.labels[i]) +
               " arg-set=" + quoted(std::string("--") + option.name + " " + option.words[i]) + "/>\n";
    }
    return xml + "  </select>\n\n";
}

}  // namespace

std::string SettingsPage::xml() {
    std::string xml(kHeader);
    for (const Count& entry : kCounts) xml += count(entry);
    for (const Choice& entry : kChoices) xml += choice(entry);
    for (const Switch& entry : kSwitches) xml += onOff(entry);
    return xml + frameRateSlider() + std::string(kFrameRateLineAndDescription);
}

}  // namespace reef
