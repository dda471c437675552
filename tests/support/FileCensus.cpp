#include "support/FileCensus.h"

#include "fs/OwnTemporaries.h"
#include "fs/SongOriginsName.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
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
    return namesInFolder(folder, true);
}

// A player's record of its songs' origins is the program's own, no file a run must keep.
QStringList keptFilesIn(const QString& folder) {
    QStringList names = filesIn(folder);
    names.removeIf(isSongOriginsName);
    return names;
}

} // namespace

FileCensus censusOf(const QStringList& folders) {
    FileCensus census;
    for (const QString& folder : distinctFolders(folders)) {
        for (const QString& name : keptFilesIn(folder)) {
            const QString path = folder + QLatin1Char('/') + name;
            if (!isReadableFile(path))
                throw std::runtime_error("cannot read " + path.toStdString());
            census.emplace(
                name, QCryptographicHash::hash(readTestFile(path), QCryptographicHash::Sha256));
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
