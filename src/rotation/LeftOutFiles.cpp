#include "rotation/LeftOutFiles.h"

#include "rotation/NameList.h"
#include "rotation/Plural.h"

namespace {

constexpr qsizetype namesShown = 3;

} // namespace

QString leftOutLine(const QStringList& names) {
    const QString list = firstNames(names, namesShown);
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
    return QStringLiteral("%1 could not be moved and stayed in the Hard Drive Music Directory: %2")
        .arg(countOf(static_cast<qint64>(files.size()), QStringLiteral("music file"),
                     QStringLiteral("music files")),
             firstNames(named, namesShown));
}
