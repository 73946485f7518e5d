// A dialog layer that keeps every dialog and control in memory, built from the
// real templates (a control id the template lacks fails the test), and lets a
// test act as the user: click, move a trackbar, pick an item, scroll.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/WideText.h"
#include "platform/DialogLayer.h"
#include "res/DialogTemplates.h"

namespace reef::test {

class FakeDialogLayer : public DialogLayer {
public:
    struct Control {
        int id = kUnnumbered;
        ControlKind kind = ControlKind::Label;
        std::u16string text;
        std::u16string accessibleName;
        std::u16string toolTip;
        bool checked = false;
        bool visible = true;
        bool enabled = true;
        int trackMin = 0, trackMax = 100, trackPos = 0;
        std::vector<std::pair<std::u16string, int>> items;
        int selected = -1;
        ScrollInfo scroll;
        std::string bitmap;  // the path loaded last; empty when none could be read
    };
    struct Dialog {
        int templateId = 0;
        DialogHandle parent = 0;
        DialogProcedure* procedure = nullptr;
        std::u16string title;
        bool visible = false;
        int x = 0, y = 0;
        bool ended = false;
        int result = 0;
        std::vector<Control> controls;
    };

    // What the user does while the modal dialog runs; it must end the dialog.
    std::function<void(FakeDialogLayer&, DialogHandle)> user;
    // Template numbers that fail to build, and bitmap paths that exist.
    std::vector<int> failingTemplates;
    std::function<bool(const std::string&)> bitmapExists = [](const std::string&) { return true; };
    std::vector<std::string> openedUris;
    std::vector<std::u16string> messages;
    bool cannotShow = false;

    int runModal(int templateId, DialogHandle /*owner*/, DialogProcedure& procedure) override {
        if (cannotShow) return -1;
        const DialogHandle handle = build(templateId, 0, &procedure);
        if (handle == 0) return -1;
        dialogs[handle].visible = true;
        if (user) user(*this, handle);
        EXPECT_TRUE(dialogs[handle].ended) << "the user script left the dialog open";
        return dialogs[handle].result;
    }
    DialogHandle createChild(int templateId, DialogHandle parent, DialogProcedure* procedure) override {
        return build(templateId, parent, procedure);
    }
    int templateId(DialogHandle dialog) const override {
        auto it = dialogs.find(dialog);
        return it == dialogs.end() ? 0 : it->second.templateId;
    }
    void endDialog(DialogHandle dialog, int result) override {
        dialogs[dialog].ended = true;
        dialogs[dialog].result = result;
    }
    std::string lastError() const override { return "cannot show"; }
    void setTitle(DialogHandle dialog, std::u16string_view text) override { at(dialog).title = text; }
    void showDialog(DialogHandle dialog, bool visible) override { at(dialog).visible = visible; }
    void moveDialog(DialogHandle dialog, int x, int y) override {
        at(dialog).x = x;
        at(dialog).y = y;
    }
    void setText(DialogHandle d, int id, std::u16string_view text) override { control(d, id).text = text; }
    std::u16string text(DialogHandle d, int id) override { return control(d, id).text; }
    void setChecked(DialogHandle d, int id, bool checked) override {
        Control& c = control(d, id);
        if (checked && c.kind == ControlKind::RadioButton) uncheckGroup(d, id);
        c.checked = checked;
    }
    bool isChecked(DialogHandle d, int id) override { return control(d, id).checked; }
    void showControl(DialogHandle d, int id, bool visible) override { control(d, id).visible = visible; }
    void enableControl(DialogHandle d, int id, bool enabled) override { control(d, id).enabled = enabled; }
    void setAccessibleName(DialogHandle d, int id, std::u16string_view name) override {
        control(d, id).accessibleName = name;
    }
    void setToolTip(DialogHandle d, int id, std::u16string_view text) override { control(d, id).toolTip = text; }
    void setTrackRange(DialogHandle d, int id, int min, int max) override {
        Control& c = control(d, id);
        c.trackMin = min;
        c.trackMax = max;
        c.trackPos = std::clamp(c.trackPos, min, max);
    }
    void setTrackPos(DialogHandle d, int id, int pos) override {
        Control& c = control(d, id);
        c.trackPos = std::clamp(pos, c.trackMin, c.trackMax);
    }
    int trackPos(DialogHandle d, int id) override { return control(d, id).trackPos; }
    void clearItems(DialogHandle d, int id) override {
        control(d, id).items.clear();
        control(d, id).selected = -1;
    }
    int addItem(DialogHandle d, int id, std::u16string_view text, int data) override {
        Control& c = control(d, id);
        c.items.emplace_back(std::u16string(text), data);
        return static_cast<int>(c.items.size()) - 1;
    }
    void selectItem(DialogHandle d, int id, int index) override {
        Control& c = control(d, id);
        c.selected = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
    }
    int selectedItem(DialogHandle d, int id) override { return control(d, id).selected; }
    int itemData(DialogHandle d, int id, int index) override {
        Control& c = control(d, id);
        return (index >= 0 && index < static_cast<int>(c.items.size())) ? c.items[index].second : -1;
    }
    void setScrollInfo(DialogHandle d, int id, const ScrollInfo& info) override {
        Control& c = control(d, id);
        c.scroll = info;
        c.scroll.pos = clampScrollPosition(info, info.pos);
    }
    ScrollInfo scrollInfo(DialogHandle d, int id) override { return control(d, id).scroll; }
    int setScrollPos(DialogHandle d, int id, int pos) override {
        Control& c = control(d, id);
        c.scroll.pos = clampScrollPosition(c.scroll, pos);
        return c.scroll.pos;
    }
    bool setBitmap(DialogHandle d, int id, const std::string& path) override {
        const bool exists = bitmapExists(path);
        control(d, id).bitmap = exists ? path : "";
        return exists;
    }
    void showMessage(DialogHandle, std::u16string_view text, std::u16string_view) override {
        messages.emplace_back(text);
    }
    void openUri(const std::string& uri) override { openedUris.push_back(uri); }

