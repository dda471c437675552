#include "support/SystemTools.h"

#include <QStandardPaths>

QString systemTool(const QString& name) {
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(
            name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return found.isEmpty() ? name : found;
}
