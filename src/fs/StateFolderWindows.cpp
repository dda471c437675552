#include "fs/StateFolder.h"

#include <QDir>

// Without %LOCALAPPDATA% (a service's account) the profile's usual place is taken.
QString userStateFolder() {
    const QString local = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    return QDir::isAbsolutePath(local) ? local
                                       : QDir::homePath() + QStringLiteral("/AppData/Local");
}
