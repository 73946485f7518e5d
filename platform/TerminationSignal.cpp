#include "platform/TerminationSignal.h"

#include <csignal>
#include <initializer_list>

namespace reef {

namespace {

volatile std::sig_atomic_t g_terminationRequested = 0;

void onTerminationSignal(int) { g_terminationRequested = 1; }

}  // namespace

void installTerminationHandler() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking wait (poll, a dialog's main loop) returns and looks at the flag.
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
    // A write to a pipe or socket whose reader is gone (the display-mode watchdog,
    // a dead X server) fails with EPIPE, which the writer handles, instead of
    // ending the saver without its shutdown.
    std::signal(SIGPIPE, SIG_IGN);
}

bool terminationRequested() { return g_terminationRequested != 0; }

}  // namespace reef
