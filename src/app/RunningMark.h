#pragma once

// Marks this process as a running QUAVEX until it ends, however it ends: on Windows a named mutex
// that the installer and the uninstaller look for, so that neither replaces or removes the files
// of a program in use. Nothing on Linux, where a package replaces a running program's files
// safely.
void markProgramRunning();
