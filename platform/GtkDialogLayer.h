// The dialog layer on GTK 3: each template becomes a fixed layout of GTK
// widgets placed at its dialog-unit rectangles (converted with the dialog
// font's average character size), and GTK's signals come back to the dialog
// procedures by control id. GTK starts only when the first dialog runs.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/DialogLayer.h"

namespace reef {

class GtkDialogLayer : public DialogLayer {
public:
    // The dialog font the dialog code's pixel positions were laid out for.
    static constexpr int kReferenceBaseX = 6;
    static constexpr int kReferenceBaseY = 13;

    // resourceFolder holds the bitmaps that templates name (ending in '/').
    explicit GtkDialogLayer(std::string resourceFolder);
    ~GtkDialogLayer() override;
    GtkDialogLayer(const GtkDialogLayer&) = delete;
    GtkDialogLayer& operator=(const GtkDialogLayer&) = delete;

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

    struct Control;
    struct Dialog;

private:
    bool startGtk();
    Dialog* find(DialogHandle dialog) const;
    Control* control(DialogHandle dialog, int controlId) const;
    DialogHandle build(int templateId, DialogHandle parent, DialogProcedure* procedure);
    void buildControls(Dialog& dialog);
    void destroyTree(DialogHandle root);
    void measureDialogFont();
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;

    std::string m_resourceFolder;
    std::string m_lastError;
    std::map<DialogHandle, std::unique_ptr<Dialog>> m_dialogs;
    DialogHandle m_nextHandle = 1;
    bool m_started = false;
    double m_unitX = 1.5;  // pixels per horizontal dialog unit
    double m_unitY = 1.625;
    // Positions the dialog code gives in pixels assume a font of kReferenceBase
    // pixels a character; these scale them to the real one.
    double m_pixelScaleX = 1.0;
    double m_pixelScaleY = 1.0;
};

}  // namespace reef
