#pragma once

#include "app/Form1Services.h"

// The real volumes, file system, message boxes, clock-seeded random source, event loop, holding
// folder and settings store.
Form1Services productionServices();
