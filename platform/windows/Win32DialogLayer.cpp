#include "platform/windows/Win32DialogLayer.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>
#include <vector>

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "engine/FilePath.h"
#include "platform/DialogPicture.h"
#include "platform/windows/Win32Text.h"
#include "res/DialogTemplates.h"

namespace reef {

struct Win32DialogLayer::Control {
    int id = kUnnumbered;
    ControlKind kind = ControlKind::Label;
    HWND window = nullptr;
    std::vector<int> itemData;
    ScrollInfo scroll;
    HBITMAP picture = nullptr;  // ours: the static control does not free it
};

struct Win32DialogLayer::Dialog {
    Win32DialogLayer* layer = nullptr;
    DialogHandle handle = 0;
    const DialogTemplate* tmpl = nullptr;
    DialogHandle parent = 0;
    DialogProcedure* procedure = nullptr;
    HWND window = nullptr;
    HWND toolTips = nullptr;
    std::vector<Control> controls;
    bool modal = false;
    int baseX = kReferenceBaseX;  // the font's dialog base units in pixels
    int baseY = kReferenceBaseY;

    Control* byWindow(HWND control) {
        for (Control& c : controls)
            if (c.window == control) return &c;
        return nullptr;
    }
    ~Dialog() {
        for (Control& c : controls)
            if (c.picture) DeleteObject(c.picture);
    }
};

namespace {

using Control = Win32DialogLayer::Control;
using Dialog = Win32DialogLayer::Dialog;

// A drop-down list's template height includes its open list; a trackbar,
// list view and tool tip are common controls.
constexpr uint16_t kButtonAtom = 0x0080;
constexpr uint16_t kEditAtom = 0x0081;
constexpr uint16_t kStaticAtom = 0x0082;
constexpr uint16_t kScrollBarAtom = 0x0084;
constexpr uint16_t kComboBoxAtom = 0x0085;

// Set while the layer changes controls itself: what the controls report then is not the user's.
int g_quietDepth = 0;
struct Quiet {
    Quiet() { ++g_quietDepth; }
    ~Quiet() { --g_quietDepth; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};

// The bytes of a DLGTEMPLATEEX and its DLGITEMTEMPLATEEX entries.
class TemplateWriter {
public:
    void word(uint16_t value) {
        m_bytes.push_back(static_cast<uint8_t>(value));
        m_bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    void dword(uint32_t value) {
        word(static_cast<uint16_t>(value));
        word(static_cast<uint16_t>(value >> 16));
    }
    void text(const std::wstring& value) {
        for (wchar_t c : value) word(static_cast<uint16_t>(c));
        word(0);
    }
    void atom(uint16_t value) {
        word(0xFFFF);
        word(value);
    }
    void alignToDword() {
        while (m_bytes.size() % 4 != 0) m_bytes.push_back(0);
    }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

struct ControlClass {
    DWORD style = 0;
    DWORD exStyle = 0;
    uint16_t atom = 0;       // a predefined class, or
    const wchar_t* name = nullptr;  // a registered one
};

ControlClass classFor(const ControlTemplate& ct, bool startsGroup) {
    const DWORD group = startsGroup ? WS_GROUP : 0;
    switch (ct.kind) {
    case ControlKind::ListView:
        return {LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | group |
                    ((ct.style & kStyleBorder) ? WS_BORDER : 0u),
                0, 0, WC_LISTVIEWW};
    case ControlKind::PushButton: return {BS_PUSHBUTTON | WS_TABSTOP | group, 0, kButtonAtom};
    case ControlKind::DefaultPushButton: return {BS_DEFPUSHBUTTON | WS_TABSTOP | group, 0, kButtonAtom};
    case ControlKind::FlatPushButton: return {BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP | group, 0, kButtonAtom};
    case ControlKind::Label: return {SS_LEFT | group, 0, kStaticAtom};
    case ControlKind::CentredLabel: return {SS_CENTER | group, 0, kStaticAtom};
    case ControlKind::Bitmap:
        // SS_NOTIFY: a picture takes the mouse, so that its tool tip can show.
        return {SS_BITMAP | SS_NOTIFY | group | ((ct.style & kStyleSunken) ? SS_SUNKEN : 0u) |
                    ((ct.style & kStyleBorder) ? WS_BORDER : 0u),
                0, kStaticAtom};
    case ControlKind::GroupBox: return {BS_GROUPBOX | group, 0, kButtonAtom};
    case ControlKind::VerticalScrollBar: return {SBS_VERT | group, 0, kScrollBarAtom};
    case ControlKind::Trackbar:
        return {TBS_HORZ | TBS_BOTTOM | WS_TABSTOP | group | ((ct.style & kStyleTicks) ? TBS_AUTOTICKS : TBS_NOTICKS),
                0, 0, TRACKBAR_CLASSW};
    case ControlKind::NumberReadout: return {ES_READONLY | ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | group, 0, kEditAtom};
    case ControlKind::CheckBox: return {BS_AUTOCHECKBOX | WS_TABSTOP | group, 0, kButtonAtom};
    case ControlKind::RadioButton: return {BS_AUTORADIOBUTTON | WS_TABSTOP | group, 0, kButtonAtom};
    case ControlKind::DropDownList:
        return {CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | group, 0, kComboBoxAtom};
    }
    return {};
}

// The template as Windows reads it: a modal pop-up with caption and system
// menu, or a child (DS_CONTROL: the parent's Tab and Enter reach its controls).
std::vector<uint8_t> buildTemplate(const DialogTemplate& tmpl) {
    TemplateWriter out;
    // A child's frame is an extended style: DS_CONTROL takes WS_BORDER away with the caption.
    const DWORD style = tmpl.child ? WS_CHILD | DS_CONTROL | DS_SETFONT
                                   : WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
    const DWORD exStyle = tmpl.child ? WS_EX_CONTROLPARENT | (tmpl.border ? WS_EX_STATICEDGE : 0u) : 0u;
    out.word(1);       // dlgVer
    out.word(0xFFFF);  // signature: the extended template
    out.dword(0);      // helpID
    out.dword(exStyle);
    out.dword(style);
    out.word(static_cast<uint16_t>(tmpl.controls.size()));
    out.word(0);
    out.word(0);
    out.word(static_cast<uint16_t>(tmpl.width));
    out.word(static_cast<uint16_t>(tmpl.height));
    out.word(0);  // no menu
    out.word(0);  // the standard dialog class
    out.text(wideFromUtf8(tmpl.caption));
    out.word(static_cast<uint16_t>(tmpl.fontPoints));
    out.word(FW_NORMAL);
    out.word(static_cast<uint16_t>(DEFAULT_CHARSET) << 8);  // italic 0, then the character set
    out.text(wideFromUtf8(tmpl.fontName));

    ControlKind previous = ControlKind::Label;
    bool first = true;
    for (const ControlTemplate& ct : tmpl.controls) {
        // Consecutive radio buttons form one group; every other control starts its own.
        const bool startsGroup = first || ct.kind != ControlKind::RadioButton || previous != ControlKind::RadioButton;
        const ControlClass cls = classFor(ct, startsGroup);
        out.alignToDword();
        out.dword(0);  // helpID
        out.dword(cls.exStyle);
        out.dword(WS_CHILD | ((ct.style & kStyleHidden) ? 0u : WS_VISIBLE) | cls.style);
        out.word(static_cast<uint16_t>(ct.rect.x));
        out.word(static_cast<uint16_t>(ct.rect.y));
        out.word(static_cast<uint16_t>(ct.rect.width));
        out.word(static_cast<uint16_t>(ct.rect.height));
        out.dword(static_cast<uint32_t>(ct.id));
        if (cls.name)
            out.text(cls.name);
        else
            out.atom(cls.atom);
        // A picture's text names its file; it is loaded once the control exists.
        out.text(ct.kind == ControlKind::Bitmap ? std::wstring() : wideFromUtf8(ct.text));
        out.word(0);  // no creation data
        previous = ct.kind;
        first = false;
    }
    return out.take();
}

}  // namespace

namespace {

// A picture from its checked bytes as a device-dependent bitmap; nullptr when
// the file is missing or refused. GDI reads the header and pixels in place.
HBITMAP loadPicture(const std::string& path) {
    const std::optional<std::vector<uint8_t>> bytes = readDialogPicture(path);
    if (!bytes) return nullptr;
    constexpr size_t kFileHeaderSize = 14;
    const uint8_t* data = bytes->data();
    const uint32_t pixelsAt = data[10] | (data[11] << 8) | (data[12] << 16) | (static_cast<uint32_t>(data[13]) << 24);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(data + kFileHeaderSize);
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, data + pixelsAt, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (picture == nullptr)
        reportf(Channel::Error, texts::kDialogPictureRefused, nativePath(path).c_str(), texts::kDialogPictureUndecoded);
    return picture;
}

// The control takes the picture's size inside its frame: a static control
// sizes its whole window to the picture, so a frame would cover the edges.
void fitToPicture(HWND control, HBITMAP picture) {
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    RECT outer{}, inner{};
    GetWindowRect(control, &outer);
    GetClientRect(control, &inner);
    const int frameX = (outer.right - outer.left) - inner.right;
    const int frameY = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(control, nullptr, 0, 0, size.bmWidth + frameX, size.bmHeight + frameY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ScrollCode scrollCodeFor(WORD request) {
    switch (request) {
    case SB_LINEUP: return ScrollCode::LineUp;
    case SB_LINEDOWN: return ScrollCode::LineDown;
    case SB_PAGEUP: return ScrollCode::PageUp;
    case SB_PAGEDOWN: return ScrollCode::PageDown;
    case SB_THUMBPOSITION: return ScrollCode::ThumbPosition;
    case SB_THUMBTRACK: return ScrollCode::ThumbTrack;
    case SB_TOP: return ScrollCode::Top;
    case SB_BOTTOM: return ScrollCode::Bottom;
    default: return ScrollCode::EndScroll;
    }
}

bool isButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton ||
           kind == ControlKind::FlatPushButton || kind == ControlKind::CheckBox || kind == ControlKind::RadioButton;
}

// Pairs the controls Windows made from the template (its children, in creation
// order) with the template's entries, and finishes what a template cannot say.
void attachControls(Dialog& dialog, const std::string& resourceFolder) {
    Quiet quiet;
    HWND child = GetWindow(dialog.window, GW_CHILD);
    for (const ControlTemplate& ct : dialog.tmpl->controls) {
        Control c;
        c.id = ct.id;
        c.kind = ct.kind;
        c.window = child;
        if (child) child = GetWindow(child, GW_HWNDNEXT);
        if (c.window == nullptr) continue;
        if (ct.kind == ControlKind::ListView) {
            // One column as wide as the list, so that no page name is cut.
            RECT client{};
            GetClientRect(c.window, &client);
            SendMessageW(c.window, LVM_SETCOLUMNWIDTH, 0, client.right - client.left);
            SendMessageW(c.window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        }
        if (ct.kind == ControlKind::Bitmap && ct.text[0]) {
            c.picture = loadPicture(resourceFolder + ct.text);
            if (c.picture) {
                SendMessageW(c.window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(c.picture));
                fitToPicture(c.window, c.picture);
            }
        }
        dialog.controls.push_back(c);
    }
    // The base units of the dialog's font, for positions given in pixels.
    RECT units{0, 0, 4, 8};
    if (MapDialogRect(dialog.window, &units) && units.right > 0 && units.bottom > 0) {
        dialog.baseX = units.right;
        dialog.baseY = units.bottom;
    }
}

INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        d->window = window;
        d->layer->attach(*d);
        if (d->procedure) d->procedure->onInitDialog(d->handle);
        return TRUE;
    }
    if (d == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        d->window = nullptr;
        return FALSE;
    }
    if (d->procedure == nullptr || g_quietDepth > 0) return FALSE;
    switch (message) {
    case WM_COMMAND: {
        const int id = static_cast<int16_t>(LOWORD(wParam));
        const WORD code = HIWORD(wParam);
        const auto from = reinterpret_cast<HWND>(lParam);
        const Control* c = from ? d->byWindow(from) : nullptr;
        if (c == nullptr) {
            // Enter, Escape and the close box come from the dialog manager.
            if (id == IDOK || id == IDCANCEL) d->procedure->onCommand(d->handle, id);
        } else if ((isButton(c->kind) && code == BN_CLICKED) ||
                   (c->kind == ControlKind::DropDownList && code == CBN_SELCHANGE)) {
            d->procedure->onCommand(d->handle, c->id);
        }
        return TRUE;
    }
    case WM_HSCROLL: {
        const Control* c = d->byWindow(reinterpret_cast<HWND>(lParam));
        // The end of a drag or key press moves nothing: the moves were reported.
        if (c && c->kind == ControlKind::Trackbar && LOWORD(wParam) != TB_ENDTRACK)
            d->procedure->onHorizontalScroll(d->handle, c->id);
        return TRUE;
    }
    case WM_VSCROLL: {
        const Control* c = d->byWindow(reinterpret_cast<HWND>(lParam));
        if (c == nullptr || c->kind != ControlKind::VerticalScrollBar) return FALSE;
        // The thumb's position in 32 bits; the message carries only 16.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
        GetScrollInfo(c->window, SB_CTL, &info);
        d->procedure->onVerticalScroll(d->handle, c->id, scrollCodeFor(LOWORD(wParam)), info.nTrackPos);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != LVN_ITEMCHANGED) return FALSE;
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        const Control* c = d->byWindow(header->hwndFrom);
        // Only a newly selected item is a change of choice; the item losing the selection is not.
        const bool selected = (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                              !(change->uOldState & LVIS_SELECTED);
        if (c && selected) d->procedure->onItemChanged(d->handle, c->id);
        return TRUE;
    }
    default: return FALSE;
    }
}

}  // namespace

void Win32DialogLayer::attach(Dialog& dialog) { attachControls(dialog, m_resourceFolder); }

Win32DialogLayer::Win32DialogLayer(std::string resourceFolder) : m_resourceFolder(std::move(resourceFolder)) {}

Win32DialogLayer::~Win32DialogLayer() {
    while (!m_dialogs.empty()) {
        DialogHandle root = m_dialogs.begin()->first;
        while (find(root)->parent != 0 && find(find(root)->parent)) root = find(root)->parent;
        if (HWND window = find(root)->window) DestroyWindow(window);
        forgetTree(root);
    }
}

bool Win32DialogLayer::startCommonControls() {
    if (m_commonControls) return true;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    m_commonControls = InitCommonControlsEx(&classes) != FALSE;
    if (!m_commonControls) m_lastError = "the common controls cannot be started";
    return m_commonControls;
}

Win32DialogLayer::Dialog* Win32DialogLayer::find(DialogHandle dialog) const {
    auto it = m_dialogs.find(dialog);
    return it == m_dialogs.end() ? nullptr : it->second.get();
}

Win32DialogLayer::Control* Win32DialogLayer::control(DialogHandle dialog, int controlId) const {
    Dialog* d = find(dialog);
    if (d == nullptr || d->window == nullptr) return nullptr;
    for (Control& c : d->controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

void* Win32DialogLayer::window(DialogHandle dialog) const {
    const Dialog* d = find(dialog);
    return d ? d->window : nullptr;
}

Win32DialogLayer::Dialog* Win32DialogLayer::newDialog(int templateId, DialogHandle parent,
                                                      DialogProcedure* procedure) {
    const DialogTemplate* tmpl = findDialogTemplate(templateId);
    if (tmpl == nullptr) return nullptr;
    auto dialog = std::make_unique<Dialog>();
    dialog->layer = this;
    dialog->handle = m_nextHandle++;
    dialog->tmpl = tmpl;
    dialog->parent = parent;
    dialog->procedure = procedure;
    Dialog* made = dialog.get();
    m_dialogs[made->handle] = std::move(dialog);
    return made;
}

// Forgets the dialog and every dialog inside it (their windows are gone or going with it).
void Win32DialogLayer::forgetTree(DialogHandle root) {
    std::vector<DialogHandle> doomed{root};
    for (size_t i = 0; i < doomed.size(); ++i)
        for (const auto& [handle, d] : m_dialogs)
            if (d->parent == doomed[i] && !d->modal) doomed.push_back(handle);
    for (DialogHandle handle : doomed) m_dialogs.erase(handle);
}

// ---------------------------------------------------------------- running

int Win32DialogLayer::runModal(int templateId, DialogHandle owner, DialogProcedure& procedure) {
    if (!startCommonControls()) return -1;
    const DialogTemplate* tmpl = findDialogTemplate(templateId);
    if (tmpl == nullptr || tmpl->child) {
        m_lastError = "dialog template " + std::to_string(templateId) + " cannot be built";
        return -1;
    }
    const Dialog* ownerDialog = find(owner);
    Dialog* dialog = newDialog(templateId, owner, &procedure);
    dialog->modal = true;
    const DialogHandle handle = dialog->handle;
    const std::vector<uint8_t> bytes = buildTemplate(*tmpl);
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()),
                                ownerDialog ? ownerDialog->window : nullptr, dialogProcedure,
                                reinterpret_cast<LPARAM>(dialog));
    if (result == -1) {
        m_lastError = "dialog template " + std::to_string(templateId) + " cannot be shown (error " +
                      std::to_string(GetLastError()) + ")";
    }
    forgetTree(handle);
    return static_cast<int>(result);
}

DialogHandle Win32DialogLayer::createChild(int templateId, DialogHandle parent, DialogProcedure* procedure) {
    const DialogTemplate* tmpl = findDialogTemplate(templateId);
    const Dialog* parentDialog = find(parent);
    if (tmpl == nullptr || !tmpl->child || parentDialog == nullptr || parentDialog->window == nullptr) return 0;
    if (!startCommonControls()) return 0;
    Dialog* dialog = newDialog(templateId, parent, procedure);
    const DialogHandle handle = dialog->handle;
    const std::vector<uint8_t> bytes = buildTemplate(*tmpl);
    const HWND window =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()),
                                   parentDialog->window, dialogProcedure, reinterpret_cast<LPARAM>(dialog));
    if (window == nullptr) {
        forgetTree(handle);
        return 0;
    }
    return handle;
}

int Win32DialogLayer::templateId(DialogHandle dialog) const {
    const Dialog* d = find(dialog);
    return d ? d->tmpl->id : 0;
}

void Win32DialogLayer::endDialog(DialogHandle dialog, int result) {
    Dialog* d = find(dialog);
    if (d && d->modal && d->window) EndDialog(d->window, result);
}

void Win32DialogLayer::setTitle(DialogHandle dialog, std::u16string_view text) {
    Dialog* d = find(dialog);
    if (d && d->window) SetWindowTextW(d->window, wideFromU16(text).c_str());
}

void Win32DialogLayer::showDialog(DialogHandle dialog, bool visible) {
    Dialog* d = find(dialog);
    if (d && d->window) ShowWindow(d->window, visible ? SW_SHOW : SW_HIDE);
}

void Win32DialogLayer::moveDialog(DialogHandle dialog, int x, int y) {
    Dialog* d = find(dialog);
    if (d == nullptr || d->modal || d->window == nullptr) return;
    // Pixels for the reference font, scaled to this font's base units.
    SetWindowPos(d->window, nullptr, MulDiv(x, d->baseX, kReferenceBaseX), MulDiv(y, d->baseY, kReferenceBaseY), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- controls

void Win32DialogLayer::setText(DialogHandle dialog, int controlId, std::u16string_view text) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind == ControlKind::Bitmap || c->kind == ControlKind::ListView ||
        c->kind == ControlKind::DropDownList || c->kind == ControlKind::Trackbar ||
        c->kind == ControlKind::VerticalScrollBar)
        return;
    Quiet quiet;
    SetWindowTextW(c->window, wideFromU16(text).c_str());
}

std::u16string Win32DialogLayer::text(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind == ControlKind::Bitmap || c->kind == ControlKind::ListView ||
        c->kind == ControlKind::DropDownList)
        return {};
    std::wstring value(static_cast<size_t>(GetWindowTextLengthW(c->window)) + 1, L'\0');
    value.resize(static_cast<size_t>(GetWindowTextW(c->window, value.data(), static_cast<int>(value.size()))));
    return u16FromWide(value);
}

void Win32DialogLayer::setChecked(DialogHandle dialog, int controlId, bool checked) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || (c->kind != ControlKind::CheckBox && c->kind != ControlKind::RadioButton)) return;
    Quiet quiet;
    // A radio button checked here does not uncheck the others of its group:
    // the dialog code checks and unchecks each as it wants them.
    SendMessageW(c->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32DialogLayer::isChecked(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || (c->kind != ControlKind::CheckBox && c->kind != ControlKind::RadioButton)) return false;
    return SendMessageW(c->window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogLayer::showControl(DialogHandle dialog, int controlId, bool visible) {
    if (Control* c = control(dialog, controlId)) ShowWindow(c->window, visible ? SW_SHOW : SW_HIDE);
}

void Win32DialogLayer::enableControl(DialogHandle dialog, int controlId, bool enabled) {
    if (Control* c = control(dialog, controlId)) EnableWindow(c->window, enabled);
}

// Assistive technology reads a control's name from its text; a control without
// one gets it as an annotation of its accessible object.
void Win32DialogLayer::setAccessibleName(DialogHandle dialog, int controlId, std::u16string_view name) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    const bool started = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void**>(&services)))) {
        const std::wstring value = wideFromU16(name);
        services->SetHwndPropStr(c->window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, value.c_str());
        services->Release();
    }
    if (started) CoUninitialize();
}

