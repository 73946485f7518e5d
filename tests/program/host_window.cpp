// Stands in for the screensaver daemon: makes a plain window (the hack draws into
// it), prints its id, and destroys it on SIGUSR1 while the process lives on, as
// the daemon does when it unblanks. Ends on SIGTERM or when the display goes.
// Usage: host_window <width> <height>
#include <X11/Xlib.h>
#include <poll.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t g_destroy = 0;
volatile std::sig_atomic_t g_quit = 0;

void onDestroy(int) { g_destroy = 1; }
void onQuit(int) { g_quit = 1; }

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 1 ? std::atoi(argv[1]) : 640;
    const int height = argc > 2 ? std::atoi(argv[2]) : 480;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0,
                                              BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, window);
    XSync(display, False);
    std::signal(SIGUSR1, onDestroy);
    std::signal(SIGTERM, onQuit);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    bool destroyed = false;
    while (!g_quit) {
        if (g_destroy && !destroyed) {
            XDestroyWindow(display, window);
            XSync(display, False);
            destroyed = true;
        }
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, 20);
    }
    XCloseDisplay(display);
    return 0;
}
