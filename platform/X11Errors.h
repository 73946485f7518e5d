// How the saver lives with X errors. A refused request (a window the server has
// already destroyed, a mode it will not set) is recorded for the caller that
// waits for it and the saver carries on; Xlib's default handler would print
// "X Error" and exit in the middle of the shutdown. A lost connection (the X
// server died) ends the process at once without touching X again.
#pragma once

namespace reef {

// Installs both handlers. Cheap; called before every use of the display, because
// SDL_Quit puts Xlib's default handlers back.
void installX11ErrorHandlers();
// The error code of the last refused request since clearX11Error (0: none).
int lastX11Error();
void clearX11Error();

}  // namespace reef
