#include "app/RunningMark.h"

void markProgramRunning() {}
