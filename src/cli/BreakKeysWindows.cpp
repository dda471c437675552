#include "cli/BreakKeys.h"

#include <atomic>
#include <windows.h>

namespace {

std::atomic<bool> pressed{false};

// Runs on a thread of its own that the console starts; returning TRUE keeps the program going.
BOOL WINAPI onConsoleKey(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    pressed = true;
    return TRUE;
}

} // namespace

void catchBreakKeys() {
    SetConsoleCtrlHandler(onConsoleKey, TRUE);
}

bool breakKeyPressed() {
    return pressed;
}
