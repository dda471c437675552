#include "app/HoldingFolder.h"

QString defaultHoldingFolder() {
    return QStringLiteral("C:\\QUAVEXTemp");
}
