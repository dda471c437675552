#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

// On Windows names are UTF-16 text, which Qt's files take whole.

void touch(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw std::runtime_error("cannot create " + path.toStdString());
}

void writeTestFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray readTestFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool isReadableFile(const QString& path) {
    return QFileInfo(path).isReadable();
}

QStringList namesInFolder(const QString& folder, bool filesOnly) {
    const QDir::Filters filter = (filesOnly ? QDir::Files : QDir::AllEntries) | QDir::Hidden |
                                 QDir::System | QDir::NoDotAndDotDot;
    QStringList names = QDir(folder).entryList(filter, QDir::Name);
    names.sort();
    return names;
}

void removeTree(const QString& folder) {
    QDir(folder).removeRecursively();
}
