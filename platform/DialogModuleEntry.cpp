// The dialog module's entry points (see DialogModuleAbi.h). This file and the
// GTK dialog layer are the module's own code; it is the only part of the
// programs that links GTK.
#include <gtk/gtk.h>

#include "platform/DialogModuleAbi.h"
#include "platform/GtkDialogLayer.h"
#include "platform/TerminationSignal.h"

namespace reef {

namespace {

constexpr guint kTerminationPollMs = 100;

// The program's answer, handed in with each call: the module has no signal
// handler of its own.
TerminationQuery g_termination = nullptr;

gboolean closeOnTermination(gpointer dialog) {
    if (terminationRequested()) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE);
    return G_SOURCE_CONTINUE;
}

}  // namespace

// NOTE: the module defines this itself instead of linking the program's signal
// code, whose flag would be a second, never-set copy here; it forwards to the
// program's own.
bool terminationRequested() { return g_termination != nullptr && g_termination(); }

}  // namespace reef

extern "C" {

__attribute__((visibility("default"))) reef::DialogLayer* reefCreateDialogLayer(const char* resourceFolder,
                                                                                  reef::TerminationQuery termination) {
    reef::g_termination = termination;
    return new reef::GtkDialogLayer(resourceFolder ? resourceFolder : "");
}

__attribute__((visibility("default"))) void reefShowErrorDialog(const char* text, reef::TerminationQuery termination) {
    reef::g_termination = termination;
    if (!gtk_init_check(nullptr, nullptr)) return;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s",
                                               text ? text : "");
    gtk_window_set_title(GTK_WINDOW(dialog), "Error");
    // SIGTERM closes the dialog, so a daemon or a person can still end the program.
    const guint watch = g_timeout_add(reef::kTerminationPollMs, reef::closeOnTermination, dialog);
    gtk_dialog_run(GTK_DIALOG(dialog));
    g_source_remove(watch);
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
}

}  // extern "C"
