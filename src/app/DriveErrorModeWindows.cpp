#include "app/DriveErrorMode.h"

#include <windows.h>

// Kept for the whole process, so that it covers every thread, Qt's own reads of drives included.
void quietDriveErrors() {
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
}
