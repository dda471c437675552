#pragma once

#include <QString>
#include <cstdint>
#include <functional>

// A drive's free space as allocation units of sectors. Every field stays 0 when the query fails.
struct FreeSpace {
    std::uint64_t sectorsPerCluster = 0;
    std::uint64_t bytesPerSector = 0;
    std::uint64_t freeClusters = 0;
    std::uint64_t totalClusters = 0;
};

// Asks the platform about the drive whose root the text names, unchanged.
using FreeSpaceQuery = std::function<FreeSpace(const QString& root)>;

// The real query: statvfs on POSIX systems (one sector of f_frsize bytes per cluster, f_bavail
// free clusters, the space an unprivileged user may fill), GetDiskFreeSpaceExW on Windows (bytes
// as clusters of one byte, the space this user may fill).
FreeSpace systemFreeSpace(const QString& root);
