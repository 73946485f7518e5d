#include "ui/InputTracker.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ui/PointerControl.h"

namespace reef {
namespace {

class FakePointer : public PointerControl {
public:
    void warpPointer(int x, int y) override { warps.push_back({x, y}); }
    void showCursor(bool visible) override { cursor.push_back(visible); }
    std::vector<std::pair<int, int>> warps;
    std::vector<bool> cursor;
};

InputEvent keyEvent(uint8_t type, int sym) {
    InputEvent e;
    e.type = type;
    e.keySym = sym;
    return e;
}

InputEvent motionEvent(int x, int y, int xrel, int yrel) {
    InputEvent e;
    e.type = InputEvent::kMouseMotion;
    e.x = x;
    e.y = y;
    e.xrel = xrel;
    e.yrel = yrel;
    return e;
}

InputEvent buttonEvent(uint8_t type, uint8_t button) {
    InputEvent e;
    e.type = type;
    e.button = button;
    return e;
}

int64_t packPosition(int x, int y) {
    return static_cast<int64_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                static_cast<uint16_t>(x));
}

TEST(InputTrackerKeys, SdlTableMapsEveryListedSymbolInAscendingOrder) {
    const std::pair<int, int> ranges[] = {{8, 9},    {12, 13},   {19, 19},   {27, 27},
                                          {32, 36},  {38, 64},   {91, 122},  {127, 127},
                                          {256, 296}, {300, 313}, {315, 321}};
    int expected = 0;
    for (auto [first, last] : ranges) {
        for (int sym = first; sym <= last; ++sym) {
            EXPECT_EQ(InputTracker::keyIndexFromSdl(sym), expected) << "symbol " << sym;
            ++expected;
        }
    }
    EXPECT_EQ(expected, InputTracker::kKeyCount);

    // Named anchors.
    EXPECT_EQ(InputTracker::keyIndexFromSdl(27), InputTracker::kKeyEscape);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(32), InputTracker::kKeySpace);
    EXPECT_EQ(InputTracker::keyIndexFromSdl('a'), 44);
    EXPECT_EQ(InputTracker::keyIndexFromSdl('z'), 69);
    EXPECT_EQ(InputTracker::keyIndexFromSdl('f'), InputTracker::kKeyF);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(127), 70);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(256), 71);   // keypad 0
    EXPECT_EQ(InputTracker::keyIndexFromSdl(265), 80);   // keypad 9
    EXPECT_EQ(InputTracker::keyIndexFromSdl(273), InputTracker::kKeyUp);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(274), InputTracker::kKeyDown);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(275), 90);   // Right
    EXPECT_EQ(InputTracker::keyIndexFromSdl(276), 91);   // Left
    EXPECT_EQ(InputTracker::keyIndexFromSdl(277), 92);   // Insert
    EXPECT_EQ(InputTracker::keyIndexFromSdl(278), InputTracker::kKeyHome);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(279), 94);   // End
    EXPECT_EQ(InputTracker::keyIndexFromSdl(280), 95);   // Page Up
    EXPECT_EQ(InputTracker::keyIndexFromSdl(281), 96);   // Page Down
    EXPECT_EQ(InputTracker::keyIndexFromSdl(282), InputTracker::kKeyF1);
    EXPECT_EQ(InputTracker::keyIndexFromSdl(296), 111);  // F15

    // Gaps and values outside the table.
    for (int sym : {-1, 0, 7, 10, 11, 14, 18, 20, 26, 28, 31, 37, 65, 90, 96 + 27, 126, 128,
                    160, 255, 297, 299, 314, 322, 1000, 1 << 20}) {
        EXPECT_EQ(InputTracker::keyIndexFromSdl(sym), InputTracker::kUnknownKey) << "symbol " << sym;
    }
}

