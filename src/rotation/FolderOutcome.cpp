#include "rotation/FolderOutcome.h"

#include "fs/PathText.h"

namespace {

// A reason that is a sentence of its own ends in one full stop.
QString sentence(const QString& text) {
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

} // namespace

QString playerFolderName(std::uint8_t which) {
    return which == 1 ? QStringLiteral("internal memory") : QStringLiteral("external card");
}

QString notFilledLine(std::uint8_t which, qint64 moved, const QString& reason) {
    return QStringLiteral("The %1 was not filled%2. %3")
        .arg(playerFolderName(which), moved > 0 ? QStringLiteral(" completely") : QString(),
             sentence(reason));
}

QString leftOutOfRunLine(std::uint8_t which, const QString& reason) {
    return QStringLiteral("The %1 was left out: %2.").arg(playerFolderName(which), reason);
}

QString heldFilesWaitLine(const QString& holdingFolder) {
    return QStringLiteral("The player's previous files are waiting in %1; the next run moves them "
                          "into the Hard Drive Music Directory.")
        .arg(shownPath(holdingFolder));
}
