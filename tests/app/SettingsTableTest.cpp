// The settings rows are the one place of each default and range: the clamping,
// the command line, its manual page and XScreenSaver's settings page are
// compared with them here, the dialog's trackbars in tests/dialogs.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLineOptions.h"
#include "app/SaverSettings.h"
#include "app/SettingsLimits.h"
#include "app/SettingsPage.h"

namespace reef {
namespace {

using Field = int32_t SaverSettings::*;

SaverSettings filledWith(int32_t value) {
    SaverSettings s;
    for (const SaverSettings::Row& row : SaverSettings::rows())
        if (row.number) s.*row.number = value;
    return s;
}

// The fields the scene takes through LimitedSettings, each with its limited copy.
struct Limited {
    Field field;
    int32_t LimitedSettings::*limited;
};
constexpr Limited kLimited[] = {
    {&SaverSettings::BoidCount, &LimitedSettings::boidCount},
    {&SaverSettings::FishCount, &LimitedSettings::fishCount},
    {&SaverSettings::CameraPos, &LimitedSettings::cameraPos},
    {&SaverSettings::CameraSpeed, &LimitedSettings::cameraSpeed},
    {&SaverSettings::CameraFixTop, &LimitedSettings::cameraFixTop},
    {&SaverSettings::CameraFixBottom, &LimitedSettings::cameraFixBottom},
    {&SaverSettings::SkyType, &LimitedSettings::skyType},
};

TEST(SettingsTable, DefaultsLieInsideTheOfferedRangesAndTheseInsideTheSafeOnes) {
    const SaverSettings defaults;
    for (const SaverSettings::Row& row : SaverSettings::rows()) {
        if (!row.number) continue;
        EXPECT_EQ(defaults.*row.number, row.defaultValue) << row.name;
        EXPECT_TRUE(row.offered.contains(row.defaultValue)) << row.name;
        EXPECT_LE(row.safe.lowest, row.offered.lowest) << row.name;
        EXPECT_GE(row.safe.highest, row.offered.highest) << row.name;
        EXPECT_EQ(row.offered.lowest % row.offered.step, 0) << row.name;
        EXPECT_EQ(row.offered.highest % row.offered.step, 0) << row.name;
    }
}

TEST(SettingsTable, StoredValuesAreBroughtInsideTheSafeRanges) {
    const LimitedSettings high = LimitedSettings::from(filledWith(INT32_MAX));
    const LimitedSettings low = LimitedSettings::from(filledWith(INT32_MIN));
    for (const Limited& entry : kLimited) {
        const SaverSettings::Row& row = SaverSettings::row(entry.field);
        EXPECT_EQ(high.*entry.limited, row.safe.highest) << row.name;
        EXPECT_EQ(low.*entry.limited, row.safe.lowest) << row.name;
    }
    // Counts stay bounded; a settings file cannot ask for a billion fish.
    EXPECT_LE(high.boidCount, 1000);
    EXPECT_LE(high.fishCount, 1000);
    EXPECT_GE(low.cameraSpeed, 0);
    EXPECT_GE(low.cameraFixTop, 0);
}

// Values the dialog does not offer keep their meaning: a rest time of 0, a
// camera that does not tilt, a camera position that picks no fixed view.
TEST(SettingsTable, ValuesOutsideTheDialogsRangesButSafeAreKept) {
    SaverSettings s;
    s.CameraFixTop = 0;
    s.CameraFixBottom = 0;
    s.CameraSpeed = 0;
    s.CameraPos = 4;
    s.BoidCount = 12;  // between two trackbar steps
    s.FishCount = 40;
    const LimitedSettings limited = LimitedSettings::from(s);
    EXPECT_EQ(limited.cameraFixTop, 0);
    EXPECT_EQ(limited.cameraFixBottom, 0);
    EXPECT_EQ(limited.cameraSpeed, 0);
    EXPECT_EQ(limited.cameraPos, 4);
    EXPECT_EQ(limited.boidCount, 12);
    EXPECT_EQ(limited.fishCount, 40);
    EXPECT_EQ(limited.skyType, s.SkyType);
}

CommandLineOptions parse(const std::string& name, const std::string& value) {
    const std::string option = "--" + name;
    const char* argv[] = {"reefsaver_plain", option.c_str(), value.c_str()};
    return CommandLineOptions::parse(3, argv);
}

// Every option with a value accepts exactly its setting's offered range, and
// the help text states it.
TEST(SettingsTable, CommandLineOptionsAcceptTheOfferedRanges) {
    const std::string help = CommandLineOptions::helpText("reefsaver_plain");
    for (const CommandLineOptions::ValueOption& option : CommandLineOptions::valueOptions()) {
        const SettingRange& offered = SaverSettings::row(option.setting).offered;
        if (!option.words.empty()) {
            EXPECT_EQ(offered.lowest, 0) << option.name;
            EXPECT_EQ(static_cast<size_t>(offered.highest) + 1, option.words.size()) << option.name;
        }
        for (const int32_t value : {offered.lowest, offered.highest}) {
            const CommandLineOptions options = parse(option.name, std::to_string(value));
            EXPECT_EQ(options.error(), "") << option.name << " " << value;
            EXPECT_EQ(options.overrides().*option.override, value) << option.name;
        }
        for (const int32_t value : {offered.lowest - 1, offered.highest + 1})
            EXPECT_NE(parse(option.name, std::to_string(value)).error(), "") << option.name << " " << value;
        if (option.words.empty()) {
            const size_t start = help.find(std::string("  --") + option.name + " " + option.metavar);
            ASSERT_NE(start, std::string::npos) << option.name;
            const std::string line = help.substr(start, help.find('\n', start) - start);
            const std::string range = ", " + std::to_string(offered.lowest) + " to " + std::to_string(offered.highest);
            EXPECT_TRUE(line.ends_with(range)) << line;
        }
    }
}

// The manual page, written by hand, states each number option's range.
TEST(SettingsTable, TheManualPageStatesTheOfferedRanges) {
    std::ifstream file(REEF_PLAIN_MAN_PAGE);
    ASSERT_TRUE(file) << REEF_PLAIN_MAN_PAGE;
    std::stringstream page;
    page << file.rdbuf();
    const std::string text = page.str();
    for (const CommandLineOptions::ValueOption& option : CommandLineOptions::valueOptions()) {
        if (!option.words.empty()) continue;
        const std::string heading = std::string(".BI \\-\\-") + option.name + " \" n\"\n";
        const size_t start = text.find(heading);
        ASSERT_NE(start, std::string::npos) << heading;
        const size_t lineStart = start + heading.size();
        const std::string line = text.substr(lineStart, text.find('\n', lineStart) - lineStart);
        const SettingRange& offered = SaverSettings::row(option.setting).offered;
        EXPECT_TRUE(line.ends_with(", " + std::to_string(offered.lowest) + " to " + std::to_string(offered.highest) + "."))
            << line;
    }
}

const CommandLineOptions::ValueOption* valueOption(const std::string& name) {
    for (const CommandLineOptions::ValueOption& option : CommandLineOptions::valueOptions())
        if (name == option.name) return &option;
    return nullptr;
}

// What the page shows is what runs: XScreenSaver leaves out an option equal to
// its default, so no stored setting has a slider. Each list starts with an
// entry that passes nothing (the stored setting), and its other entries pass
// every offered value, each one the program takes. The one slider, the frame
// rate, defaults to the cap the program keeps under XScreenSaver.
TEST(SettingsTable, TheXScreenSaverPageShowsWhatRuns) {
    const std::string xml = SettingsPage::xml();
    const std::regex slider(R"re(<number [^>]*arg="--([a-z-]+) %"[^>]*low="(-?\d+)" high="(-?\d+)" default="(-?\d+)")re");
    int sliders = 0;
    for (std::sregex_iterator it(xml.begin(), xml.end(), slider), end; it != end; ++it, ++sliders) {
        EXPECT_EQ((*it)[1], "max-fps");
        EXPECT_LE(std::stoi((*it)[2]), std::stoi((*it)[4]));
        EXPECT_GE(std::stoi((*it)[3]), std::stoi((*it)[4]));
        EXPECT_EQ(std::stoi((*it)[4]), CommandLineOptions::kXScreenSaverFramesPerSecond);
        EXPECT_EQ(parse("max-fps", (*it)[2]).error(), "");
        EXPECT_EQ(parse("max-fps", (*it)[3]).error(), "");
    }
    EXPECT_EQ(sliders, 1);

    // Each list: its first entry passes nothing, every other entry an option value.
    const std::regex list(R"re(<select id="([a-z]+)">\n    <option id="[a-z-]+" _label="[^"]*"/>\n((?:    <option [^\n]*arg-set="[^"]+"/>\n)+)  </select>)re");
    std::map<std::string, std::vector<std::string>> arguments;
    for (std::sregex_iterator it(xml.begin(), xml.end(), list), end; it != end; ++it) {
        const std::string entries = (*it)[2];
        const std::regex argument(R"re(arg-set="([^"]+)")re");
        for (std::sregex_iterator a(entries.begin(), entries.end(), argument); a != std::sregex_iterator(); ++a)
            arguments[(*it)[1]].push_back((*a)[1]);
    }
    EXPECT_EQ(arguments.size(), 6u);
    for (const CommandLineOptions::ValueOption& option : CommandLineOptions::valueOptions()) {
        SCOPED_TRACE(option.name);
        const SettingRange& offered = SaverSettings::row(option.setting).offered;
        std::vector<std::string> expected;
        if (option.words.empty()) {
            for (int32_t value = offered.lowest; value <= offered.highest; value += offered.step)
                expected.push_back(std::string("--") + option.name + " " + std::to_string(value));
        } else {
            for (const char* word : option.words) expected.push_back(std::string("--") + option.name + " " + word);
        }
        EXPECT_EQ(arguments[option.name], expected);
        for (const std::string& argument : arguments[option.name]) {
            const size_t blank = argument.find(' ');
            const CommandLineOptions parsed = parse(argument.substr(2, blank - 2), argument.substr(blank + 1));
            EXPECT_EQ(parsed.error(), "") << argument;
        }
    }
    EXPECT_EQ(arguments["gulls"], (std::vector<std::string>{"--gulls", "--no-gulls"}));
    EXPECT_EQ(arguments["sound"], (std::vector<std::string>{"--sound", "--no-sound"}));
}

}  // namespace
}  // namespace reef
