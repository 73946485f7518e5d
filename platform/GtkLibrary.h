// GTK, loaded when a dialog first needs it. The programs show a GTK window only
// for an error message; linking GTK would map it and its some eighty libraries
// (about 9 MB resident) into every run of the saver, dialog or not.
#pragma once

#include <gtk/gtk.h>

namespace reef {

class GtkLibrary {
public:
    // GTK loaded and initialised on the display; nullptr when the library or one
    // of its entry points is missing or GTK cannot start. Tried once per process;
    // once loaded, the library stays for the life of the process.
    static const GtkLibrary* open();

    decltype(&gtk_message_dialog_new) messageDialogNew = nullptr;
    decltype(&gtk_window_set_title) windowSetTitle = nullptr;
    decltype(&gtk_dialog_run) dialogRun = nullptr;
    decltype(&gtk_widget_destroy) widgetDestroy = nullptr;
    decltype(&gtk_events_pending) eventsPending = nullptr;
    decltype(&gtk_main_iteration) mainIteration = nullptr;

private:
    bool load();
};

}  // namespace reef
