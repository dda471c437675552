#pragma once

#include <sys/stat.h>
#include <time.h>

// A file's access and modification times as its status gives them, to the finest step the
// platform's status record keeps.
struct timespec accessTimeOf(const struct stat& status);
struct timespec modificationTimeOf(const struct stat& status);