void Win32DialogLayer::setToolTip(DialogHandle dialog, int controlId, std::u16string_view text) {
    Dialog* d = find(dialog);
    Control* c = control(dialog, controlId);
    if (d == nullptr || c == nullptr) return;
    if (d->toolTips == nullptr) {
        // Owned by the dialog, so it goes with it.
        d->toolTips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, d->window, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        if (d->toolTips == nullptr) return;
    }
    std::wstring value = wideFromU16(text);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = d->window;
    tool.uId = reinterpret_cast<UINT_PTR>(c->window);
    SendMessageW(d->toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (value.empty()) return;
    tool.lpszText = value.data();
    SendMessageW(d->toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32DialogLayer::setTrackRange(DialogHandle dialog, int controlId, int min, int max) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Trackbar || max < min) return;
    Quiet quiet;
    SendMessageW(c->window, TBM_SETRANGEMIN, FALSE, min);
    SendMessageW(c->window, TBM_SETRANGEMAX, TRUE, max);
    // Automatic ticks are placed when the range is set: one at every position.
    SendMessageW(c->window, TBM_SETTICFREQ, 1, 0);
}

void Win32DialogLayer::setTrackPos(DialogHandle dialog, int controlId, int pos) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Trackbar) return;
    Quiet quiet;
    SendMessageW(c->window, TBM_SETPOS, TRUE, pos);
}

