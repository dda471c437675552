#pragma once

// The CRT's error numbers, and those POSIX ones the error table names that Windows lacks. No call
// on Windows sets them; they only keep the table one for both platforms.
#include_next <errno.h>

#ifndef EDQUOT
#define EDQUOT 200
#endif
#ifndef ENOMEDIUM
#define ENOMEDIUM 201
#endif
