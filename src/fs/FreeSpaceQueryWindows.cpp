#include "fs/FreeSpaceQuery.h"

#include <QDir>
#include <string>
#include <windows.h>

// GetDiskFreeSpaceExW counts bytes, beyond the 2 GB that GetDiskFreeSpaceW's clusters reach on
// large drives: a cluster of one byte.
FreeSpace systemFreeSpace(const QString& root) {
    FreeSpace space;
    const std::wstring path = QDir::toNativeSeparators(root).toStdWString();
    ULARGE_INTEGER available{}, total{}, free{};
    if (GetDiskFreeSpaceExW(path.c_str(), &available, &total, &free))
        space = {1, 1, available.QuadPart, total.QuadPart};
    return space;
}
