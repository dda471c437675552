#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

void touch(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path.toStdString());
    ::close(fd);
}

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

void writeTestFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray readTestFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QStringList namesInFolder(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
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
