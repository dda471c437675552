#include "fs/JournalFile.h"

#include "fs/FileNameCodec.h"
#include "fs/PathText.h"
#include "fs/SafeMove.h"
#include "fs/SystemCalls.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int appendToJournal(const QString& journal, const QByteArray& lines) {
    const QString folder = splitAtLastSlash(journal).folder;
    if (!QDir().mkpath(folder))
        return EACCES;
    const bool created = !QFile::exists(journal);
    SystemCalls& calls = *realSystemCalls();
    const int fd = calls.open(encodeFileName(journal).constData(),
                              O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int error = 0;
    for (qsizetype done = 0; done < lines.size() && error == 0;) {
        const ssize_t put = calls.write(fd, lines.constData() + done, lines.size() - done);
        if (put > 0)
            done += put;
        else if (put == 0 || errno != EINTR)
            error = put == 0 ? EIO : errno;
    }
    if (error == 0 && calls.fsync(fd) != 0)
        error = errno;
    calls.close(fd);
    if (error == 0 && created)
        error = syncFolderOf(calls, encodeFileName(folder));
    return error;
}

QByteArrayList journalLines(const QString& journal) {
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArrayList lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

void keepJournalLines(const QString& journal, QByteArrayList lines, qsizetype most) {
    if (lines.size() > most)
        lines.remove(0, lines.size() - most);
    if (lines.isEmpty()) {
        QFile::remove(journal);
        return;
    }
    QSaveFile rewritten(journal);
    if (rewritten.open(QIODevice::WriteOnly)) {
        rewritten.write(lines.join('\n') + '\n');
        rewritten.commit();
    }
}
