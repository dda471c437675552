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
}

bool breakKeyPressed() {
    return pressed != 0;
}
