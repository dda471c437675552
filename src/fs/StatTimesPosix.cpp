#include "fs/StatTimes.h"

struct timespec accessTimeOf(const struct stat& status) {
    return status.st_atim;
}

struct timespec modificationTimeOf(const struct stat& status) {
    return status.st_mtim;
}