TEST(InputTrackerKeys, VirtualKeyTableMatchesEveryRow) {
    struct Row {
        std::vector<int> codes;
        int firstIndex;
    };
    const Row rows[] = {
        {{8, 9}, 0},
        {{12, 13}, 2},
        {{19}, 4},
        {{27}, 5},
        {{32}, 6},
        {{188, 189, 190}, 17},
        {{48, 49, 50, 51, 52, 53, 54, 55, 56, 57}, 21},
        {{46}, 70},
        {{96, 97, 98, 99, 100, 101, 102, 103, 104, 105}, 71},
        {{108}, 81},
        {{111, 106, 109, 107}, 82},
        {{38, 40, 39, 37}, 88},
        {{45, 36, 35}, 92},
        {{33, 34}, 95},
        {{144, 20, 145}, 112},
        {{161, 160}, 115},
        {{163, 162}, 117},
        {{18}, 120},
        {{91, 92}, 123},
        {{47}, 126},
        {{42}, 127},
    };
    std::vector<bool> listed(256, false);
    for (const Row& row : rows) {
        int index = row.firstIndex;
        for (int code : row.codes) {
            EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(code), index) << "code " << code;
            listed[code] = true;
            ++index;
        }
    }
    for (int code = 65; code <= 90; ++code) {
        EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(code), 44 + code - 65) << "code " << code;
        listed[code] = true;
    }
    for (int code = 112; code <= 126; ++code) {
        EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(code), 97 + code - 112) << "code " << code;
        listed[code] = true;
    }
    // Everything else, including codes beyond a byte, is unknown.
    for (int code = 0; code < 256; ++code) {
        if (!listed[code]) {
            EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(code), InputTracker::kUnknownKey) << "code " << code;
        }
    }
    EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(256), InputTracker::kUnknownKey);
    EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(0x10000 + 27), InputTracker::kUnknownKey);
    EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(~uint64_t{0}), InputTracker::kUnknownKey);

    // Both paths agree on the keys the viewer uses.
    EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(27), InputTracker::keyIndexFromSdl(27));
    EXPECT_EQ(InputTracker::keyIndexFromVirtualKey('F'), InputTracker::keyIndexFromSdl('f'));
    EXPECT_EQ(InputTracker::keyIndexFromVirtualKey(112), InputTracker::keyIndexFromSdl(282));
}

TEST(InputTrackerState, PassiveUntilStarted) {
    FakePointer pointer;
    InputTracker tracker(&pointer);
    EXPECT_FALSE(tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 27)));
    EXPECT_FALSE(tracker.handleMessage(InputTracker::kMsgKeyDown, 27, 0));
    tracker.update();
    EXPECT_TRUE(tracker.keys().empty());
    EXPECT_TRUE(pointer.warps.empty());
    EXPECT_TRUE(pointer.cursor.empty());

    tracker.start(1024, 768);
    EXPECT_EQ(tracker.centreX(), 512);
    EXPECT_EQ(tracker.centreY(), 384);
    EXPECT_EQ(pointer.cursor, std::vector<bool>{false});
    EXPECT_TRUE(tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 27)));
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeyEscape, false));

    // Without the hide bit the cursor is left alone; odd sizes round the centre down.
    FakePointer other;
    InputTracker shown(&other);
    shown.setMode(InputTracker::kTrackKeyboard | InputTracker::kTrackMouse);
    shown.start(801, 601);
    EXPECT_TRUE(other.cursor.empty());
    EXPECT_EQ(shown.centreX(), 400);
    EXPECT_EQ(shown.centreY(), 300);
}

TEST(InputTrackerState, PressedOnlyInFirstFrameHeldUntilKeyUp) {
    InputTracker tracker;
    tracker.start(800, 600);
    tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 273));  // Up
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeyUp, false));
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeyUp, true));
    for (int frame = 0; frame < 5; ++frame) {
        tracker.update();
        EXPECT_FALSE(tracker.isKeyDown(InputTracker::kKeyUp, false)) << frame;
        EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeyUp, true)) << frame;
        // Auto-repeat delivers further key-downs: no second entry, no new "pressed".
        tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 273));
        ASSERT_EQ(tracker.keys().size(), 1u);
        EXPECT_EQ(tracker.keys()[0].heldFrames, frame + 1);
        EXPECT_FALSE(tracker.isKeyDown(InputTracker::kKeyUp, false));
    }
    EXPECT_FALSE(tracker.isKeyDown(InputTracker::kKeyDown, true));
    tracker.handleEvent(keyEvent(InputEvent::kKeyUp, 273));
    EXPECT_FALSE(tracker.isKeyDown(InputTracker::kKeyUp, true));
    EXPECT_TRUE(tracker.keys().empty());

    // Pressed again after release: pressed once more.
    tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 273));
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeyUp, false));
}

TEST(InputTrackerState, TapShorterThanAFrameIsStillPressedOnce) {
    // Key down and key up can both arrive before the next frame looks at the keys.
    InputTracker tracker;
    tracker.start(800, 600);
    tracker.handleMessage(InputTracker::kMsgKeyDown, 27, 0);
    tracker.handleMessage(InputTracker::kMsgKeyUp, 27, 0);
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeyEscape, false));
    tracker.update();
    EXPECT_FALSE(tracker.isKeyDown(InputTracker::kKeyEscape, false));
    EXPECT_FALSE(tracker.isKeyDown(InputTracker::kKeyEscape, true));
    EXPECT_TRUE(tracker.keys().empty());
    // Pressed again before that frame: it stays down.
    tracker.handleMessage(InputTracker::kMsgKeyDown, 32, 0);
    tracker.handleMessage(InputTracker::kMsgKeyUp, 32, 0);
    tracker.handleMessage(InputTracker::kMsgKeyDown, 32, 0);
    tracker.update();
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kKeySpace, true));
}

