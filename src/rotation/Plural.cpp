#include "rotation/Plural.h"

QString forCount(qint64 count, const QString& one, const QString& other) {
    return count == 1 ? one : other;
}

QString countOf(qint64 count, const QString& singular, const QString& plural) {
    return QString::number(count) + QLatin1Char(' ') + forCount(count, singular, plural);
}

QString filesCount(qint64 count) {
    return countOf(count, QStringLiteral("file"), QStringLiteral("files"));
}

QString isOrAre(qint64 count) {
    return forCount(count, QStringLiteral("is"), QStringLiteral("are"));
}
