#include "cli/BreakKeys.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t pressed = 0;

void onBreakKey(int) {
    pressed = 1;
}

} // namespace

void catchBreakKeys() {
    struct sigaction action = {};
    action.sa_handler = onBreakKey;
    sigemptyset(&action.sa_mask);
    // A system call the signal lands in goes on instead of failing with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // The terminal closed: its output goes nowhere, and the run stops as at Ctrl+C.
    sigaction(SIGHUP, &action, nullptr);
    // A reader that went away (quavex --rotate | head) makes writes fail, never ends the run.
    signal(SIGPIPE, SIG_IGN);
}

bool breakKeyPressed() {
    return pressed != 0;
}
