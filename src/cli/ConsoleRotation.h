#pragma once

#include "cli/ExitStatus.h"

struct RotateRequest;

// One rotation without the window: the window's run, with the saved folders and options unless
// the command line gives its own, on a console face.
ExitStatus rotateFromCommandLine(const RotateRequest& request);
