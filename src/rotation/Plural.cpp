#include "rotation/Plural.h"

QString countOf(qint64 count, const QString& singular, const QString& plural) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? singular : plural);
}

QString filesCount(qint64 count) {
    return countOf(count, QStringLiteral("file"), QStringLiteral("files"));
}

QString isOrAre(qint64 count) {
    return count == 1 ? QStringLiteral("is") : QStringLiteral("are");
}
