// Keeps the keys currently held (with how many frames each has been held) and
// the mouse state of the interactive viewer. Fed by SDL events and by window
// messages; both paths map their key codes onto one dense key index.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/InputEvent.h"

namespace reef {

class PointerControl;

class InputTracker {
public:
    // Tracking mode bits.
    static constexpr uint32_t kTrackKeyboard = 1;
    static constexpr uint32_t kTrackMouse = 2;
    static constexpr uint32_t kHideCursor = 4;
    static constexpr uint32_t kDefaultMode = 7;

    // Key indices the viewer reacts to.
    static constexpr int kKeyEscape = 5;
    static constexpr int kKeySpace = 6;
    static constexpr int kKeyF = 49;
    static constexpr int kKeyUp = 88;
    static constexpr int kKeyDown = 89;
    static constexpr int kKeyHome = 93;
    static constexpr int kKeyF1 = 97;
    // Number of known keys (indices 0 to kKeyCount - 1); anything else is kUnknownKey.
    static constexpr int kKeyCount = 133;
    static constexpr int kUnknownKey = -1;

    // Window message numbers handled by handleMessage.
    static constexpr uint32_t kMsgKeyDown = 0x100;
    static constexpr uint32_t kMsgKeyUp = 0x101;
    static constexpr uint32_t kMsgMouseMove = 0x200;
    static constexpr uint32_t kMsgLeftButtonDown = 0x201;
    static constexpr uint32_t kMsgLeftButtonUp = 0x202;
    static constexpr uint32_t kMsgRightButtonDown = 0x204;
    static constexpr uint32_t kMsgRightButtonUp = 0x205;
    static constexpr uint32_t kMsgMiddleButtonDown = 0x207;
    static constexpr uint32_t kMsgMiddleButtonUp = 0x208;

    // Relative motion beyond this many pixels (either axis) is a jump, not a movement.
    static constexpr int kMaxMotion = 50;
    // Pointer closer than this many pixels to an edge is warped back to the centre.
    static constexpr int kEdgeMargin = 80;

    struct KeyState {
        int key = kUnknownKey;
        int heldFrames = 0;  // frames since the key went down (0 until the next update)
        bool released = false;  // let go before any frame saw it; dropped at the next update
    };

    // `pointer` may be null (no warp, no cursor change); it must outlive the tracker.
    explicit InputTracker(PointerControl* pointer = nullptr);

    void setPointerControl(PointerControl* pointer) { m_pointer = pointer; }
    void setMode(uint32_t mode) { m_mode = mode; }
    uint32_t mode() const { return m_mode; }

    // Takes the screen size (pixels), hides the cursor when asked and starts tracking.
    void start(int width, int height);
    // An SDL event; true when the tracker consumed it (always false before start).
    bool handleEvent(const InputEvent& event);
    // A window message (message number, wParam, lParam); true when consumed.
    bool handleMessage(uint32_t message, uint64_t wParam, int64_t lParam);
    // Once per frame after the frame's input: ages the keys, recentres the pointer, counts buttons.
    void update();
    // held: is the key down at all; otherwise: did it go down since the last update.
    bool isKeyDown(int key, bool held) const;

    // SDL 1.2 key symbol -> key index (kUnknownKey for symbols outside the table).
    static int keyIndexFromSdl(int keySym);
    // Windows virtual-key code -> key index (kUnknownKey for codes outside the table).
    static int keyIndexFromVirtualKey(uint64_t virtualKey);

    const std::vector<KeyState>& keys() const { return m_keys; }
    int mouseDX() const { return m_mouseDX; }
    int mouseDY() const { return m_mouseDY; }
    int leftButton() const { return m_leftButton; }
    int rightButton() const { return m_rightButton; }
    int middleButton() const { return m_middleButton; }
    int mouseX() const { return m_mouseX; }
    int mouseY() const { return m_mouseY; }
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    int centreX() const { return m_centreX; }
    int centreY() const { return m_centreY; }
    bool active() const { return m_active; }

private:
    void keyDown(int key);
    void keyUp(int key);
    // Stores a relative motion, zeroing both axes when either is a jump.
    void setMotion(int dx, int dy);
    int* buttonForSdl(uint8_t button);

    std::vector<KeyState> m_keys;
    int m_mouseDX = 0;
    int m_mouseDY = 0;
    int m_leftButton = 0;
    int m_rightButton = 0;
    int m_middleButton = 0;
    int m_mouseX = 0;
    int m_mouseY = 0;
    uint32_t m_mode = kDefaultMode;
    int m_screenWidth = 800;
    int m_screenHeight = 600;
    int m_centreX = 400;
    int m_centreY = 300;
    bool m_active = false;
    PointerControl* m_pointer = nullptr;
};

}  // namespace reef
