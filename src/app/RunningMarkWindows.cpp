#include "app/RunningMark.h"

#include <windows.h>

// In the machine-wide namespace, so that an installer run by another account sees it too. The
// handle stays open until the process ends, when the system closes it.
void markProgramRunning() {
    CreateMutexW(nullptr, FALSE, L"Global\\QUAVEX-running");
}
