#include "rotation/ClearingReport.h"

#include "fs/PathText.h"
#include "rotation/Plural.h"

QString unclearedLine(const QString& playerFolder, qsizetype held, qsizetype left) {
    return QStringLiteral("The MP3 player folder %1 was not cleared completely: %2 in the "
                          "temporary directory, %3 still on the player")
        .arg(shownPath(playerFolder), filesCount(held), filesCount(left));
}

QString unclearedClosingLine(const QString& playerFolder, qsizetype held, qsizetype left,
                             const QString& reason, bool heldReturned) {
    QString where =
        QStringLiteral("%1 %2 still on the player").arg(filesCount(left), isOrAre(left));
    if (!heldReturned)
        where = QStringLiteral("%1 in the temporary directory, %2 still on the player")
                    .arg(filesCount(held), filesCount(left));
    else if (held > 0)
        where += QStringLiteral("; %1 of its files went back to the Hard Drive Music Directory")
                     .arg(held);
    return QStringLiteral("The MP3 player folder %1 was not cleared completely: %2. %3")
        .arg(shownPath(playerFolder), where, reason);
}

QString unclearedMessage(const QString& playerFolder, const QString& reason, qsizetype held,
                         qsizetype left, const QString& holdingFolder) {
    return QStringLiteral("The MP3 player folder %1 could not be cleared completely.\n%2\n\n%3 of "
                          "its files %4 now in the temporary directory %5, and %6 %7 still on the "
                          "player. The run goes on, and new music is added beside the files still "
                          "there.")
        .arg(shownPath(playerFolder), reason, QString::number(held), isOrAre(held),
             shownPath(holdingFolder), QString::number(left), isOrAre(left));
}
