// The small dialog that edits the screen settings: keep the current
// resolution or choose a full-screen mode and colour depth, and darken the
// other monitors. It works on a copy; OK copies it back, Cancel drops it.
#pragma once

#include <string>
#include <vector>

#include "platform/DialogLayer.h"
#include "platform/SystemServices.h"
#include "shell/ScreenSettings.h"
#include "ui/DatReader.h"

namespace reef {

class ScreenSettingsDialog : public DialogProcedure {
public:
    // The texts come from languagePath ("ScreenLanguage.dat"), in the section
    // of the person's locale (German where the file lacks it).
    ScreenSettingsDialog(DialogLayer& layer, SystemServices& system, ScreenSettings& target,
                         const std::string& languagePath);

    // Runs the dialog modally over owner: 1 for OK, 2 for Cancel, -1 when it cannot be shown.
    int run(DialogHandle owner);

    const ScreenSettings& working() const { return m_working; }

    void onInitDialog(DialogHandle dialog) override;
    void onCommand(DialogHandle dialog, int controlId) override;

private:
    void setListsEnabled(DialogHandle dialog, bool enabled);
    void fillResolutions(DialogHandle dialog);

    DialogLayer& m_layer;
    SystemServices& m_system;
    ScreenSettings m_working;
    ScreenSettings* m_target;
    bool m_hardwareSurface = false;
    std::vector<ModeSize> m_modes;
    std::string m_languagePath;
    DatReader m_texts;
};

}  // namespace reef
