#include "rotation/NameList.h"

QString firstNames(const QStringList& names, qsizetype shown, const QString& separator) {
    QStringList first = names.mid(0, shown);
    if (names.size() > shown)
        first.append(QStringLiteral("..."));
    return first.join(separator);
}
