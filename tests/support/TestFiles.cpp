#include "TestFiles.h"

#include <QFileInfo>

void writeFile(const QString& path, qint64 size) {
    const QByteArray seed = QFileInfo(path).fileName().toUtf8() + '\n';
    QByteArray content;
    content.reserve(size);
    while (content.size() < size)
        content += seed;
    content.truncate(size);
    writeTestFile(path, content);
}

void writeFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        writeFile(folder + QLatin1Char('/') + name);
}

QByteArray patternBytes(qint64 size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 2654435761u * quint32(seed + 1);
    for (qint64 i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}
