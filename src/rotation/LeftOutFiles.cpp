#include "rotation/LeftOutFiles.h"

#include <algorithm>

namespace {

constexpr qsizetype namesShown = 3;

// The first names, then "..." for the rest.
QString firstNames(const QStringList& names) {
    QStringList shown = names.mid(0, namesShown);
    if (names.size() > namesShown)
        shown.append(QStringLiteral("..."));
    return shown.join(QStringLiteral(", "));
}

} // namespace

QString leftOutLine(const QStringList& names) {
    const QString list = firstNames(names);
    if (names.size() == 1)
        return QStringLiteral("1 music file was left in the Hard Drive Music Directory: the player "
                              "cannot store it (%1)")
            .arg(list);
    return QStringLiteral("%1 music files were left in the Hard Drive Music Directory: the player "
                          "cannot store them (%2)")
        .arg(QString::number(names.size()), list);
}

QString notMovedLine(const std::vector<NotMovedFile>& files) {
    QStringList named;
    for (const NotMovedFile& file : files)
        named.append(QStringLiteral("%1 (%2)").arg(file.name, file.why));
    const QString list = firstNames(named);
    if (files.size() == 1)
        return QStringLiteral("1 music file could not be moved and stayed in the Hard Drive Music "
                              "Directory: %1")
            .arg(list);
    return QStringLiteral("%1 music files could not be moved and stayed in the Hard Drive Music "
                          "Directory: %2")
        .arg(QString::number(files.size()), list);
}
