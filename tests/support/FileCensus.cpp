#include "support/FileCensus.h"

#include "fs/OwnTemporaries.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {

QStringList distinctFolders(const QStringList& folders) {
    QStringList distinct;
    for (const QString& folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && !distinct.contains(canonical))
            distinct.append(canonical);
    }
    return distinct;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

FileCensus censusOf(const QStringList& folders) {
    FileCensus census;
    for (const QString& folder : distinctFolders(folders)) {
        for (const QString& name : filesIn(folder)) {
            QFile file(folder + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                throw std::runtime_error("cannot read " + file.fileName().toStdString());
            QCryptographicHash hash(QCryptographicHash::Sha256);
            hash.addData(&file);
            census.emplace(name, hash.result());
        }
    }
    return census;
}

QStringList ownTemporariesIn(const QStringList& folders) {
    QStringList found;
    for (const QString& folder : distinctFolders(folders))
        for (const QString& name : filesIn(folder))
            if (isOwnTemporaryName(name))
                found.append(folder + QLatin1Char('/') + name);
    return found;
}
