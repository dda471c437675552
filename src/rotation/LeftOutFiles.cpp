#include "rotation/LeftOutFiles.h"

#include <algorithm>

namespace {

constexpr qsizetype namesShown = 3;

} // namespace

QString leftOutLine(const QStringList& names) {
    QStringList shown;
    for (qsizetype i = 0; i < std::min(names.size(), namesShown); ++i)
        shown.append(names[i]);
    if (names.size() > namesShown)
        shown.append(QStringLiteral("..."));
    const QString list = shown.join(QStringLiteral(", "));
    if (names.size() == 1)
        return QStringLiteral("1 music file was left in the Hard Drive Music Directory: the player "
                              "cannot store it (%1)")
            .arg(list);
    return QStringLiteral("%1 music files were left in the Hard Drive Music Directory: the player "
                          "cannot store them (%2)")
        .arg(QString::number(names.size()), list);
}
