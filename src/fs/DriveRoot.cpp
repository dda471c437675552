#include "fs/DriveRoot.h"

QString driveRootOf(const QString& folder) {
    return folder;
}

QString systemDriveRoot() {
    return QStringLiteral("/");
}

QString driveThereWord() {
    return QStringLiteral("mounted");
}
