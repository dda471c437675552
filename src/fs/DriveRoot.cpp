#include "fs/DriveRoot.h"

QString driveRootOf(const QString& folder) {
#ifdef _WIN32
    return folder.left(3);
#else
    return folder;
#endif
}
