#include "fs/StatTimes.h"

// The CRT's status record keeps whole seconds.
struct timespec accessTimeOf(const struct stat& status) {
    return {status.st_atime, 0};
}

struct timespec modificationTimeOf(const struct stat& status) {
    return {status.st_mtime, 0};
}
