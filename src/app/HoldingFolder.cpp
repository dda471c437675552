#include "app/HoldingFolder.h"

#include <QDir>

QString defaultHoldingFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\QUAVEXTemp");
#else
    return QDir::homePath() + QStringLiteral("/QUAVEXTemp");
#endif
}
