#include "fs/OwnTemporaries.h"

#include "fs/AppError.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/JournalFile.h"
#include "fs/MoveJournal.h"
#include "fs/PathText.h"
#include "fs/StateFolder.h"
#include "fs/SystemCalls.h"

#include <QByteArrayList>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace {

const QLatin1String Prefix(".~quavex-");
const QLatin1String Suffix(".part");

// Moves on a worker thread record while nothing else does; the lock keeps the journal whole
// should that ever change.
std::mutex journalLock;

// At most this many lines are kept for folders that are not there at a start (a card taken out);
// beyond them the oldest are dropped, and with them at worst a stray temporary, never music.
constexpr qsizetype KeptLines = 256;

// The folders for which the journal names this process's temporaries, as it stands now.
QSet<QByteArray>& recordedFolders() {
    static QSet<QByteArray> folders;
    return folders;
}

// What every temporary name of this process starts with.
QByteArray processPrefix() {
    return QByteArray(Prefix.data(), Prefix.size()) + QByteArray::number(::getpid()) + '-';
}

[[noreturn]] void failRecord(int error, const QByteArray& folder) {
    throw AppError(
        errorNumberForErrno(error), sourceText(FsTask::RecordingTemporaries),
        QStringLiteral("The temporary files in \"%1\" could not be recorded in \"%2\": %3.")
            .arg(shownPath(decodeFileName(folder)), shownPath(ownTemporariesJournal()),
                 reasonForErrno(error)));
}

// A line is a folder's path, "/" and a process's name prefix; percent-encoded, since a path may
// hold any byte but "\0".
QByteArray journalLine(const QByteArray& pathPrefix) {
    return pathPrefix.toPercentEncoding("/") + '\n';
}

void record(const QByteArray& folder) {
    if (const int error =
            appendToJournal(ownTemporariesJournal(), journalLine(folder + '/' + processPrefix()));
        error != 0)
        failRecord(error, folder);
}

// True when the line is settled: its folder is there and holds no temporary of ours with the
// line's prefix any more (each is removed now). Only regular files with our temporary names are
// ever touched.
bool settle(const QByteArray& pathPrefix, const QSet<QByteArray>& kept) {
    // Split as bytes: the folder's name need not be text.
    const qsizetype slash = pathPrefix.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? pathPrefix.left(slash) : QByteArray("/");
    const QByteArray prefix = pathPrefix.mid(slash + 1);
    std::vector<FolderEntry> entries;
    if (prefix.isEmpty() || realSystemCalls()->listFolder(folder.constData(), entries) != 0)
        return prefix.isEmpty();
    bool settled = true;
    for (const FolderEntry& entry : entries) {
        if (!entry.regularFile || !entry.name.startsWith(prefix) ||
            !isOwnTemporaryName(decodeFileName(entry.name)))
            continue;
        if (kept.contains(entry.name) ||
            realSystemCalls()->unlink((folder + '/' + entry.name).constData()) != 0)
            settled = false;
    }
    return settled;
}

} // namespace

bool isOwnTemporaryName(const QString& name) {
    if (name.size() <= Prefix.size() + Suffix.size() || !name.startsWith(Prefix) ||
        !name.endsWith(Suffix))
        return false;
    // Exactly "<process id>-<counter>" between them, as newOwnTemporaryName writes it.
    const QStringView numbers =
        QStringView(name).mid(Prefix.size(), name.size() - Prefix.size() - Suffix.size());
    const qsizetype dash = numbers.indexOf(QLatin1Char('-'));
    const auto digits = [](QStringView part) {
        return !part.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    };
    return dash > 0 && digits(numbers.left(dash)) && digits(numbers.mid(dash + 1));
}

QString newOwnTemporaryName() {
    static std::atomic<unsigned> counter{0};
    return Prefix + QStringLiteral("%1-%2").arg(::getpid()).arg(++counter) + Suffix;
}

QString ownTemporariesJournal() {
    return userStateFolder() + QStringLiteral("/quavex/temporaries");
}

QString recordedTemporaryName(const QByteArray& folder) {
    const std::lock_guard<std::mutex> hold(journalLock);
    if (!recordedFolders().contains(folder)) {
        record(folder);
        recordedFolders().insert(folder);
    }
    return newOwnTemporaryName();
}

void removeRecordedTemporaries() {
    const std::lock_guard<std::mutex> hold(journalLock);
    // The journal is written anew without this process's lines, which are recorded again on use.
    recordedFolders().clear();
    const QString journal = ownTemporariesJournal();
    const std::optional<QSet<QByteArray>> kept = copiesStillRecorded();
    if (!kept)
        return;
    QByteArrayList unsettled;
    for (const QByteArray& line : journalLines(journal)) {
        if (!unsettled.contains(line) && !settle(QByteArray::fromPercentEncoding(line), *kept))
            unsettled.append(line);
    }
    keepJournalLines(journal, unsettled, KeptLines);
}