int Win32DialogLayer::trackPos(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Trackbar) return 0;
    return static_cast<int>(SendMessageW(c->window, TBM_GETPOS, 0, 0));
}

void Win32DialogLayer::clearItems(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    Quiet quiet;
    c->itemData.clear();
    if (c->kind == ControlKind::ListView) SendMessageW(c->window, LVM_DELETEALLITEMS, 0, 0);
    if (c->kind == ControlKind::DropDownList) SendMessageW(c->window, CB_RESETCONTENT, 0, 0);
}

int Win32DialogLayer::addItem(DialogHandle dialog, int controlId, std::u16string_view text, int data) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return -1;
    Quiet quiet;
    std::wstring value = wideFromU16(text);
    const int index = static_cast<int>(c->itemData.size());
    LRESULT added = -1;
    if (c->kind == ControlKind::ListView) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = value.data();
        item.lParam = data;
        added = SendMessageW(c->window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    } else if (c->kind == ControlKind::DropDownList) {
        added = SendMessageW(c->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str()));
        if (added >= 0) SendMessageW(c->window, CB_SETITEMDATA, added, data);
    }
    if (added != index) return -1;
    c->itemData.push_back(data);
    return index;
}

void Win32DialogLayer::selectItem(DialogHandle dialog, int controlId, int index) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    Quiet quiet;
    const bool inRange = index >= 0 && index < static_cast<int>(c->itemData.size());
    if (c->kind == ControlKind::DropDownList) {
        SendMessageW(c->window, CB_SETCURSEL, inRange ? index : -1, 0);
    } else if (c->kind == ControlKind::ListView) {
        LVITEMW clear{};
        clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(c->window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
        if (!inRange) return;
        LVITEMW select{};
        select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(c->window, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&select));
        SendMessageW(c->window, LVM_ENSUREVISIBLE, index, FALSE);
    }
}

