#include "rotation/OwnLibraries.h"

#include "fs/FileSystemObject.h"

#include <QDir>
#include <utility>

HomeFolders::HomeFolders(FileSystemObject& fso, QString runFolder)
    : m_fso(fso), m_runFolder(std::move(runFolder)) {}

QString HomeFolders::of(const QString& origin) {
    if (origin.isEmpty() || QDir::cleanPath(origin) == QDir::cleanPath(m_runFolder) ||
        !QDir::isAbsolutePath(origin))
        return m_runFolder;
    if (const auto known = m_known.constFind(origin); known != m_known.cend())
        return *known;
    bool there = false;
    try {
        there = m_fso.FolderExists(origin);
    } catch (const AppError&) {
        // Not there as far as this run can tell.
    }
    return *m_known.insert(origin, there ? origin : m_runFolder);
}
