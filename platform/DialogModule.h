// The dialog module beside the running program, loaded the first time a
// dialog is needed and kept for the life of the process (GTK cannot be
// unloaded safely).
#pragma once

#include <memory>
#include <string>

#include "platform/DialogModuleAbi.h"

namespace reef {

class DialogModule {
public:
    // The loaded module; nullptr when it is missing or incomplete, said once on
    // standard error. Tried once per process.
    static const DialogModule* get();

    // A dialog layer from the module; nullptr when the module cannot be loaded.
    static std::unique_ptr<DialogLayer> createDialogLayer(const std::string& resourceFolder);
    // The module's error box; nothing when the module cannot be loaded.
    static void showErrorDialog(const std::string& text);

private:
    bool load(const std::string& path);

    CreateDialogLayerEntry m_createDialogLayer = nullptr;
    ShowErrorDialogEntry m_showErrorDialog = nullptr;
};

}  // namespace reef
