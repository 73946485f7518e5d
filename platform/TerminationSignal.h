// SIGTERM, SIGINT and SIGHUP as a request to end the saver the ordinary way (the
// screensaver daemon ends its hacks with SIGTERM; a closed terminal sends SIGHUP).
// The window system turns the request into a WM_DESTROY of the saver window, so
// the usual shutdown runs and a changed display mode comes back.
#pragma once

namespace reef {

// Installs the handlers (again after SDL, which would otherwise swallow the signals).
void installTerminationHandler();
bool terminationRequested();

}  // namespace reef