TEST(InputTrackerState, KeysKeepPressOrderAndUnknownKeysAreTracked) {
    InputTracker tracker;
    tracker.start(800, 600);
    // Message path: Escape, an unknown code, Home; SDL path: the letter f.
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgKeyDown, 27, 0));
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgKeyDown, 0xE5, 0));
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgKeyDown, 36, 0));
    EXPECT_TRUE(tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 'f')));
    EXPECT_TRUE(tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 5000)));  // also unknown: same entry
    ASSERT_EQ(tracker.keys().size(), 4u);
    EXPECT_EQ(tracker.keys()[0].key, InputTracker::kKeyEscape);
    EXPECT_EQ(tracker.keys()[1].key, InputTracker::kUnknownKey);
    EXPECT_EQ(tracker.keys()[2].key, InputTracker::kKeyHome);
    EXPECT_EQ(tracker.keys()[3].key, InputTracker::kKeyF);
    EXPECT_TRUE(tracker.isKeyDown(InputTracker::kUnknownKey, true));

    // Key up from either path removes the shared index (once a frame has seen the keys).
    tracker.update();
    EXPECT_TRUE(tracker.handleEvent(keyEvent(InputEvent::kKeyUp, 278)));  // SDL Home
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgKeyUp, 'F', 0));
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgKeyUp, 'Q', 0));  // not held: nothing
    ASSERT_EQ(tracker.keys().size(), 2u);
    EXPECT_EQ(tracker.keys()[0].key, InputTracker::kKeyEscape);
    EXPECT_EQ(tracker.keys()[1].key, InputTracker::kUnknownKey);
}

TEST(InputTrackerState, ModeBitsGateTrackingButEventsAreStillConsumed) {
    InputTracker tracker;
    tracker.setMode(InputTracker::kTrackMouse);
    tracker.start(800, 600);
    EXPECT_TRUE(tracker.handleEvent(keyEvent(InputEvent::kKeyDown, 27)));
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgKeyDown, 27, 0));
    EXPECT_TRUE(tracker.keys().empty());

    tracker.setMode(InputTracker::kTrackKeyboard);
    EXPECT_TRUE(tracker.handleEvent(motionEvent(300, 200, 5, 6)));
    EXPECT_TRUE(tracker.handleMessage(InputTracker::kMsgLeftButtonDown, 0, 0));
    EXPECT_EQ(tracker.mouseX(), 0);
    EXPECT_EQ(tracker.mouseDX(), 0);
    EXPECT_EQ(tracker.leftButton(), 0);

    // Other event types and messages are not consumed.
    EXPECT_FALSE(tracker.handleEvent(keyEvent(InputEvent::kQuit, 0)));
    EXPECT_FALSE(tracker.handleEvent(keyEvent(InputEvent::kActive, 0)));
    EXPECT_FALSE(tracker.handleMessage(0x000F, 0, 0));  // paint
    EXPECT_FALSE(tracker.handleMessage(0x020A, 0, 0));  // wheel
    EXPECT_FALSE(tracker.handleMessage(0x0203, 0, 0));  // double click
}

TEST(InputTrackerMouse, JumpsBeyondFiftyGiveNoMotionOnBothPaths) {
    InputTracker tracker;
    tracker.start(800, 600);

    // SDL path: the event's own relative motion.
    tracker.handleEvent(motionEvent(410, 320, 10, -20));
    EXPECT_EQ(tracker.mouseX(), 410);
    EXPECT_EQ(tracker.mouseY(), 320);
    EXPECT_EQ(tracker.mouseDX(), 10);
    EXPECT_EQ(tracker.mouseDY(), -20);
    tracker.handleEvent(motionEvent(460, 270, 50, -50));  // exactly 50 still counts
    EXPECT_EQ(tracker.mouseDX(), 50);
    EXPECT_EQ(tracker.mouseDY(), -50);
    tracker.handleEvent(motionEvent(400, 300, 3, -51));  // one axis jumps: both zero
    EXPECT_EQ(tracker.mouseX(), 400);
    EXPECT_EQ(tracker.mouseDX(), 0);
    EXPECT_EQ(tracker.mouseDY(), 0);
    tracker.handleEvent(motionEvent(400, 300, 51, 0));
    EXPECT_EQ(tracker.mouseDX(), 0);

    // Message path: difference to the previous position, signed 16-bit halves.
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(420, 290));
    EXPECT_EQ(tracker.mouseX(), 420);
    EXPECT_EQ(tracker.mouseY(), 290);
    EXPECT_EQ(tracker.mouseDX(), 20);
    EXPECT_EQ(tracker.mouseDY(), -10);
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(370, 340));
    EXPECT_EQ(tracker.mouseDX(), -50);
    EXPECT_EQ(tracker.mouseDY(), 50);
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(-5, 330));  // left of the window
    EXPECT_EQ(tracker.mouseX(), -5);
    EXPECT_EQ(tracker.mouseY(), 330);
    EXPECT_EQ(tracker.mouseDX(), 0);
    EXPECT_EQ(tracker.mouseDY(), 0);
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(0, -2));
    EXPECT_EQ(tracker.mouseY(), -2);
    EXPECT_EQ(tracker.mouseDX(), 0);  // x moved by 5, but y jumped 332: both zero
    EXPECT_EQ(tracker.mouseDY(), 0);
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(-7, 8));
    EXPECT_EQ(tracker.mouseDX(), -7);
    EXPECT_EQ(tracker.mouseDY(), 10);
}

