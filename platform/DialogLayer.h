// The dialog layer as the dialog code sees it: dialogs built from the
// templates in res/ and their controls addressed by id. Commands and scroll
// notifications reach a DialogProcedure by control id. GTK implements it;
// tests use a fake that keeps the control states in memory.
//
// Positions given to moveDialog are pixels in the parent's client area, for a
// dialog font of 6 x 13 pixels a character; a layer with another font scales
// them alike. The templates' own rectangles are dialog units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace reef {

using DialogHandle = uint64_t;  // 0: no dialog

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

// A scroll bar's state. max is inclusive; the position stays within
// [min, max - page + 1] (min when that range is empty).
struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    int trackPos = 0;
};

// Where a scroll bar puts a requested position.
inline int clampScrollPosition(const ScrollInfo& info, int pos) {
    const int page = info.page > 0 ? info.page : 1;
    const int highest = info.max - page + 1;
    if (pos > highest) pos = highest;
    if (pos < info.min) pos = info.min;
    return pos;
}

// What a dialog does with its notifications. Only user actions notify:
// changing a control through the layer never does.
class DialogProcedure {
public:
    virtual ~DialogProcedure() = default;
    // The dialog and its controls exist; not yet shown.
    virtual void onInitDialog(DialogHandle /*dialog*/) {}
    // A button, check box, radio button or list choice; also 2 for the close box and Escape.
    virtual void onCommand(DialogHandle /*dialog*/, int /*controlId*/) {}
    // A trackbar was moved.
    virtual void onHorizontalScroll(DialogHandle /*dialog*/, int /*controlId*/) {}
    // A scroll bar was operated; trackPos is the thumb's position for the thumb codes.
    virtual void onVerticalScroll(DialogHandle /*dialog*/, int /*controlId*/, ScrollCode /*code*/, int /*trackPos*/) {}
    // The selection of a list view changed.
    virtual void onItemChanged(DialogHandle /*dialog*/, int /*controlId*/) {}
};

class DialogLayer {
public:
    virtual ~DialogLayer() = default;

    // Runs the template as a modal dialog over owner (0: none) until endDialog;
    // its result, or -1 when the dialog cannot be shown at all.
    virtual int runModal(int templateId, DialogHandle owner, DialogProcedure& procedure) = 0;
    // A child dialog of parent at (0, 0), hidden; its procedure (null for a plain
    // container) is initialised before this returns. 0 when it cannot be built.
    virtual DialogHandle createChild(int templateId, DialogHandle parent, DialogProcedure* procedure) = 0;
    // The template number the dialog was built from; 0 for no dialog.
    virtual int templateId(DialogHandle dialog) const = 0;
    virtual void endDialog(DialogHandle dialog, int result) = 0;
    // Why the last runModal returned -1.
    virtual std::string lastError() const = 0;

    virtual void setTitle(DialogHandle dialog, std::u16string_view text) = 0;
    virtual void showDialog(DialogHandle dialog, bool visible) = 0;
    // Pixels in the parent's client area; the size stays.
    virtual void moveDialog(DialogHandle dialog, int x, int y) = 0;

    virtual void setText(DialogHandle dialog, int controlId, std::u16string_view text) = 0;
    virtual std::u16string text(DialogHandle dialog, int controlId) = 0;

    // A caption from a language file over the template's own: an empty text
    // (a key the file lacks, a file the reader cannot read) keeps the
    // template's caption, so no button, label or title ever goes blank.
    void setCaption(DialogHandle dialog, int controlId, std::u16string_view caption) {
        if (!caption.empty()) setText(dialog, controlId, caption);
    }
    void setTitleCaption(DialogHandle dialog, std::u16string_view caption) {
        if (!caption.empty()) setTitle(dialog, caption);
    }
    virtual void setChecked(DialogHandle dialog, int controlId, bool checked) = 0;
    virtual bool isChecked(DialogHandle dialog, int controlId) = 0;
    virtual void showControl(DialogHandle dialog, int controlId, bool visible) = 0;
    virtual void enableControl(DialogHandle dialog, int controlId, bool enabled) = 0;
    // The name assistive technology reads for a control without a text of its own.
    virtual void setAccessibleName(DialogHandle dialog, int controlId, std::u16string_view name) = 0;
    // The text shown while the pointer rests on a control.
    virtual void setToolTip(DialogHandle dialog, int controlId, std::u16string_view text) = 0;

    // Trackbars: positions are whole numbers in [min, max].
    virtual void setTrackRange(DialogHandle dialog, int controlId, int min, int max) = 0;
    virtual void setTrackPos(DialogHandle dialog, int controlId, int pos) = 0;
    virtual int trackPos(DialogHandle dialog, int controlId) = 0;

    // List views and drop-down lists: items in insertion order, each with a number of its own.
    virtual void clearItems(DialogHandle dialog, int controlId) = 0;
    virtual int addItem(DialogHandle dialog, int controlId, std::u16string_view text, int data) = 0;
    // Selects the item; an index out of range clears the selection.
    virtual void selectItem(DialogHandle dialog, int controlId, int index) = 0;
    // The selected item, or -1.
    virtual int selectedItem(DialogHandle dialog, int controlId) = 0;
    // The number carried by the item; -1 for an index out of range.
    virtual int itemData(DialogHandle dialog, int controlId, int index) = 0;

    virtual void setScrollInfo(DialogHandle dialog, int controlId, const ScrollInfo& info) = 0;
    virtual ScrollInfo scrollInfo(DialogHandle dialog, int controlId) = 0;
    // Sets the position (clamped as above); the position it took.
    virtual int setScrollPos(DialogHandle dialog, int controlId, int pos) = 0;

    // Loads a BMP file (backslashes taken as separators) into a picture control at
    // its own size; false, and an empty picture, when it cannot be read.
    virtual bool setBitmap(DialogHandle dialog, int controlId, const std::string& path) = 0;

    // A modal message over owner with one OK button.
    virtual void showMessage(DialogHandle owner, std::u16string_view text, std::u16string_view caption) = 0;
    // Hands a URI to the desktop's default handler; nothing is reported back.
    virtual void openUri(const std::string& uri) = 0;
};

}  // namespace reef
