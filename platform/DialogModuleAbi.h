// The boundary between the programs and their dialog module: GTK and the
// dialog layer built on it live in a shared module beside the programs,
// loaded with dlopen the first time a dialog is needed, so that a saver run
// without a dialog never maps GTK and the some eighty libraries it pulls in.
#pragma once

namespace reef {

class DialogLayer;

// The module's path relative to the folder of the running program. It has a
// folder of its own so that a package never treats it as a system library
// (no ldconfig run on install or removal).
inline constexpr const char* kDialogModuleFile = "modules/reefsaver-dialogs.so";

// Asked by the module's dialogs while they run: true once SIGTERM, SIGINT or
// SIGHUP has arrived (the program's signal handler keeps that flag).
using TerminationQuery = bool (*)();

// A new dialog layer (deleted by the caller through its virtual destructor);
// resourceFolder holds the bitmaps the templates name.
using CreateDialogLayerEntry = DialogLayer* (*)(const char* resourceFolder, TerminationQuery termination);
inline constexpr const char* kCreateDialogLayerSymbol = "reefCreateDialogLayer";

// A modal message box titled "Error"; returns when it is closed or a
// termination request arrives. Does nothing when GTK cannot start.
using ShowErrorDialogEntry = void (*)(const char* text, TerminationQuery termination);
inline constexpr const char* kShowErrorDialogSymbol = "reefShowErrorDialog";

}  // namespace reef
