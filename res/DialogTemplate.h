// Dialog templates declared as data: each dialog and its controls with their
// ids, kinds and rectangles in dialog units (a quarter of the dialog font's
// average character width horizontally, an eighth of its height vertically).
// The dialog layer builds the widgets from these; the dialog code addresses
// the controls by id only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace reef {

enum class ControlKind : uint8_t {
    ListView,           // single-selection text list, selection always shown
    PushButton,
    DefaultPushButton,  // activated by Enter
    FlatPushButton,     // a button drawn without a frame (the web link)
    Label,              // left-aligned static text
    CentredLabel,       // centred, wrapping static text
    Bitmap,             // picture static; its text names a bitmap file of the resource folder, if any
    GroupBox,
    VerticalScrollBar,
    Trackbar,
    NumberReadout,      // read-only, right-aligned edit
    CheckBox,           // automatic: toggles itself when clicked
    RadioButton,        // automatic: consecutive radio buttons of a dialog form one group
    DropDownList,
};

// Style bits of a control.
enum ControlStyle : uint8_t {
    kStyleNone = 0,
    kStyleHidden = 1,  // created hidden
    kStyleBorder = 2,
    kStyleSunken = 4,
    kStyleTicks = 8,  // trackbar: a tick at every position
};

// A rectangle in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Controls without an id of their own (labels, frames) carry this one.
inline constexpr int kUnnumbered = -1;

struct ControlTemplate {
    int id = kUnnumbered;
    ControlKind kind = ControlKind::Label;
    DialogRect rect;
    const char* text = "";  // UTF-8 default text; run-time texts replace it
    uint8_t style = kStyleNone;
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";  // empty for child dialogs
    int width = 0;             // dialog units
    int height = 0;
    bool child = false;   // a page or container inside another dialog, no caption
    bool border = false;  // a thin frame around a child dialog
    std::span<const ControlTemplate> controls;
    // The dialog font: its average character size defines the dialog units.
    const char* fontName = "MS Sans Serif";
    int fontPoints = 8;

    // The first control with that id; nullptr when there is none.
    const ControlTemplate* control(int controlId) const {
        for (const ControlTemplate& c : controls)
            if (c.id == controlId) return &c;
        return nullptr;
    }
};

}  // namespace reef
