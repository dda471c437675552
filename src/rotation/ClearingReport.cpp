#include "rotation/ClearingReport.h"

QString unclearedLine(const QString& playerFolder, qsizetype held, qsizetype left) {
    return QStringLiteral("The MP3 player folder %1 was not cleared completely: %2 files are "
                          "held, %3 are still on the player")
        .arg(playerFolder)
        .arg(held)
        .arg(left);
}

QString unclearedMessage(const QString& playerFolder, const QString& reason, qsizetype held,
                         qsizetype left, const QString& holdingFolder) {
    return QStringLiteral("The MP3 player folder %1 could not be cleared completely.\n%2\n\n%3 of "
                          "its files are now in the holding folder %4 and %5 are still on the "
                          "player. The run goes on, and new music is added beside the files still "
                          "there.")
        .arg(playerFolder, reason)
        .arg(held)
        .arg(holdingFolder)
        .arg(left);
}
