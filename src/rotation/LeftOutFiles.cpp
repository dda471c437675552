#include "rotation/LeftOutFiles.h"

#include "rotation/NameList.h"
#include "rotation/Plural.h"

#include <algorithm>

namespace {

constexpr qsizetype namesShown = 3;

} // namespace

QString leftOutLine(const std::vector<NotMovedFile>& files) {
    const auto count = static_cast<qint64>(files.size());
    QStringList named;
    for (const NotMovedFile& file : files)
        named.append(QStringLiteral("%1: %2").arg(file.name, file.why));
    const auto renamable = std::count_if(files.begin(), files.end(),
                                         [](const NotMovedFile& file) { return file.renamable; });
    QString remedy;
    if (renamable == count)
        remedy = forCount(count, QStringLiteral(" Rename it to include it."),
                          QStringLiteral(" Rename them to include them."));
    else if (renamable > 0)
        remedy = QStringLiteral(" Rename those whose name is refused to include them.");
    return QStringLiteral("%1 left in the Hard Drive Music Directory: the player cannot store %2 "
                          "(%3).%4")
        .arg(forCount(count, QStringLiteral("1 music file was"),
                      QString::number(count) + QStringLiteral(" music files were")),
             forCount(count, QStringLiteral("it"), QStringLiteral("them")),
             firstNames(named, namesShown, QStringLiteral("; ")), remedy);
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
