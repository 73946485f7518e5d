// The Win32 dialog layer on the templates of res/, run as real dialogs under
// the test prefix. Each test plays the user with the messages a click or a key
// would send, from a timer once the modal loop runs.
#include "platform/windows/Win32DialogLayer.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "testsupport/TempFolder.h"
#include "writers/BmpWriter.h"

namespace reef {
namespace {

namespace C = control;

// Records what the dialog reports; runs the test's steps at init and once the dialog is up.
class ScriptedProcedure : public DialogProcedure {
public:
    std::function<void(DialogHandle)> atInit;
    std::function<void(DialogHandle)> asUser;
    std::vector<std::string> events;

    void onInitDialog(DialogHandle dialog) override {
        if (atInit) atInit(dialog);
        if (!asUser) return;
        s_pending = this;
        s_dialog = dialog;
        SetTimer(nullptr, 0, 10, &ScriptedProcedure::runUserSteps);
    }
    void onCommand(DialogHandle, int id) override { events.push_back("command " + std::to_string(id)); }
    void onHorizontalScroll(DialogHandle, int id) override { events.push_back("track " + std::to_string(id)); }
    void onVerticalScroll(DialogHandle, int id, ScrollCode code, int) override {
        events.push_back("scroll " + std::to_string(id) + " " + std::to_string(static_cast<int>(code)));
    }
    void onItemChanged(DialogHandle, int id) override { events.push_back("item " + std::to_string(id)); }

private:
    static void CALLBACK runUserSteps(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        ScriptedProcedure* procedure = s_pending;
        s_pending = nullptr;
        if (procedure) procedure->asUser(s_dialog);
    }
    static inline ScriptedProcedure* s_pending = nullptr;
    static inline DialogHandle s_dialog = 0;
};

HWND item(Win32DialogLayer& layer, DialogHandle dialog, int id) {
    return GetDlgItem(static_cast<HWND>(layer.window(dialog)), id);
}

// A control's rectangle in its dialog's client area.
RECT placeOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(Win32DialogLayer, BuildsTheTemplatesInDialogUnitsWithTheirFonts) {
    Win32DialogLayer layer("");
    ScriptedProcedure procedure;
    procedure.atInit = [&](DialogHandle dialog) {
        const HWND window = static_cast<HWND>(layer.window(dialog));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(layer.templateId(dialog), dialog::kConfigMain);
        // Every control where the template puts it, in this font's dialog units.
        for (const ControlTemplate& ct : findDialogTemplate(dialog::kConfigMain)->controls) {
            // Windows converts the position and the size each on its own.
            RECT expected{ct.rect.x, ct.rect.y, ct.rect.width, ct.rect.height};
            MapDialogRect(window, &expected);
            expected.right += expected.left;
            expected.bottom += expected.top;
            const RECT actual = placeOf(GetDlgItem(window, ct.id));
            EXPECT_EQ(actual.left, expected.left) << ct.id;
            EXPECT_EQ(actual.top, expected.top) << ct.id;
            EXPECT_EQ(actual.right, expected.right) << ct.id;
            EXPECT_EQ(actual.bottom, expected.bottom) << ct.id;
        }
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(layer.text(dialog, C::kCancel), u"Abbrechen");
        EXPECT_EQ(GetWindowLongW(GetDlgItem(window, C::kScreenSettingsButton), GWL_STYLE) & WS_VISIBLE, 0);

        // A page: a hidden child at (0, 0), placed in pixels of the reference font.
        const DialogHandle page = layer.createChild(dialog::kBoidPage, dialog, nullptr);
        ASSERT_NE(page, 0u);
        const HWND pageWindow = static_cast<HWND>(layer.window(page));
        EXPECT_EQ(GetParent(pageWindow), window);
        // (Nothing is on screen before the dialog shows: the style says what will be.)
        const auto visible = [](HWND w) { return (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0; };
        EXPECT_FALSE(visible(pageWindow));
        RECT units{0, 0, 4, 8};
        MapDialogRect(window, &units);
        layer.moveDialog(page, 133, 11);
        layer.showDialog(page, true);
        const RECT placed = placeOf(pageWindow);
        EXPECT_EQ(placed.left, MulDiv(133, units.right, Win32DialogLayer::kReferenceBaseX));
        EXPECT_EQ(placed.top, MulDiv(11, units.bottom, Win32DialogLayer::kReferenceBaseY));
        EXPECT_TRUE(visible(pageWindow));
        EXPECT_EQ(layer.createChild(dialog::kConfigMain, dialog, nullptr), 0u);  // not a child template
        layer.endDialog(dialog, 7);
    };
    EXPECT_EQ(layer.runModal(dialog::kConfigMain, 0, procedure), 7);
    EXPECT_EQ(layer.runModal(dialog::kBoidPage, 0, procedure), -1);  // a page cannot run alone
    EXPECT_FALSE(layer.lastError().empty());

    ScriptedProcedure screen;
    screen.atInit = [&](DialogHandle dialog) {
        LOGFONTW font{};
        const HWND window = static_cast<HWND>(layer.window(dialog));
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");
        layer.endDialog(dialog, 2);
    };
    EXPECT_EQ(layer.runModal(dialog::kScreenSettings, 0, screen), 2);
}

TEST(Win32DialogLayer, OnlyTheUsersActionsAreReported) {
    Win32DialogLayer layer("");
    ScriptedProcedure procedure;
    procedure.atInit = [&](DialogHandle dialog) {
        // Everything the layer changes itself stays unreported.
        layer.addItem(dialog, C::kDepthList, u"16 bit", 16);
        layer.addItem(dialog, C::kDepthList, u"32 bit", 32);
        layer.selectItem(dialog, C::kDepthList, 1);
        layer.setChecked(dialog, C::kLeaveResolution, true);
        layer.setCaption(dialog, C::kShadeSecondary, u"Andere Bildschirme abdunkeln");
        layer.setCaption(dialog, C::kOk, u"");  // an empty caption keeps the template's
    };
    procedure.asUser = [&](DialogHandle dialog) {
        EXPECT_TRUE(procedure.events.empty());
        EXPECT_EQ(layer.selectedItem(dialog, C::kDepthList), 1);
        EXPECT_EQ(layer.itemData(dialog, C::kDepthList, 0), 16);
        EXPECT_EQ(layer.itemData(dialog, C::kDepthList, 2), -1);
        EXPECT_TRUE(layer.isChecked(dialog, C::kLeaveResolution));
        EXPECT_EQ(layer.text(dialog, C::kShadeSecondary), u"Andere Bildschirme abdunkeln");
        EXPECT_EQ(layer.text(dialog, C::kOk), u"OK");

        SendMessageW(item(layer, dialog, C::kLeaveResolution), BM_CLICK, 0, 0);  // the user clicks the box
        EXPECT_FALSE(layer.isChecked(dialog, C::kLeaveResolution));
        // The user picks an entry from the list: the list tells its dialog.
        const HWND depth = item(layer, dialog, C::kDepthList);
        SendMessageW(depth, CB_SETCURSEL, 0, 0);
        SendMessageW(static_cast<HWND>(layer.window(dialog)), WM_COMMAND, MAKEWPARAM(C::kDepthList, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(depth));
        SendMessageW(static_cast<HWND>(layer.window(dialog)), WM_COMMAND, MAKEWPARAM(C::kDepthList, CBN_DROPDOWN),
                     reinterpret_cast<LPARAM>(depth));  // opening the list chooses nothing
        EXPECT_EQ(layer.selectedItem(dialog, C::kDepthList), 0);
        layer.clearItems(dialog, C::kDepthList);
        EXPECT_EQ(layer.selectedItem(dialog, C::kDepthList), -1);
        // Escape cancels through the dialog manager.
        SendMessageW(static_cast<HWND>(layer.window(dialog)), WM_COMMAND, IDCANCEL, 0);
        layer.endDialog(dialog, 1);
    };
    EXPECT_EQ(layer.runModal(dialog::kScreenSettings, 0, procedure), 1);
    EXPECT_EQ(procedure.events, (std::vector<std::string>{"command 1007", "command 2013", "command 2"}));
}

TEST(Win32DialogLayer, ListsTrackbarsScrollBarsAndPictures) {
    test::TempFolder folder;
    const std::string picture = folder.file("icon.bmp");
    test::writeFile(picture, writeBmp(32, 28, 3, std::vector<uint8_t>(32 * 28 * 3, 0x80)));
    Win32DialogLayer layer("");
    ScriptedProcedure procedure;
    ScriptedProcedure pageEvents;
    DialogHandle page = 0;
    DialogHandle entry = 0;
    procedure.atInit = [&](DialogHandle dialog) {
        for (const char16_t* name : {u"Intro", u"Schwarm", u"Fische"}) layer.addItem(dialog, C::kPageList, name, 0);
        layer.selectItem(dialog, C::kPageList, 1);
        page = layer.createChild(dialog::kBoidPage, dialog, &pageEvents);
        layer.setTrackRange(page, C::kBoidTrack, 1, 20);
        layer.setTrackPos(page, C::kBoidTrack, 25);  // clamped by the trackbar
        layer.setScrollInfo(page, C::kBoidScrollBar, ScrollInfo{0, 9, 4, 8, 0});
        entry = layer.createChild(dialog::kSetEntry, page, nullptr);
    };
    procedure.asUser = [&](DialogHandle dialog) {
        EXPECT_EQ(layer.selectedItem(dialog, C::kPageList), 1);
        EXPECT_EQ(layer.trackPos(page, C::kBoidTrack), 20);
        EXPECT_EQ(layer.scrollInfo(page, C::kBoidScrollBar).pos, 6);  // max - page + 1
        EXPECT_EQ(layer.setScrollPos(page, C::kBoidScrollBar, -3), 0);

        // The user selects another page in the list, then moves the trackbar with a key.
        LVITEMW select{};
        select.state = select.stateMask = LVIS_SELECTED;
        SendMessageW(item(layer, dialog, C::kPageList), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
        EXPECT_EQ(layer.selectedItem(dialog, C::kPageList), 2);
        SendMessageW(item(layer, page, C::kBoidTrack), WM_KEYDOWN, VK_LEFT, 0);
        EXPECT_EQ(layer.trackPos(page, C::kBoidTrack), 19);
        SendMessageW(static_cast<HWND>(layer.window(page)), WM_VSCROLL, SB_LINEDOWN,
                     reinterpret_cast<LPARAM>(item(layer, page, C::kBoidScrollBar)));

        // A picture takes its own size; a file that is not there leaves it empty.
        EXPECT_TRUE(layer.setBitmap(entry, C::kSetIcon, picture));
        RECT size{};
        GetClientRect(item(layer, entry, C::kSetIcon), &size);
        EXPECT_EQ(size.right, 32);
        EXPECT_EQ(size.bottom, 28);
        EXPECT_FALSE(layer.setBitmap(entry, C::kSetIcon, folder.file("missing.bmp")));
        layer.setToolTip(entry, C::kSetIcon, u"Clownfisch");
        layer.setAccessibleName(entry, C::kSetCheck, u"Clownfisch");
        layer.endDialog(dialog, 1);
    };
    EXPECT_EQ(layer.runModal(dialog::kConfigMain, 0, procedure), 1);
    EXPECT_EQ(procedure.events, (std::vector<std::string>{"item 1030"}));
    EXPECT_EQ(pageEvents.events,
              (std::vector<std::string>{"track 1013", "scroll 1066 " + std::to_string(int(ScrollCode::LineDown))}));
    EXPECT_EQ(layer.templateId(page), 0);  // gone with its dialog
}

}  // namespace
}  // namespace reef
