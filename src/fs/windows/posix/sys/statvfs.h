#pragma once

// The free-space record of SystemCalls::statvfs, which Windows has no header for; its Windows
// implementation counts in bytes (a unit of one byte).
struct statvfs {
    unsigned long long f_bsize;
    unsigned long long f_frsize;
    unsigned long long f_blocks;
    unsigned long long f_bfree;
    unsigned long long f_bavail;
};
