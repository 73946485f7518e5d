#include "ui/InputTracker.h"

#include <algorithm>
#include <array>

#include "ui/PointerControl.h"

namespace reef {
namespace {

// SDL 1.2 key symbols that have an index, as inclusive ranges in ascending order;
// the indices count through them densely (Backspace 0 ... Euro 132).
struct SymRange {
    int first;
    int last;
};
constexpr SymRange kSdlRanges[] = {
    {8, 9},      // Backspace, Tab
    {12, 13},    // Clear, Return
    {19, 19},    // Pause
    {27, 27},    // Escape
    {32, 36},    // Space ! " # $
    {38, 64},    // & ... @ (digits 48-57 inside)
    {91, 122},   // [ \ ] ^ _ ` and the letters a-z
    {127, 127},  // Delete
    {256, 296},  // keypad, arrows, Insert/Home/End/PageUp/PageDown, F1-F15
    {300, 313},  // lock keys and modifiers
    {315, 321},  // Help, Print, SysReq, Break, Menu, Power, Euro
};
constexpr int kSdlTableSize = 322;

constexpr std::array<int16_t, kSdlTableSize> makeSdlTable() {
    std::array<int16_t, kSdlTableSize> table{};
    for (auto& entry : table) entry = InputTracker::kUnknownKey;
    int16_t index = 0;
    for (const SymRange& range : kSdlRanges) {
        for (int sym = range.first; sym <= range.last; ++sym) table[sym] = index++;
    }
    return table;
}
constexpr std::array<int16_t, kSdlTableSize> kSdlTable = makeSdlTable();

// Windows virtual-key codes onto the same indices.
constexpr std::array<int16_t, 256> makeVirtualKeyTable() {
    std::array<int16_t, 256> table{};
    for (auto& entry : table) entry = InputTracker::kUnknownKey;
    auto run = [&table](int firstCode, int lastCode, int firstIndex) {
        for (int code = firstCode; code <= lastCode; ++code)
            table[code] = static_cast<int16_t>(firstIndex + code - firstCode);
    };
    run(8, 9, 0);        // Backspace, Tab
    run(12, 13, 2);      // Clear, Return
    run(19, 19, 4);      // Pause
    run(27, 27, 5);      // Escape
    run(32, 32, 6);      // Space
    run(188, 190, 17);   // comma, minus, period
    run(48, 57, 21);     // digits
    run(65, 90, 44);     // letters
    run(46, 46, 70);     // Delete
    run(96, 105, 71);    // keypad digits
    run(108, 108, 81);   // keypad separator
    run(111, 111, 82);   // keypad divide
    run(106, 106, 83);   // keypad multiply
    run(109, 109, 84);   // keypad subtract
    run(107, 107, 85);   // keypad add
    run(38, 38, 88);     // Up
    run(40, 40, 89);     // Down
    run(39, 39, 90);     // Right
    run(37, 37, 91);     // Left
    run(45, 45, 92);     // Insert
    run(36, 36, 93);     // Home
    run(35, 35, 94);     // End
    run(33, 34, 95);     // Page Up, Page Down
    run(112, 126, 97);   // F1-F15
    run(144, 144, 112);  // Num Lock
    run(20, 20, 113);    // Caps Lock
    run(145, 145, 114);  // Scroll Lock
    run(161, 161, 115);  // right Shift
    run(160, 160, 116);  // left Shift
    run(163, 163, 117);  // right Control
    run(162, 162, 118);  // left Control
    run(18, 18, 120);    // Alt
    run(91, 92, 123);    // left, right Windows key
    run(47, 47, 126);    // Help
    run(42, 42, 127);    // Print
    return table;
}
constexpr std::array<int16_t, 256> kVirtualKeyTable = makeVirtualKeyTable();

static_assert(kSdlTable[8] == 0 && kSdlTable[27] == InputTracker::kKeyEscape);
static_assert(kSdlTable[321] == InputTracker::kKeyCount - 1);
static_assert(kSdlTable['f'] == InputTracker::kKeyF && kSdlTable[282] == InputTracker::kKeyF1);

bool isJump(int delta) { return delta > InputTracker::kMaxMotion || delta < -InputTracker::kMaxMotion; }

}  // namespace

InputTracker::InputTracker(PointerControl* pointer) : m_pointer(pointer) {
    // Enough room for every key a hand can hold, so pressing keys does not allocate.
    m_keys.reserve(16);
}

int InputTracker::keyIndexFromSdl(int keySym) {
    if (keySym < 0 || keySym >= kSdlTableSize) return kUnknownKey;
    return kSdlTable[keySym];
}

int InputTracker::keyIndexFromVirtualKey(uint64_t virtualKey) {
    if (virtualKey >= kVirtualKeyTable.size()) return kUnknownKey;
    return kVirtualKeyTable[virtualKey];
}

void InputTracker::start(int width, int height) {
    m_screenWidth = width;
    m_screenHeight = height;
    m_centreX = width / 2;
    m_centreY = height / 2;
    if ((m_mode & kHideCursor) && m_pointer) m_pointer->showCursor(false);
    m_active = true;
}

void InputTracker::keyDown(int key) {
    for (KeyState& state : m_keys) {
        if (state.key != key) continue;
        state.released = false;  // auto-repeat, or pressed again within the same frame
        return;
    }
    m_keys.push_back({key, 0, false});
}

void InputTracker::keyUp(int key) {
    auto it = std::find_if(m_keys.begin(), m_keys.end(),
                           [key](const KeyState& state) { return state.key == key && !state.released; });
    if (it == m_keys.end()) return;
    // A tap shorter than one frame still counts as a press in the frame that follows it.
    if (it->heldFrames == 0)
        it->released = true;
    else
        m_keys.erase(it);
}

void InputTracker::setMotion(int dx, int dy) {
    if (isJump(dx) || isJump(dy)) {
        dx = 0;
        dy = 0;
    }
    m_mouseDX = dx;
    m_mouseDY = dy;
}

int* InputTracker::buttonForSdl(uint8_t button) {
    switch (button) {
        case InputEvent::kButtonLeft: return &m_leftButton;
        case InputEvent::kButtonRight: return &m_rightButton;
        case InputEvent::kButtonMiddle: return &m_middleButton;
        default: return nullptr;  // wheel and extra buttons are not tracked
    }
}

bool InputTracker::handleEvent(const InputEvent& event) {
    if (!m_active) return false;
    const bool keyboard = (m_mode & kTrackKeyboard) != 0;
    const bool mouse = (m_mode & kTrackMouse) != 0;
    switch (event.type) {
        case InputEvent::kKeyDown:
            if (keyboard) keyDown(keyIndexFromSdl(event.keySym));
            return true;
        case InputEvent::kKeyUp:
            if (keyboard) keyUp(keyIndexFromSdl(event.keySym));
            return true;
        case InputEvent::kMouseMotion:
            if (mouse) {
                m_mouseX = event.x;
                m_mouseY = event.y;
                setMotion(event.xrel, event.yrel);
            }
            return true;
        case InputEvent::kMouseButtonDown:
        case InputEvent::kMouseButtonUp:
            if (mouse) {
                if (int* button = buttonForSdl(event.button))
                    *button = event.type == InputEvent::kMouseButtonDown ? 1 : 0;
            }
            return true;
        default:
            return false;
    }
}

bool InputTracker::handleMessage(uint32_t message, uint64_t wParam, int64_t lParam) {
    if (!m_active) return false;
    const bool keyboard = (m_mode & kTrackKeyboard) != 0;
    const bool mouse = (m_mode & kTrackMouse) != 0;
    switch (message) {
        case kMsgKeyDown:
            if (keyboard) keyDown(keyIndexFromVirtualKey(wParam));
            return true;
        case kMsgKeyUp:
            if (keyboard) keyUp(keyIndexFromVirtualKey(wParam));
            return true;
        case kMsgMouseMove:
            if (mouse) {
                // Position packed as two signed 16-bit halves: x low, y high.
                const auto bits = static_cast<uint32_t>(static_cast<uint64_t>(lParam));
                const int x = static_cast<int16_t>(bits & 0xFFFFu);
                const int y = static_cast<int16_t>((bits >> 16) & 0xFFFFu);
                setMotion(x - m_mouseX, y - m_mouseY);
                m_mouseX = x;
                m_mouseY = y;
            }
            return true;
        case kMsgLeftButtonDown:
        case kMsgLeftButtonUp:
            if (mouse) m_leftButton = message == kMsgLeftButtonDown ? 1 : 0;
            return true;
        case kMsgRightButtonDown:
        case kMsgRightButtonUp:
            if (mouse) m_rightButton = message == kMsgRightButtonDown ? 1 : 0;
            return true;
        case kMsgMiddleButtonDown:
        case kMsgMiddleButtonUp:
            if (mouse) m_middleButton = message == kMsgMiddleButtonDown ? 1 : 0;
            return true;
        default:
            return false;
    }
}

void InputTracker::update() {
    if (!m_active) return;
    if (m_mode & kTrackKeyboard) {
        std::erase_if(m_keys, [](const KeyState& state) { return state.released; });
        for (KeyState& state : m_keys) ++state.heldFrames;
    }
    if (m_mode & kTrackMouse) {
        // Keep the pointer away from the edges so relative motion never stalls there;
        // the jump this causes is filtered out as a motion beyond the limit.
        const bool nearEdge = m_mouseX < kEdgeMargin || m_mouseX > m_screenWidth - kEdgeMargin ||
                              m_mouseY < kEdgeMargin || m_mouseY > m_screenHeight - kEdgeMargin;
        if (nearEdge && m_pointer) m_pointer->warpPointer(m_centreX, m_centreY);
        for (int* button : {&m_leftButton, &m_rightButton, &m_middleButton}) {
            if (*button > 0) ++*button;
        }
    }
}

bool InputTracker::isKeyDown(int key, bool held) const {
    for (const KeyState& state : m_keys) {
        if (state.key == key) return held || state.heldFrames < 1;
    }
    return false;
}

}  // namespace reef
