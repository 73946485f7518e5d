#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLineOptions.h"
#include "platform/ProgramArguments.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/FakePlatform.h"
#include "testsupport/SceneFreeSaver.h"

namespace reef {
namespace {

CommandLineOptions parse(std::vector<const char*> args) {
    args.insert(args.begin(), "/usr/lib/reefsaver/reefsaver_plain");
    return CommandLineOptions::parse(static_cast<int>(args.size()), args.data());
}

std::vector<std::string> remaining(const CommandLineOptions& options) {
    return {options.remaining().begin(), options.remaining().end()};
}

TEST(CommandLineOptions, EveryOverrideWithItsValueAfterABlankOrAnEqualsSign) {
    const CommandLineOptions a = parse({"--fish", "12", "--school=5", "--no-gulls", "--sky", "clear", "--camera=middle",
                                        "--no-sound", "--fps"});
    ASSERT_EQ(a.error(), "");
    EXPECT_EQ(a.overrides().fishCount, 12);
    EXPECT_EQ(a.overrides().schoolSize, 5);
    EXPECT_EQ(a.overrides().gulls, false);
    EXPECT_EQ(a.overrides().skyType, 1);
    EXPECT_EQ(a.overrides().cameraPosition, 2);
    EXPECT_EQ(a.overrides().sound, false);
    EXPECT_EQ(a.overrides().frameRate, true);

    // Choices also by number, the last of a repeated option wins, unset ones stay unset.
    const CommandLineOptions b = parse({"--camera", "0", "--sky", "0", "--gulls", "--no-gulls", "--gulls"});
    ASSERT_EQ(b.error(), "");
    EXPECT_EQ(b.overrides().cameraPosition, 0);
    EXPECT_EQ(b.overrides().skyType, 0);
    EXPECT_EQ(b.overrides().gulls, true);
    EXPECT_FALSE(b.overrides().fishCount.has_value());
    EXPECT_FALSE(b.overrides().sound.has_value());
    EXPECT_FALSE(b.helpRequested());
    EXPECT_FALSE(b.overrides().maxFramesPerSecond.has_value());

    // The frame-rate cap, 0 for none; the page's default and a later choice: the later wins.
    EXPECT_EQ(parse({"--max-fps", "10"}).overrides().maxFramesPerSecond, 10);
    EXPECT_EQ(parse({"--max-fps=0"}).overrides().maxFramesPerSecond, 0);
    EXPECT_EQ(parse({"--max-fps", "30", "--max-fps", "15"}).overrides().maxFramesPerSecond, 15);
}

TEST(CommandLineOptions, ScreensaverSwitchesAndDaemonOptionsPassThroughInOrder) {
    const CommandLineOptions a = parse({"--fish", "3", "/p", "1234", "-root", "--window-id", "0x2a", "-c:99", "/S"});
    ASSERT_EQ(a.error(), "");
    EXPECT_EQ(remaining(a), (std::vector<std::string>{"/usr/lib/reefsaver/reefsaver_plain", "/p", "1234", "-root",
                                                      "--window-id", "0x2a", "-c:99", "/S"}));
    // A window id that looks like an option still belongs to --window-id.
    const CommandLineOptions b = parse({"-window-id", "-5"});
    ASSERT_EQ(b.error(), "");
    EXPECT_EQ(remaining(b).size(), 3u);
}

// Only the first letter of a screensaver switch counts, so a dash with more
// behind it is a switch for the shell, never an unknown option of ours.
TEST(CommandLineOptions, SingleDashWordsAreSwitchesUnlessTheDaemonsOwn) {
    for (const char* argument : {"-p4711", "-scr", "-c1234", "-S", "-fish", "-help", "-root=1", "-", "/c:1234"}) {
        const CommandLineOptions options = parse({argument});
        EXPECT_EQ(options.error(), "") << argument;
        EXPECT_EQ(remaining(options), (std::vector<std::string>{"/usr/lib/reefsaver/reefsaver_plain", argument}));
        EXPECT_EQ(options.answerWithoutRunning(), std::nullopt) << argument;
    }
    EXPECT_FALSE(parse({"-fish", "3"}).overrides().fishCount.has_value());
}

// The whole way a program's arguments take: our options out, the daemon's
// conventions out, the rest joined into the line whose switch picks the mode.
TEST(CommandLineOptions, ArgumentsReachTheSwitchReader) {
    struct Case {
        std::vector<const char*> args;
        RunMode mode;
        WindowHandle parent;
    };
    const Case cases[] = {
        {{"-p4711"}, RunMode::Preview, 4711},
        {{"-scr"}, RunMode::Full, 0},
        {{"-c1234"}, RunMode::Config, 1234},
        {{"/p", "4711"}, RunMode::Preview, 4711},
        {{"/c:1234"}, RunMode::Config, 1234},
        {{"/S"}, RunMode::Full, 0},
        {{"-T"}, RunMode::Test, 0},
        {{"--fish", "3", "-a99"}, RunMode::PasswordChange, 99},
        {{"--no-sound"}, RunMode::Config, 0},
        {{"-fish", "3"}, RunMode::Full, 0},
    };
    for (const Case& c : cases) {
        const CommandLineOptions options = parse(c.args);
        ASSERT_EQ(options.error(), "") << c.args[0];
        const ProgramArguments arguments =
            parseProgramArguments(static_cast<int>(options.remaining().size()), options.remaining().data(), nullptr);
        FakeWindows windows;
        FakeSystem system;
        SceneFreeSaver saver(Variant::Plain, windows, system);
        EXPECT_EQ(saver.ParseCommandLine(arguments.commandLine), c.mode) << c.args[0];
        EXPECT_EQ(saver.parentWindow(), c.parent) << c.args[0];
    }
}

TEST(CommandLineOptions, BadLinesGiveOneLineNamingTheProblem) {
    struct Case {
        std::vector<const char*> args;
        std::string mentions;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--"}, "unknown option '--'"},
        {{"--fish"}, "--fish needs a value"},
        {{"--fish", "21"}, "from 0 to 20, not '21'"},
        {{"--school", "-1"}, "from 0 to 20, not '-1'"},
        {{"--fish", "7x"}, "not '7x'"},
        {{"--fish="}, "not ''"},
        {{"--fish", "99999999999999999999"}, "from 0 to 20"},
        {{"--sky", "stormy"}, "one of cloudy, clear, not 'stormy'"},
        {{"--camera", "4"}, "one of auto, top, middle, bottom"},
        {{"--fps=1"}, "--fps takes no value"},
        {{"--max-fps", "-1"}, "--max-fps needs a whole number from 0 to 1000, not '-1'"},
        {{"--max-fps", "1001"}, "not '1001'"},
        {{"--max-fps", "ten"}, "not 'ten'"},
        {{"--max-fps"}, "--max-fps needs a value"},
        {{"--root=1"}, "unknown option '--root=1'"},
        {{"-window-id"}, "'-window-id' needs a window id"},
        {{"--window-id"}, "'--window-id' needs a window id"},
    };
    for (const Case& c : cases) {
        const CommandLineOptions options = parse(c.args);
        EXPECT_NE(options.error().find(c.mentions), std::string::npos) << c.args[0] << " gave: " << options.error();
        EXPECT_EQ(options.error().find('\n'), std::string::npos);
        test::captureErrors();
        EXPECT_EQ(options.answerWithoutRunning(), 2);
        EXPECT_EQ(test::capturedErrors(), "reefsaver_plain: " + options.error() + "\n");
    }
}

TEST(CommandLineOptions, HelpListsEveryOptionAndStopsTheProgram) {
    const CommandLineOptions options = parse({"--help"});
    EXPECT_TRUE(options.helpRequested());
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(options.answerWithoutRunning(stream), 0);
    std::string text(static_cast<size_t>(std::ftell(stream)), '\0');
    std::rewind(stream);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), stream), text.size());
    std::fclose(stream);
    EXPECT_EQ(text.rfind("Usage: reefsaver_plain ", 0), 0u);
    for (const char* option : {"--fish", "--school", "--gulls", "--no-gulls", "--sky", "--camera", "--sound",
                               "--no-sound", "--fps", "--max-fps N", "--root", "--window-id", "/p N"})
        EXPECT_NE(text.find(option), std::string::npos) << option;
    EXPECT_EQ(parse({"/s"}).answerWithoutRunning(), std::nullopt);
}

}  // namespace
}  // namespace reef
