#include "rotation/OwnLibraries.h"

#include "fs/FileSystemObject.h"

#include <QDir>

namespace {

bool sameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

} // namespace

QString homeFolderOf(FileSystemObject& fso, const QString& origin, const QString& runFolder) {
    if (origin.isEmpty() || sameFolder(origin, runFolder) || !QDir::isAbsolutePath(origin))
        return runFolder;
    try {
        return fso.FolderExists(origin) ? origin : runFolder;
    } catch (const AppError&) {
        return runFolder;
    }
}
