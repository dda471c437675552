#include "fs/PathText.h"

#include <QDir>

SplitPath splitAtLastSlash(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {QStringLiteral("."), path};
    return {slash == 0 ? QStringLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QByteArray folderOfPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArray("/");
}

QString shownPath(const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    // A path of its own never reads "E:": that is the drive's current folder, not its root.
    if (shown.size() == 2 && shown[1] == QLatin1Char(':') && shown[0].isLetter())
        return shown + QDir::separator();
    return shown;
}