TEST(InputTrackerMouse, WarpsToCentreNearEdges) {
    FakePointer pointer;
    InputTracker tracker(&pointer);
    tracker.start(1000, 700);  // centre 500, 350; safe x 80..920, y 80..620
    struct Case {
        int x, y;
        bool warp;
    };
    const Case cases[] = {
        {500, 350, false}, {80, 80, false},   {920, 620, false}, {79, 350, true},
        {921, 350, true},  {500, 79, true},   {500, 621, true},  {0, 0, true},
    };
    for (const Case& c : cases) {
        pointer.warps.clear();
        tracker.handleEvent(motionEvent(c.x, c.y, 0, 0));
        tracker.update();
        if (c.warp) {
            ASSERT_EQ(pointer.warps.size(), 1u) << c.x << "," << c.y;
            EXPECT_EQ(pointer.warps[0], std::make_pair(500, 350));
        } else {
            EXPECT_TRUE(pointer.warps.empty()) << c.x << "," << c.y;
        }
    }

    // The motion the warp itself causes arrives as a jump and is ignored.
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(10, 10));
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(500, 350));
    EXPECT_EQ(tracker.mouseDX(), 0);
    EXPECT_EQ(tracker.mouseDY(), 0);

    // Without mouse tracking nothing is warped.
    tracker.setMode(InputTracker::kTrackKeyboard);
    tracker.handleMessage(InputTracker::kMsgMouseMove, 0, packPosition(1, 1));
    pointer.warps.clear();
    tracker.update();
    EXPECT_TRUE(pointer.warps.empty());
}

TEST(InputTrackerMouse, ButtonsCountUpWhileHeld) {
    InputTracker tracker;
    tracker.start(800, 600);
    tracker.handleEvent(buttonEvent(InputEvent::kMouseButtonDown, InputEvent::kButtonLeft));
    tracker.handleEvent(buttonEvent(InputEvent::kMouseButtonDown, InputEvent::kButtonRight));
    EXPECT_TRUE(tracker.handleEvent(buttonEvent(InputEvent::kMouseButtonDown, 4)));  // wheel: consumed, untracked
    EXPECT_EQ(tracker.leftButton(), 1);
    EXPECT_EQ(tracker.rightButton(), 1);
    EXPECT_EQ(tracker.middleButton(), 0);
    tracker.update();
    tracker.update();
    EXPECT_EQ(tracker.leftButton(), 3);
    EXPECT_EQ(tracker.rightButton(), 3);
    EXPECT_EQ(tracker.middleButton(), 0);

    tracker.handleEvent(buttonEvent(InputEvent::kMouseButtonUp, InputEvent::kButtonLeft));
    tracker.handleMessage(InputTracker::kMsgMiddleButtonDown, 0, 0);
    tracker.update();
    EXPECT_EQ(tracker.leftButton(), 0);
    EXPECT_EQ(tracker.rightButton(), 4);
    EXPECT_EQ(tracker.middleButton(), 2);

    tracker.handleMessage(InputTracker::kMsgRightButtonUp, 0, 0);
    tracker.handleMessage(InputTracker::kMsgMiddleButtonUp, 0, 0);
    tracker.handleMessage(InputTracker::kMsgLeftButtonDown, 0, 0);
    tracker.update();
    EXPECT_EQ(tracker.leftButton(), 2);
    EXPECT_EQ(tracker.rightButton(), 0);
    EXPECT_EQ(tracker.middleButton(), 0);
    tracker.handleMessage(InputTracker::kMsgLeftButtonUp, 0, 0);
    EXPECT_EQ(tracker.leftButton(), 0);
}

}  // namespace
}  // namespace reef
