#pragma once

#include <QStringList>

// Whether the arguments ask for the command line rather than the window: an option of its own
// begins with two dashes (or is -h); Qt's options for the window, such as -platform, with one.
bool wantsCommandLine(int argc, char* argv[]);

// Does what the command line asks and returns the exit status (ExitStatus.h).
int runCommandLine(const QStringList& arguments);
