// The dialog layer on Win32: each template of res/ is turned at run time into
// an in-memory DLGTEMPLATEEX (dialog units, the template's font) and run with
// DialogBoxIndirectParamW, or created as a child dialog with
// CreateDialogIndirectParamW. List views, trackbars and tool tips are common
// controls; pictures are BMP files of the resource folder read through the
// bounded picture reader and handed to GDI as device-independent bitmaps.
// Notifications reach the dialog procedures by control id; changes the layer
// makes itself are not reported.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/DialogLayer.h"

namespace reef {

class Win32DialogLayer : public DialogLayer {
public:
    // The dialog font the dialog code's pixel positions were laid out for.
    static constexpr int kReferenceBaseX = 6;
    static constexpr int kReferenceBaseY = 13;

    // resourceFolder holds the bitmaps that templates name (ending in a separator).
    explicit Win32DialogLayer(std::string resourceFolder);
    ~Win32DialogLayer() override;
    Win32DialogLayer(const Win32DialogLayer&) = delete;
    Win32DialogLayer& operator=(const Win32DialogLayer&) = delete;

    int runModal(int templateId, DialogHandle owner, DialogProcedure& procedure) override;
    DialogHandle createChild(int templateId, DialogHandle parent, DialogProcedure* procedure) override;
    int templateId(DialogHandle dialog) const override;
    void endDialog(DialogHandle dialog, int result) override;
    std::string lastError() const override { return m_lastError; }

    void setTitle(DialogHandle dialog, std::u16string_view text) override;
    void showDialog(DialogHandle dialog, bool visible) override;
    void moveDialog(DialogHandle dialog, int x, int y) override;

    void setText(DialogHandle dialog, int controlId, std::u16string_view text) override;
    std::u16string text(DialogHandle dialog, int controlId) override;
    void setChecked(DialogHandle dialog, int controlId, bool checked) override;
    bool isChecked(DialogHandle dialog, int controlId) override;
    void showControl(DialogHandle dialog, int controlId, bool visible) override;
    void enableControl(DialogHandle dialog, int controlId, bool enabled) override;
    void setAccessibleName(DialogHandle dialog, int controlId, std::u16string_view name) override;
    void setToolTip(DialogHandle dialog, int controlId, std::u16string_view text) override;

    void setTrackRange(DialogHandle dialog, int controlId, int min, int max) override;
    void setTrackPos(DialogHandle dialog, int controlId, int pos) override;
    int trackPos(DialogHandle dialog, int controlId) override;

    void clearItems(DialogHandle dialog, int controlId) override;
    int addItem(DialogHandle dialog, int controlId, std::u16string_view text, int data) override;
    void selectItem(DialogHandle dialog, int controlId, int index) override;
    int selectedItem(DialogHandle dialog, int controlId) override;
    int itemData(DialogHandle dialog, int controlId, int index) override;

    void setScrollInfo(DialogHandle dialog, int controlId, const ScrollInfo& info) override;
    ScrollInfo scrollInfo(DialogHandle dialog, int controlId) override;
    int setScrollPos(DialogHandle dialog, int controlId, int pos) override;

    bool setBitmap(DialogHandle dialog, int controlId, const std::string& path) override;

    void showMessage(DialogHandle owner, std::u16string_view text, std::u16string_view caption) override;
    void openUri(const std::string& uri) override;

    // The window of a dialog; nullptr for none. For tests and the shell.
    void* window(DialogHandle dialog) const;

    struct Control;
    struct Dialog;

private:
    Dialog* find(DialogHandle dialog) const;
    Control* control(DialogHandle dialog, int controlId) const;
    // A record for the template, registered under a new handle; nullptr for an unknown template.
    Dialog* newDialog(int templateId, DialogHandle parent, DialogProcedure* procedure);
    void forgetTree(DialogHandle root);
    bool startCommonControls();

public:
    // Called by the dialog procedure once Windows has made the controls.
    void attach(Dialog& dialog);

    std::string m_resourceFolder;
    std::string m_lastError;
    std::map<DialogHandle, std::unique_ptr<Dialog>> m_dialogs;
    DialogHandle m_nextHandle = 1;
    bool m_commonControls = false;
};

}  // namespace reef
