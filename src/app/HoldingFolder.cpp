#include "app/HoldingFolder.h"

#include <QDir>

QString defaultHoldingFolder() {
    return QDir::homePath() + QStringLiteral("/QUAVEXTemp");
}
