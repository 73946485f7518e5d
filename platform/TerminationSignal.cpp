#include "platform/TerminationSignal.h"

#include <csignal>

namespace reef {

namespace {

volatile std::sig_atomic_t g_terminationRequested = 0;

void onTerminationSignal(int) { g_terminationRequested = 1; }

}  // namespace

void installTerminationHandler() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool terminationRequested() { return g_terminationRequested != 0; }

}  // namespace reef
