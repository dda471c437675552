#include "fs/DriveRoot.h"

QString driveRootOf(const QString& folder) {
    return folder.left(3);
}

QString systemDriveRoot() {
    const QString drive = qEnvironmentVariable("SystemDrive");
    return (drive.size() == 2 && drive[1] == QLatin1Char(':') ? drive : QStringLiteral("C:")) +
           QLatin1Char('/');
}

QString driveThereWord() {
    return QStringLiteral("connected");
}
