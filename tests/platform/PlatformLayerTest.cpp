#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "engine/WideText.h"
#include "platform/KeyTranslation.h"
#include "platform/MessageQueue.h"
#include "platform/ProgramArguments.h"
#include "platform/WindowMessages.h"

namespace reef {
namespace {

TEST(MessageQueue, PostedMessagesComeBeforeQuitAndQuitStays) {
    MessageQueue queue;
    queue.post(Message{1, WM_USER, 0, 0});
    queue.postQuit(0);
    queue.post(Message{1, WM_PAINT, 0, 0});
    Message out;
    ASSERT_TRUE(queue.takePosted(out));
    EXPECT_EQ(out.message, WM_USER);
    ASSERT_TRUE(queue.takePosted(out));
    EXPECT_EQ(out.message, WM_PAINT);
    ASSERT_TRUE(queue.takePosted(out));
    EXPECT_EQ(out.message, WM_QUIT);
    ASSERT_TRUE(queue.takePosted(out));
    EXPECT_EQ(out.message, WM_QUIT);
}

TEST(MessageQueue, TimersFireWhenDueRepeatAndCanBeKilled) {
    MessageQueue queue;
    Message out;
    queue.setTimer(7, 1, 500, 1000);
    EXPECT_FALSE(queue.takeDueTimer(1499, out));
    EXPECT_EQ(queue.millisecondsUntilNextTimer(1400), 100);
    ASSERT_TRUE(queue.takeDueTimer(1500, out));
    EXPECT_EQ(out.message, WM_TIMER);
    EXPECT_EQ(out.window, 7u);
    EXPECT_EQ(out.wParam, 1u);
    EXPECT_FALSE(queue.takeDueTimer(1501, out));
    EXPECT_TRUE(queue.takeDueTimer(2000, out));
    queue.killTimer(7, 1);
    EXPECT_FALSE(queue.takeDueTimer(5000, out));
    EXPECT_EQ(queue.millisecondsUntilNextTimer(5000), -1);
}

TEST(MessageQueue, TimerSurvivesTheTickCountWrap) {
    MessageQueue queue;
    Message out;
    queue.setTimer(1, 1, 500, 0xFFFFFF00u);
    EXPECT_FALSE(queue.takeDueTimer(0xFFFFFFF0u, out));
    EXPECT_TRUE(queue.takeDueTimer(0x00000100u, out));  // 512 ms later, across the wrap
}

// Found by fuzzing: a quote in the program path closed the quoting early, and
// the rest of the path was read as the switch (here /p: a preview of window 34).
TEST(ProgramArguments, AQuoteInTheProgramPathIsNoSwitch) {
    const char* argv[] = {"/opt/my\"saver /p 34/reefsaver", "/s"};
    const ProgramArguments a = parseProgramArguments(2, argv, nullptr);
    EXPECT_EQ(toUtf8(a.commandLine), "\"/opt/mysaver /p 34/reefsaver\" /s");
    const char* daemon[] = {"/x\"/c", "-root"};
    EXPECT_EQ(toUtf8(parseProgramArguments(2, daemon, nullptr).commandLine), "\"/x/c\" /s");
}

TEST(ProgramArguments, JoinsTheLineAndRecognisesTheDaemonConventions) {
    {
        const char* argv[] = {"/usr/bin/reefsaver_plain", "/p", "4711"};
        const ProgramArguments a = parseProgramArguments(3, argv, nullptr);
        EXPECT_EQ(toUtf8(a.commandLine), "\"/usr/bin/reefsaver_plain\" /p 4711");
        EXPECT_FALSE(a.hostMode);
    }
    {
        const char* argv[] = {"saver", "-root"};
        const ProgramArguments a = parseProgramArguments(2, argv, nullptr);
        EXPECT_TRUE(a.hostMode);
        EXPECT_TRUE(a.hostIsRoot);
        EXPECT_EQ(toUtf8(a.commandLine), "\"saver\" /s");
    }
    {
        const char* argv[] = {"saver", "--window-id", "0x2a00007", "/t"};
        const ProgramArguments a = parseProgramArguments(4, argv, nullptr);
        EXPECT_TRUE(a.hostMode);
        EXPECT_EQ(a.hostWindow, 0x2a00007u);
        EXPECT_EQ(toUtf8(a.commandLine), "\"saver\" /s");
    }
    {
        // The daemon's environment variable names the window; -root then means "that window".
        const char* argv[] = {"saver", "-root"};
        const ProgramArguments a = parseProgramArguments(2, argv, "1234");
        EXPECT_TRUE(a.hostMode);
        EXPECT_FALSE(a.hostIsRoot);
        EXPECT_EQ(a.hostWindow, 1234u);
    }
    {
        // A daemon variable that is no window id is not used.
        const char* argv[] = {"saver", "-root"};
        const ProgramArguments a = parseProgramArguments(2, argv, "12x");
        EXPECT_TRUE(a.hostIsRoot);
        EXPECT_EQ(a.hostWindow, 0u);
        EXPECT_EQ(a.error, "");
    }
}

// A window id that is malformed or 0 must stop the program: read as 0, it
// would have meant the whole screen, grabbed.
TEST(ProgramArguments, WindowIdsThatNameNoWindowAreRefusedInOneLine) {
    const std::pair<const char*, const char*> refused[] = {
        {"banana", "is not a window id"}, {"0", "names no window"},       {"0x0", "names no window"},
        {"-5", "is not a window id"},     {" 42", "is not a window id"},  {"0x", "is not a window id"},
        {"12x", "is not a window id"},    {"4294967296", "is not a window id"},
        {"99999999999999999999999", "is not a window id"},                {"4\n2", "is not a window id"},
        {"", "is not a window id"},
    };
    for (auto [value, says] : refused) {
        const char* argv[] = {"saver", "--window-id", value};
        const ProgramArguments a = parseProgramArguments(3, argv, nullptr);
        EXPECT_NE(a.error.find(says), std::string::npos) << value << ": " << a.error;
        EXPECT_EQ(a.error.find('\n'), std::string::npos) << a.error;
    }
    for (auto [value, id] : {std::pair{"4711", 4711u}, std::pair{"0x2A00007", 0x2a00007u}, std::pair{"4294967295", 4294967295u}}) {
        const char* argv[] = {"saver", "-window-id", value};
        const ProgramArguments a = parseProgramArguments(3, argv, nullptr);
        EXPECT_EQ(a.error, "") << value;
        EXPECT_EQ(a.hostWindow, id) << value;
    }
}

TEST(KeyTranslation, KeysymsMapToVirtualKeys) {
    const std::pair<unsigned long, uint32_t> cases[] = {
        {XK_Escape, VK_ESCAPE}, {XK_space, VK_SPACE},  {XK_f, 'F'},          {XK_F, 'F'},
        {XK_7, '7'},            {XK_Home, VK_HOME},    {XK_Up, VK_UP},       {XK_Down, VK_DOWN},
        {XK_F1, VK_F1},         {XK_F12, VK_F1 + 11},  {XK_KP_3, VK_NUMPAD0 + 3}, {XK_Shift_R, VK_RSHIFT},
        {XK_comma, VK_OEM_COMMA}, {XK_Return, VK_RETURN}, {XK_udiaeresis, 0},
    };
    for (auto [keysym, virtualKey] : cases) EXPECT_EQ(virtualKeyFromKeysym(keysym), virtualKey) << keysym;
}

TEST(WindowMessages, MousePositionsPackAsSigned16BitHalves) {
    const int64_t packed = packMousePosition(-5, 700);
    EXPECT_EQ(mouseX(packed), -5);
    EXPECT_EQ(mouseY(packed), 700);
}

}  // namespace
}  // namespace reef
