#include "fs/FreeSpaceQuery.h"

#include <QDir>
#include <windows.h>

// GetDiskFreeSpaceExW counts bytes, beyond the 2 GB that GetDiskFreeSpaceW's clusters reach on
// large drives: a cluster of one byte.
FreeSpace systemFreeSpace(const QString& root) {
    FreeSpace space;
    ULARGE_INTEGER available{}, total{}, free{};
    if (GetDiskFreeSpaceExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(root).utf16()),
                            &available, &total, &free))
        space = {1, 1, available.QuadPart, total.QuadPart};
    return space;
}