int Win32DialogLayer::selectedItem(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return -1;
    if (c->kind == ControlKind::DropDownList) return static_cast<int>(SendMessageW(c->window, CB_GETCURSEL, 0, 0));
    if (c->kind != ControlKind::ListView) return -1;
    return static_cast<int>(SendMessageW(c->window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int Win32DialogLayer::itemData(DialogHandle dialog, int controlId, int index) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->itemData.size())) return -1;
    return c->itemData[index];
}

void Win32DialogLayer::setScrollInfo(DialogHandle dialog, int controlId, const ScrollInfo& info) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::VerticalScrollBar) return;
    c->scroll = info;
    c->scroll.pos = clampScrollPosition(info, info.pos);
    Quiet quiet;
    SCROLLINFO native{};
    native.cbSize = sizeof native;
    native.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    native.nMin = info.min;
    native.nMax = info.max;
    native.nPage = static_cast<UINT>(std::max(info.page, 0));
    native.nPos = c->scroll.pos;
    SetScrollInfo(c->window, SB_CTL, &native, TRUE);
}

ScrollInfo Win32DialogLayer::scrollInfo(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return {};
    ScrollInfo info = c->scroll;
    SCROLLINFO native{};
    native.cbSize = sizeof native;
    native.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(c->window, SB_CTL, &native)) info.trackPos = native.nTrackPos;
    return info;
}

