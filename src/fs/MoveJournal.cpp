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
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <mutex>
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

// Paths may hold any byte but "\0"; percent-encoded, none holds a space or a line break.
QByteArray journalLine(const RecordedMove& move) {
    QByteArray line =
        move.source.toPercentEncoding("/") + ' ' + move.destination.toPercentEncoding("/");
    if (!move.temporary.isEmpty())
        line += ' ' + move.temporary.toPercentEncoding("/");
    return line + '\n';
}

bool exists(const QByteArray& path) {
    struct stat status {};
    return realSystemCalls()->lstat(path.constData(), &status) == 0;
}

// Not there, in a folder that is: a file whose folder cannot be reached may be on a drive that is
// away, and there again once it is back.
bool goneFrom(const QByteArray& path) {
    struct stat status {};
    if (realSystemCalls()->lstat(path.constData(), &status) == 0 || errno != ENOENT)
        return false;
    return realSystemCalls()->stat(folderOfPath(path).constData(), &status) == 0;
}

// The journal's length once a start has completed what it could: the moves it kept wait for a
// later start, and a run forgets only its own, appended after them.
struct CarriedOver {
    QString journal;
    qint64 size = 0;
};
std::mutex carriedLock;
CarriedOver carried;

// The copy under its final name, never replacing a file there.
bool publish(const QByteArray& temporary, const QByteArray& destination) {
    SystemCalls& calls = *realSystemCalls();
    if (calls.renameNoReplace(temporary.constData(), destination.constData()) == 0)
        return true;
    // A file system without renames that refuse to replace (EINVAL and the like).
    return errno != EEXIST && !exists(destination) &&
           calls.rename(temporary.constData(), destination.constData()) == 0;
}

// True when nothing of the move is left to do.
bool complete(const RecordedMove& move, QSet<QByteArray>& flushedFolders) {
    const auto& [source, destination, temporary] = move;
    if (!exists(source)) {
        if (!goneFrom(source))
            return false;
        // A copy not under its temporary name was published, unless its drive is away now.
        if (temporary.isEmpty() || !exists(temporary))
            return temporary.isEmpty() || goneFrom(temporary);
        // Another file took the name meanwhile: the copy stays, recorded, rather than be lost.
        if (exists(destination) || !publish(temporary, destination))
            return false;
        // A publication that another crash could undo would leave the only copy a temporary.
        return syncFolderOf(*realSystemCalls(), folderOfPath(destination)) == 0;
    }
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
    const QString journal = moveJournal();
    qint64 kept = 0;
    {
        const std::lock_guard<std::mutex> hold(carriedLock);
        if (carried.journal == journal)
            kept = carried.size;
    }
    if (kept == 0)
        QFile::remove(journal);
    else
        QFile(journal).resize(kept);
}

void completeInterruptedMoves() {
    const QString journal = moveJournal();
    QSet<QByteArray> flushedFolders;
    QByteArrayList unsettled;
    for (const QByteArray& line : journalLines(journal)) {
        const QByteArrayList paths = line.split(' ');
        if (paths.size() < 2 || paths.size() > 3 || unsettled.contains(line))
            continue;
        const RecordedMove move{
            QByteArray::fromPercentEncoding(paths[0]), QByteArray::fromPercentEncoding(paths[1]),
            paths.size() == 3 ? QByteArray::fromPercentEncoding(paths[2]) : QByteArray()};
        if (!complete(move, flushedFolders))
            unsettled.append(line);
    }
    keepJournalLines(journal, unsettled, KeptLines);
    const std::lock_guard<std::mutex> hold(carriedLock);
    carried = {journal, QFileInfo(journal).size()};
}

std::optional<QSet<QByteArray>> copiesStillRecorded() {
    QFile journal(moveJournal());
    if (!journal.exists())
        return QSet<QByteArray>();
    if (!journal.open(QIODevice::ReadOnly))
        return std::nullopt;
    QSet<QByteArray> names;
    for (const QByteArray& line : journal.readAll().split('\n')) {
        const QByteArrayList paths = line.split(' ');
        if (paths.size() == 3) {
            const QByteArray copy = QByteArray::fromPercentEncoding(paths[2]);
            names.insert(copy.mid(copy.lastIndexOf('/') + 1));
        }
    }
    return names;
}
