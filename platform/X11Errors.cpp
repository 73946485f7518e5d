#include "platform/X11Errors.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"

namespace reef {

namespace {

int g_lastError = 0;

int recordError(Display*, XErrorEvent* event) {
    g_lastError = event->error_code;
    return 0;
}

// Nothing may be sent to a dead server, and Xlib ends the process if this handler
// returns; so say why in one line (written out at once) and leave. The exit runs
// no destructors (they would talk to the server) and no atexit handlers (SDL's and
// Mesa's would too).
int connectionLost(Display*) {
    report(Channel::Error, texts::kXServerLost);
    _exit(1);
}

}  // namespace

void installX11ErrorHandlers() {
    XSetErrorHandler(recordError);
    XSetIOErrorHandler(connectionLost);
}

int lastX11Error() { return g_lastError; }

void clearX11Error() { g_lastError = 0; }

}  // namespace reef
