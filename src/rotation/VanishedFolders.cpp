#include "rotation/VanishedFolders.h"

#include "fs/PathText.h"
#include "rotation/Plural.h"

QString playerUnpluggedDuringFill(const QString& playerFolder, qint64 moved) {
    return QStringLiteral("The player \"%1\" was unplugged during the run: %2 reached it, the rest "
                          "are still in the Hard Drive Music Directory.")
        .arg(shownPath(playerFolder), filesCount(moved));
}

QString playerUnpluggedDuringClearing(const QString& playerFolder, qint64 held, bool heldReturned) {
    if (heldReturned && held == 0)
        return QStringLiteral("The player \"%1\" was unplugged during the run: its files are still "
                              "on it.")
            .arg(shownPath(playerFolder));
    return QStringLiteral("The player \"%1\" was unplugged during the run: %2 of its files %3 "
                          "%4, the rest are still on the player.")
        .arg(shownPath(playerFolder), QString::number(held),
             forCount(held, QStringLiteral("was"), QStringLiteral("were")),
             heldReturned ? QStringLiteral("moved back to the Hard Drive Music Directory")
                          : QStringLiteral("moved to the temporary directory"));
}

QString musicFolderGoneDuringFill(const QString& musicFolder, qint64 moved) {
    return QStringLiteral("The Hard Drive Music Directory \"%1\" went away during the run (its "
                          "drive may have been unplugged): %2 reached the player, the rest are "
                          "still in that folder.")
        .arg(shownPath(musicFolder), filesCount(moved));
}
