#include "fs/MoveJournal.h"

#include "fs/AppError.h"
#include "fs/Duplicates.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/JournalFile.h"
#include "fs/OwnTemporaries.h"
#include "fs/PathText.h"
#include "fs/SafeMove.h"
#include "fs/SystemCalls.h"

#include <QFile>
#include <QSet>
#include <sys/stat.h>

namespace {

// Beyond this many unsettled moves the oldest are dropped; a move stays unsettled only while its
// destination's volume is away, and a crash leaves at most one group of those.
constexpr qsizetype KeptLines = 4096;

[[noreturn]] void failRecord(int error) {
    throw AppError(errorNumberForErrno(error), sourceText(FsTask::MovingFile),
                   QStringLiteral("The move could not be noted in \"%1\", the record that lets the "
                                  "next start finish it after a crash: %2.")
                       .arg(shownPath(moveJournal()), reasonForErrno(error)));
}

// Paths may hold any byte but "\0"; percent-encoded, neither holds a space or a line break.
QByteArray journalLine(const RecordedMove& move) {
    return move.first.toPercentEncoding("/") + ' ' + move.second.toPercentEncoding("/") + '\n';
}

bool exists(const QByteArray& path) {
    struct stat status {};
    return realSystemCalls()->lstat(path.constData(), &status) == 0;
}

// True when nothing of the move is left to do.
bool complete(const RecordedMove& move, QSet<QByteArray>& flushedFolders) {
    const auto& [source, destination] = move;
    if (!exists(source))
        return true;
    if (!exists(destination)) {
        // Never published, or the destination's volume is away.
        struct stat status {};
        return realSystemCalls()->stat(folderOfPath(destination).constData(), &status) == 0;
    }
    // The publication may not have reached the device before the crash.
    const QByteArray folder = folderOfPath(destination);
    if (!flushedFolders.contains(folder)) {
        if (syncFolderOf(*realSystemCalls(), folder) != 0)
            return false;
        flushedFolders.insert(folder);
    }
    try {
        // A different file under that name is not ours to judge; the source then stays.
        removeDuplicate(*realSystemCalls(), decodeFileName(source), decodeFileName(destination));
        return true;
    } catch (const AppError&) {
        return false;
    }
}

} // namespace

QString moveJournal() {
    return splitAtLastSlash(ownTemporariesJournal()).folder + QStringLiteral("/moves");
}

void recordMoves(const std::vector<RecordedMove>& moves) {
    QByteArray lines;
    for (const RecordedMove& move : moves)
        lines += journalLine(move);
    if (const int error = appendToJournal(moveJournal(), lines); error != 0)
        failRecord(error);
}

void forgetRecordedMoves() {
    QFile::remove(moveJournal());
}

void completeInterruptedMoves() {
    const QString journal = moveJournal();
    QSet<QByteArray> flushedFolders;
    QByteArrayList unsettled;
    for (const QByteArray& line : journalLines(journal)) {
        const QByteArrayList paths = line.split(' ');
        if (paths.size() != 2 || unsettled.contains(line))
            continue;
        const RecordedMove move{QByteArray::fromPercentEncoding(paths[0]),
                                QByteArray::fromPercentEncoding(paths[1])};
        if (!complete(move, flushedFolders))
            unsettled.append(line);
    }
    keepJournalLines(journal, unsettled, KeptLines);
}
