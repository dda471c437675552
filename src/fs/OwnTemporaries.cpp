#include "fs/OwnTemporaries.h"

#include "fs/AppError.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String Prefix(".~quavex-");
const QLatin1String Suffix(".part");

// Moves on a worker thread record while nothing else does; the lock keeps the journal whole
// should that ever change.
std::mutex journalLock;

[[noreturn]] void failRecord(int error, const QByteArray& path) {
    throw AppError(errorNumberForErrno(error), fsoSource(),
                   QStringLiteral("The temporary file \"%1\" could not be recorded in \"%2\": %3.")
                       .arg(decodeFileName(path), ownTemporariesJournal(), reasonForErrno(error)));
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

// One journal line per path; percent-encoded, since a path may hold any byte but "\0".
QByteArray journalLine(const QByteArray& path) {
    return path.toPercentEncoding("/") + '\n';
}

bool folderExists(const QByteArray& path) {
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// True when the recorded path is settled: removed now, gone from a folder that is there, or no
// longer a temporary of ours (then it is not ours to touch).
bool settle(const QByteArray& path) {
    // Split as bytes: the folder's name need not be text.
    const qsizetype slash = path.lastIndexOf('/');
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0)
        return errno == ENOENT && folderExists(slash > 0 ? path.left(slash) : QByteArray("/"));
    if (!S_ISREG(status.st_mode) || !isOwnTemporaryName(decodeFileName(path.mid(slash + 1))))
        return true;
    return ::unlink(path.constData()) == 0;
}

} // namespace

bool isOwnTemporaryName(const QString& name) {
    return name.size() > Prefix.size() + Suffix.size() && name.startsWith(Prefix) &&
           name.endsWith(Suffix);
}

QString newOwnTemporaryName() {
    static std::atomic<unsigned> counter{0};
    return Prefix + QStringLiteral("%1-%2").arg(::getpid()).arg(++counter) + Suffix;
}

QString ownTemporariesJournal() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quavex/temporaries");
}

void recordOwnTemporary(const QByteArray& path) {
    const std::lock_guard<std::mutex> hold(journalLock);
    const QString journal = ownTemporariesJournal();
    const QString folder = splitAtLastSlash(journal).folder;
    if (!QDir().mkpath(folder))
        failRecord(EACCES, path);
    const QByteArray journalPath = encodeFileName(journal);
    const bool created = !QFile::exists(journal);
    const int fd = ::open(journalPath.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        failRecord(errno, path);
    if (!writeAll(fd, journalLine(path)) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        failRecord(error, path);
    }
    ::close(fd);
    if (created) {
        const int folderFd =
            ::open(encodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0) {
            ::fsync(folderFd);
            ::close(folderFd);
        }
    }
}

void removeRecordedTemporaries() {
    const std::lock_guard<std::mutex> hold(journalLock);
    const QString journal = ownTemporariesJournal();
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArrayList lines = file.readAll().split('\n');
    file.close();
    QByteArray unsettled;
    for (const QByteArray& line : lines) {
        const QByteArray path = QByteArray::fromPercentEncoding(line);
        if (!line.isEmpty() && !settle(path))
            unsettled += journalLine(path);
    }
    if (unsettled.isEmpty()) {
        QFile::remove(journal);
        return;
    }
    QSaveFile rewritten(journal);
    if (rewritten.open(QIODevice::WriteOnly)) {
        rewritten.write(unsettled);
        rewritten.commit();
    }
}
