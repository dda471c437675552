#include "fs/StateFolder.h"

#include <QDir>

QString userStateFolder() {
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return QDir::isAbsolutePath(state) ? state : QDir::homePath() + QStringLiteral("/.local/state");
}
