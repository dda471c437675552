#include "fs/FreeSpaceQuery.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "fs/FileNameCodec.h"

#include <sys/statvfs.h>
#endif

FreeSpace systemFreeSpace(const QString& root) {
    FreeSpace space;
#ifdef _WIN32
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (GetDiskFreeSpaceW(reinterpret_cast<LPCWSTR>(root.utf16()), &sectorsPerCluster,
                          &bytesPerSector, &freeClusters, &totalClusters))
        space = {sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
#else
    struct statvfs volume {};
    if (::statvfs(encodeFileName(root).constData(), &volume) == 0)
        space = {1, volume.f_frsize, volume.f_bavail, volume.f_blocks};
#endif
    return space;
}
