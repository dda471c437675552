#include "fs/FreeSpaceQuery.h"

#include "fs/FileNameCodec.h"

#include <sys/statvfs.h>

FreeSpace systemFreeSpace(const QString& root) {
    FreeSpace space;
    struct statvfs volume {};
    if (::statvfs(encodeFileName(root).constData(), &volume) == 0)
        space = {1, volume.f_frsize, volume.f_bavail, volume.f_blocks};
    return space;
}