int Win32DialogLayer::setScrollPos(DialogHandle dialog, int controlId, int pos) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::VerticalScrollBar) return 0;
    c->scroll.pos = clampScrollPosition(c->scroll, pos);
    Quiet quiet;
    SCROLLINFO native{};
    native.cbSize = sizeof native;
    native.fMask = SIF_POS;
    native.nPos = c->scroll.pos;
    SetScrollInfo(c->window, SB_CTL, &native, TRUE);
    return c->scroll.pos;
}

bool Win32DialogLayer::setBitmap(DialogHandle dialog, int controlId, const std::string& path) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Bitmap) return false;
    HBITMAP picture = loadPicture(path);
    SendMessageW(c->window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    if (c->picture) DeleteObject(c->picture);
    c->picture = picture;
    if (picture == nullptr) return false;
    fitToPicture(c->window, picture);
    return true;
}

void Win32DialogLayer::showMessage(DialogHandle owner, std::u16string_view text, std::u16string_view caption) {
    const Dialog* d = find(owner);
    MessageBoxW(d ? d->window : nullptr, wideFromU16(text).c_str(), wideFromU16(caption).c_str(),
                MB_OK | MB_ICONWARNING);
}

void Win32DialogLayer::openUri(const std::string& uri) {
    const auto status = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wideFromUtf8(uri).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // ShellExecute reports success with a value above 32.
    if (status <= 32) reportf(Channel::Error, "Error: cannot open %s: error %d", uri.c_str(), static_cast<int>(status));
}

}  // namespace reef
