#include "app/SettingsPage.h"

#include <cassert>
#include <span>
#include <string_view>

#include "app/CommandLineOptions.h"
#include "app/SaverSettings.h"

namespace reef {

namespace {

using ValueOption = CommandLineOptions::ValueOption;

// A slider for a number option: range and default come from its setting's row.
struct Slider {
    const char* option;
    const char* label;
    const char* lowLabel;
    const char* highLabel;
};
constexpr Slider kSliders[] = {
    {"fish", "Single fish", "None", "Many"},
    {"school", "Fish in the school", "None", "Many"},
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

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "\n"
    "<screensaver name=\"reefsaver_plain\" _label=\"Reef\">\n"
    "\n"
    "  <command arg=\"--root\"/>\n"
    "\n";

constexpr std::string_view kFlagsAndDescription =
    "  <boolean id=\"gulls\" _label=\"Gulls over the island\" arg-unset=\"--no-gulls\"/>\n"
    "  <boolean id=\"sound\" _label=\"Sound\" arg-unset=\"--no-sound\"/>\n"
    "  <boolean id=\"showfps\" _label=\"Show frame rate\" arg-set=\"--fps\"/>\n"
    "\n"
    "  <_description>\n"
    "A tropical reef below a small palm island: a school of reef fish swims\n"
    "round an invisible leader, single fish cruise between the corals, a\n"
    "hunter now and then scatters the school, a turtle and mantas pass by,\n"
    "and gulls glide over the island. Light caustics run over the sea floor.\n"
    "\n"
    "The settings here apply while XScreenSaver runs the reef; the reef's\n"
    "own settings (run \"reefsaver_plain /c\") stay as they are.\n"
    "  </_description>\n"
    "</screensaver>\n";

const ValueOption& valueOption(std::string_view name) {
    for (const ValueOption& option : CommandLineOptions::valueOptions())
        if (name == option.name) return option;
    assert(!"the page names a value option the command line has");
    return CommandLineOptions::valueOptions().front();
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string slider(const Slider& slider) {
    const ValueOption& option = valueOption(slider.option);
    const SaverSettings::Row& row = SaverSettings::row(option.setting);
    return std::string("  <number id=") + quoted(option.name) + " type=\"slider\" arg=" +
           quoted(std::string("--") + option.name + " %") + "\n          _label=" + quoted(slider.label) +
           " _low-label=" + quoted(slider.lowLabel) + " _high-label=" + quoted(slider.highLabel) +
           "\n          low=" + quoted(std::to_string(row.offered.lowest)) +
           " high=" + quoted(std::to_string(row.offered.highest)) +
           " default=" + quoted(std::to_string(row.defaultValue)) + "/>\n\n";
}

std::string choice(const Choice& choice) {
    const ValueOption& option = valueOption(choice.option);
    assert(choice.labels.size() == option.words.size());
    std::string xml = std::string("  <select id=") + quoted(option.name) + ">\n" +
                      "    <option id=\"stored\" _label=" + quoted(choice.storedLabel) + "/>\n";
    for (size_t i = 0; i < option.words.size(); ++i) {
        xml += std::string("    <option id=") + quoted(option.words[i]) + " _label=" + quoted(choice.labels[i]) +
               " arg-set=" + quoted(std::string("--") + option.name + " " + option.words[i]) + "/>\n";
    }
    return xml + "  </select>\n\n";
}

}  // namespace

std::string SettingsPage::xml() {
    std::string xml(kHeader);
    for (const Slider& entry : kSliders) xml += slider(entry);
    for (const Choice& entry : kChoices) xml += choice(entry);
    return xml + std::string(kFlagsAndDescription);
}

}  // namespace reef
