#include "fs/RecordFile.h"

#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/OwnTemporaries.h"
#include "fs/PathText.h"
#include "fs/SafeMove.h"
#include "fs/SystemCalls.h"

#include <cerrno>
#include <fcntl.h>

namespace {

bool writeAll(SystemCalls& calls, int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote =
            calls.write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += wrote;
    }
    return true;
}

} // namespace

std::optional<QByteArray> readRecordFile(const QString& path) {
    SystemCalls& calls = *realSystemCalls();
    const int fd = calls.open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return errno == ENOENT ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    QByteArray bytes;
    char buffer[16384];
    ssize_t got = 0;
    while ((got = calls.read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            bytes.append(buffer, got);
    calls.close(fd);
    if (got < 0)
        return std::nullopt;
    return bytes;
}

bool replaceRecordFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    SystemCalls& calls = *realSystemCalls();
    const QByteArray folderPath = encodeFileName(folder);
    QByteArray temporary;
    try {
        temporary = encodeFileName(joinPath(folder, recordedTemporaryName(folderPath)));
    } catch (const AppError&) {
        // Not recorded, so never created.
        return false;
    }
    const int fd = calls.open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = writeAll(calls, fd, bytes) && calls.fsync(fd) == 0;
    const bool closed = calls.close(fd) == 0;
    if (!written || !closed ||
        calls.rename(temporary.constData(), encodeFileName(joinPath(folder, name)).constData()) !=
            0) {
        calls.unlink(temporary.constData());
        return false;
    }
    return syncFolderOf(calls, folderPath) == 0;
}

bool removeRecordFile(const QString& path) {
    return realSystemCalls()->unlink(encodeFileName(path).constData()) == 0 || errno == ENOENT;
}
