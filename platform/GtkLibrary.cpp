#include "platform/GtkLibrary.h"

#include <dlfcn.h>

namespace reef {

namespace {

constexpr const char* kLibraryName = "libgtk-3.so.0";

template <typename Function>
bool resolve(void* library, const char* name, Function& out) {
    out = reinterpret_cast<Function>(dlsym(library, name));
    return out != nullptr;
}

}  // namespace

const GtkLibrary* GtkLibrary::open() {
    static GtkLibrary library;
    static const bool ready = library.load();
    return ready ? &library : nullptr;
}

bool GtkLibrary::load() {
    // NOTE: never closed: GTK cannot be unloaded once initialised.
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    decltype(&gtk_init_check) initCheck = nullptr;
    const bool found = resolve(library, "gtk_init_check", initCheck) &&
                       resolve(library, "gtk_message_dialog_new", messageDialogNew) &&
                       resolve(library, "gtk_window_set_title", windowSetTitle) &&
                       resolve(library, "gtk_dialog_run", dialogRun) &&
                       resolve(library, "gtk_widget_destroy", widgetDestroy) &&
                       resolve(library, "gtk_events_pending", eventsPending) &&
                       resolve(library, "gtk_main_iteration", mainIteration);
    return found && initCheck(nullptr, nullptr);
}

}  // namespace reef