    // ---- the user's side

    Control& control(DialogHandle dialog, int id) {
        for (Control& c : at(dialog).controls)
            if (c.id == id) return c;
        ADD_FAILURE() << "template " << at(dialog).templateId << " has no control " << id;
        static Control missing;
        return missing;
    }
    Dialog& at(DialogHandle dialog) {
        auto it = dialogs.find(dialog);
        if (it == dialogs.end()) {
            ADD_FAILURE() << "no dialog " << dialog;
            static Dialog missing;
            return missing;
        }
        return it->second;
    }
    // Clicks a button, check box or radio button as the user would.
    void click(DialogHandle d, int id) {
        Control& c = control(d, id);
        if (c.kind == ControlKind::CheckBox) c.checked = !c.checked;
        if (c.kind == ControlKind::RadioButton) setChecked(d, id, true);
        at(d).procedure->onCommand(d, id);
    }
    void moveTrack(DialogHandle d, int id, int pos) {
        setTrackPos(d, id, pos);
        at(d).procedure->onHorizontalScroll(d, id);
    }
    void pickItem(DialogHandle d, int id, int index) {
        selectItem(d, id, index);
        if (control(d, id).kind == ControlKind::ListView)
            at(d).procedure->onItemChanged(d, id);
        else
            at(d).procedure->onCommand(d, id);
    }
    void scroll(DialogHandle d, int id, ScrollCode code, int trackPos = 0) {
        at(d).procedure->onVerticalScroll(d, id, code, trackPos);
    }
    // The child dialogs of parent built from a template, in creation order.
    std::vector<DialogHandle> children(DialogHandle parent, int templateId) const {
        std::vector<DialogHandle> found;
        for (const auto& [handle, dialog] : dialogs)
            if (dialog.parent == parent && dialog.templateId == templateId) found.push_back(handle);
        return found;
    }
    DialogHandle first(int templateId) const {
        for (const auto& [handle, dialog] : dialogs)
            if (dialog.templateId == templateId) return handle;
        return 0;
    }

    std::map<DialogHandle, Dialog> dialogs;

private:
    DialogHandle build(int templateId, DialogHandle parent, DialogProcedure* procedure) {
        const DialogTemplate* t = findDialogTemplate(templateId);
        if (t == nullptr) return 0;
        for (int failing : failingTemplates)
            if (failing == templateId) return 0;
        const DialogHandle handle = m_next++;
        Dialog& dialog = dialogs[handle];
        dialog.templateId = templateId;
        dialog.parent = parent;
        dialog.procedure = procedure;
        dialog.visible = false;
        dialog.title = fromUtf8(t->caption);
        for (const ControlTemplate& ct : t->controls) {
            Control c;
            c.id = ct.id;
            c.kind = ct.kind;
            c.visible = (ct.style & kStyleHidden) == 0;
            c.text = fromUtf8(ct.text);
            dialog.controls.push_back(c);
        }
        if (procedure) procedure->onInitDialog(handle);
        return handle;
    }
    // Radio buttons next to each other in a template form one group.
    void uncheckGroup(DialogHandle d, int id) {
        std::vector<Control>& controls = at(d).controls;
        size_t index = 0;
        while (index < controls.size() && controls[index].id != id) ++index;
        for (size_t i = index; i-- > 0 && controls[i].kind == ControlKind::RadioButton;) controls[i].checked = false;
        for (size_t i = index + 1; i < controls.size() && controls[i].kind == ControlKind::RadioButton; ++i)
            controls[i].checked = false;
    }

    DialogHandle m_next = 100;
};

}  // namespace reef::test
