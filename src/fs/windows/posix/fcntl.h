#pragma once

// The CRT's open flags, and the two POSIX ones the file-system services use that Windows lacks:
// SystemCalls' Windows implementation opens a folder for O_DIRECTORY and never lets a child
// inherit a handle, so O_CLOEXEC is the CRT's O_NOINHERIT.
#include_next <fcntl.h>

#ifndef O_DIRECTORY
#define O_DIRECTORY 0x200000
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC O_NOINHERIT
#endif
