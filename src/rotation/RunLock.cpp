#include "rotation/RunLock.h"

#include "fs/PathText.h"
#include "fs/StateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

RunLock::RunLock() : m_lock(path()) {
    m_lock.setStaleLockTime(0);
}

QString RunLock::path() {
    return userStateFolder() + QStringLiteral("/quavex/run.lock");
}

QString RunLock::take() {
    const QString folder = QFileInfo(m_lock.fileName()).absolutePath();
    if (QDir().mkpath(folder) && m_lock.tryLock(0))
        return {};
    if (m_lock.error() == QLockFile::LockFailedError)
        return QStringLiteral("Another copy of QUAVEX is in the middle of a run. Wait for its run "
                              "to end, then press Select again. Nothing has been moved.");
    QString reason = QStringLiteral("its folder cannot be written");
    if (m_lock.error() == QLockFile::PermissionError)
        reason = QStringLiteral("permission was denied");
    else if (QStorageInfo(folder).bytesAvailable() == 0)
        reason = QStringLiteral("the disk is full");
    return QStringLiteral("The lock file %1, which keeps two runs from working at once, could not "
                          "be made: %2. Nothing has been moved.")
        .arg(shownPath(m_lock.fileName()), reason);
}
