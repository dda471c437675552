#pragma once

// Ctrl+C on a terminal is the window's Break: SIGINT, SIGTERM and SIGHUP (Ctrl+C and Ctrl+Break on
// a Windows console) set a flag that the run reads where the window would yield, so a stop never
// lands in the middle of a move, however often the keys are pressed.

// From now on, the keys set the flag instead of ending the program.
void catchBreakKeys();
// Whether the keys were pressed since catchBreakKeys.
bool breakKeyPressed();
