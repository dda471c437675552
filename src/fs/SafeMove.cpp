#include "fs/SafeMove.h"

#include "fs/AppError.h"
#include "fs/Duplicates.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/OwnTemporaries.h"
#include "fs/PathText.h"
#include "fs/StatTimes.h"
#include "fs/StorableFiles.h"
#include "fs/SystemCalls.h"
#include "fs/VolumeTraits.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <utility>
#include <vector>

namespace {

constexpr size_t CopyChunk = 1 << 20;
constexpr int TemporaryNameAttempts = 100;

bool flagRefused(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool noHardLinks(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

int syncFolderOf(SystemCalls& calls, const QByteArray& folder) {
    const int fd = calls.open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    int error = calls.fsync(fd) == 0 ? 0 : errno;
    if (error == EINVAL || error == EOPNOTSUPP)
        error = 0;
    calls.close(fd);
    return error;
}

class StagedMove::Steps {
public:
    Steps(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
          const QString& destination)
        : m_calls(calls), m_volumes(volumes), m_source(source),
          m_sourcePath(encodeFileName(source)), m_destinationPath(encodeFileName(destination)) {
        const SplitPath to = splitAtLastSlash(destination);
        m_destinationFolder = to.folder;
        m_destinationName = to.name;
        m_destinationFolderPath = encodeFileName(to.folder);
        const SplitPath from = splitAtLastSlash(source);
        m_sourceFolder = from.folder;
        m_fileName = from.name;
    }

    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;
    // A copy that was never finished is taken back: the source stays the only one.
    ~Steps() {
        if (!m_temporary.isEmpty())
            abandonCopy();
    }

    // True when the move is done; false when a copy waits for finish().
    bool start() {
        const dev_t sourceDevice = checkSource();
        // A rename can only join names on one device.
        if (sourceDevice == checkDestination() && renameWithoutReplacing(m_sourcePath)) {
            // The rename itself is the move; flushing the folder only hastens its durability.
            syncFolder();
            return true;
        }
        copyAcross();
        return false;
    }

    // Flushes the copy, publishes it without replacing, flushes its folder and only then deletes
    // the source.
    void finish() {
        try {
            closeCopy(true);
            publish();
        } catch (...) {
            abandonCopy();
            throw;
        }
        if (const int error = syncFolder(); error != 0)
            retractPublished(error);
        deleteSource();
    }

    qint64 copySize() const { return m_copySize; }
    bool published() const { return m_published; }
    GroupFlush groupFlush() const { return m_volume->traits.groupFlush; }
    const QByteArray& sourcePath() const { return m_sourcePath; }
    const QByteArray& destinationPath() const { return m_destinationPath; }
    const QByteArray& destinationFolderPath() const { return m_destinationFolderPath; }
    dev_t destinationDevice() const { return m_destinationDevice; }
    const QByteArray& temporaryPath() const { return m_temporary; }

    // Flushes every file of the copy's volume to the device.
    void syncVolume() {
        if (m_calls.syncfs(m_out) != 0)
            failWriting(errno, 0);
    }

    // Closes the copy, flushing it to the device first when asked. Where published files are
    // flushed again, the copy stays open for that until publish().
    void closeCopy(bool flush) {
        // A file that is not safely on the device is not moved, so the source must stay.
        if (flush && m_calls.fsync(m_out) != 0)
            failWriting(errno, 0);
        if (m_volume->traits.flushPublishedFiles)
            return;
        const int out = std::exchange(m_out, -1);
        if (m_calls.close(out) != 0)
            failWriting(errno, 0);
    }

    void publish() {
        // The temporary file is in the destination folder, so this cannot cross volumes.
        if (!renameWithoutReplacing(m_temporary))
            failErrno(EXDEV);
        m_temporary.clear();
        m_published = true;
        if (m_out >= 0)
            flushPublished();
    }

    int syncFolder() const { return syncFolderOf(m_calls, m_destinationFolderPath); }

    // Music is moved, never copied: a source that cannot be deleted keeps the file where it was,
    // and its published copy goes again, once it is found to hold the same bytes.
    void deleteSource() {
        if (m_calls.unlink(m_sourcePath.constData()) == 0)
            return;
        const int error = errno;
        // Someone else took the source meanwhile: the copy is the only one now. Where its folder
        // is gone too, its drive may be away, and the file may still be there once it is back.
        struct stat status {};
        if (error == ENOENT && m_calls.stat(folderOfPath(m_sourcePath).constData(), &status) == 0)
            return;
        bool copyRemoved = false;
        try {
            copyRemoved = removeDuplicate(m_calls, decodeFileName(m_destinationPath), m_source);
        } catch (const AppError&) {
            // Said below: the file is in both places.
        }
        if (copyRemoved) {
            m_published = false;
            fail(errorNumberForErrno(error),
                 QStringLiteral("it could not be deleted from \"%1\" because %2; its copy was "
                                "removed again, so it stayed where it was")
                     .arg(shownPath(m_sourceFolder), reasonForErrno(error)));
        }
        fail(errorNumberForErrno(error),
             QStringLiteral("it could not be deleted from \"%1\" because %2, and its copy "
                            "could not be removed again, so it now exists in both places")
                 .arg(shownPath(m_sourceFolder), reasonForErrno(error)));
    }

    // Leaves the source the only one: removes the copy, under its final name once published.
    // Fails, saying that the file now exists in both places, when a published copy stays.
    void takeBack() {
        if (!m_published) {
            abandonCopy();
            return;
        }
        m_published = false;
        if (m_calls.unlink(m_destinationPath.constData()) != 0) {
            const int error = errno;
            fail(errorNumberForErrno(error),
                 QStringLiteral("the move could not be finished, and the copy made there could not "
                                "be removed again (%1), so it now exists in both places")
                     .arg(reasonForErrno(error)));
        }
    }

    [[noreturn]] void failErrno(int error) const {
        fail(errorNumberForErrno(error), reasonForErrno(error),
             isOneFileErrno(error) ? AppError::Reach::OneFile : AppError::Reach::Operation);
    }

private:
    [[noreturn]] void fail(std::int32_t number, const QString& reason,
                           AppError::Reach reach = AppError::Reach::Operation) const {
        throw AppError(number, sourceText(FsTask::MovingFile),
                       QStringLiteral("\"%1\" could not be moved to \"%2\": %3.")
                           .arg(m_fileName, shownPath(m_destinationFolder), reason),
                       reach);
    }

    // The source itself cannot be read: that file's own failure, unless its drive is gone.
    [[noreturn]] void failReading(int error) const {
        fail(errorNumberForErrno(error), reasonForErrno(error),
             isVanishedDeviceErrno(error) ? AppError::Reach::Operation : AppError::Reach::OneFile);
    }

    // The destination folder is no longer the one the run found at its start.
    [[noreturn]] void failUnplugged() const { failErrno(ENODEV); }

    // The destination's name is taken, said as it is: a folder of that name, the name in other
    // letters, or a file of that very name. Looked up only once the name is known to be taken.
    [[noreturn]] void failNameTaken() const {
        QString stored = m_destinationName;
        std::vector<FolderEntry> entries;
        if (m_calls.listFolder(m_destinationFolderPath.constData(), entries) == 0) {
            for (const FolderEntry& entry : entries) {
                const QString name = decodeFileName(entry.name);
                if (name == m_destinationName) {
                    stored = name;
                    break;
                }
                if (name.compare(m_destinationName, Qt::CaseInsensitive) == 0)
                    stored = name;
            }
        }
        struct stat status {};
        const bool folder =
            m_calls.lstat(encodeFileName(joinPath(m_destinationFolder, stored)).constData(),
                          &status) == 0 &&
            S_ISDIR(status.st_mode);
        const QString reason =
            folder ? QStringLiteral("a folder of that name is there")
            : stored != m_destinationName
                ? QStringLiteral("\"%1\", the same name in other letters, is already there")
                      .arg(stored)
                : reasonForErrno(EEXIST);
        fail(ErrorNumber::FileAlreadyExists, reason, AppError::Reach::OneFile);
    }

    // A failure while bytes were being written: the disk-full error where the device says so, and
    // also where it answers otherwise (fusefat says EPERM) while it has less room left than was
    // still to be written.
    [[noreturn]] void failWriting(int error, qint64 stillToWrite) const {
        if (errorNumberForErrno(error) == ErrorNumber::DiskFull)
            failErrno(error);
        // Too large for the drive's file system: a smaller file still fits.
        if (error == EFBIG)
            fail(ErrorNumber::FileTooLarge, reasonForErrno(error), AppError::Reach::OneFile);
        struct statvfs volume {};
        if (stillToWrite > 0 &&
            m_calls.statvfs(m_destinationFolderPath.constData(), &volume) == 0 &&
            static_cast<unsigned long long>(volume.f_bavail) * volume.f_frsize <
                static_cast<unsigned long long>(stillToWrite))
            failErrno(ENOSPC);
        failErrno(error);
    }

    // The source's device.
    dev_t checkSource() {
        struct stat status {};
        if (m_calls.lstat(m_sourcePath.constData(), &status) != 0) {
            const int error = errno;
            if (error == ENOENT || error == ENOTDIR)
                throw AppError(
                    ErrorNumber::FileNotFound, sourceText(FsTask::MovingFile),
                    QStringLiteral("\"%1\" could not be moved: it does not exist in \"%2\".")
                        .arg(m_fileName, shownPath(m_sourceFolder)),
                    AppError::Reach::OneFile);
            failReading(error);
        }
        if (!S_ISREG(status.st_mode))
            throw AppError(ErrorNumber::FileNotFound, sourceText(FsTask::MovingFile),
                           QStringLiteral("\"%1\" could not be moved: it is not a file.")
                               .arg(shownPath(m_source)),
                           AppError::Reach::OneFile);
        return status.st_dev;
    }

    // The destination folder's device.
    dev_t checkDestination() {
        struct stat status {};
        if (m_calls.stat(m_destinationFolderPath.constData(), &status) != 0) {
            const int error = errno;
            if (error != ENOENT && error != ENOTDIR)
                failErrno(error);
            if (m_volumes.isPinned(m_destinationFolder))
                failUnplugged();
            fail(ErrorNumber::PathNotFound, QStringLiteral("the folder does not exist"));
        }
        if (!m_volumes.matchesPin(m_destinationFolder, status))
            failUnplugged();
        if (!S_ISDIR(status.st_mode))
            fail(ErrorNumber::PathNotFound, QStringLiteral("that is not a folder"));
        if (m_destinationName.isEmpty())
            fail(ErrorNumber::BadFileName, QStringLiteral("no file name was given"));
        m_volume = &m_volumes.of(status.st_dev, m_destinationFolder);
        m_destinationDevice = status.st_dev;
        const QString problem = nameProblemOn(m_volume->traits, m_destinationName);
        if (!problem.isEmpty())
            fail(ErrorNumber::BadFileName, problem, AppError::Reach::OneFile);
        ensureNameFree();
        return status.st_dev;
    }

    // Fails with FileAlreadyExists when the destination folder holds the name; on a case-
    // insensitive volume, in any letter case. There one lstat is enough where the volume's own
    // lookup ignores case; for names beyond ASCII the folder is listed all the same, since some
    // drivers fold only ASCII letters.
    void ensureNameFree() const {
        const bool lookupSuffices =
            !m_volume->traits.caseInsensitive ||
            (m_volume->lookupIgnoresCase.value_or(false) && isAscii(m_destinationName));
        if (!lookupSuffices) {
            std::vector<FolderEntry> entries;
            if (m_calls.listFolder(m_destinationFolderPath.constData(), entries) != 0)
                failErrno(errno);
            for (const FolderEntry& entry : entries) {
                if (decodeFileName(entry.name).compare(m_destinationName, Qt::CaseInsensitive) == 0)
                    failNameTaken();
            }
            return;
        }
        struct stat status {};
        if (m_calls.lstat(m_destinationPath.constData(), &status) == 0)
            failNameTaken();
        if (errno != ENOENT)
            failErrno(errno);
    }

    // Gives the file at from the destination's name without ever replacing a file there, in the
    // first way the volume allows: a rename that refuses to replace, a hard link whose old name is
    // then dropped, or a check of the name and a plain rename. False, with nothing done, where the
    // two names turn out to be on different volumes.
    bool renameWithoutReplacing(const QByteArray& from) {
        const char* to = m_destinationPath.constData();
        if (!m_volume->refusesNoReplace) {
            if (m_calls.renameNoReplace(from.constData(), to) == 0)
                return true;
            const int error = errno;
            if (error == EXDEV)
                return false;
            if (error == EEXIST)
                failNameTaken();
            if (!flagRefused(error))
                failErrno(error);
            m_volume->refusesNoReplace = true;
        }
        if (!m_volume->refusesHardLinks) {
            if (m_calls.link(from.constData(), to) == 0) {
                if (m_calls.unlink(from.constData()) != 0)
                    retractPublished(errno);
                return true;
            }
            const int error = errno;
            if (error == EXDEV)
                return false;
            if (error == EEXIST)
                failNameTaken();
            if (!noHardLinks(error))
                failErrno(error);
            m_volume->refusesHardLinks = true;
        }
        ensureNameFree();
        if (m_calls.rename(from.constData(), to) == 0)
            return true;
        const int error = errno;
        if (error == EXDEV)
            return false;
        failErrno(error);
    }

    void copyAcross() {
        const int in = m_calls.open(m_sourcePath.constData(), O_RDONLY | O_CLOEXEC | OpenToMove, 0);
        if (in < 0)
            failReading(errno);
        try {
            copyFrom(in);
        } catch (...) {
            m_calls.close(in);
            throw;
        }
        m_calls.close(in);
    }

    void copyFrom(int in) {
        struct stat status {};
        if (m_calls.fstat(in, &status) != 0)
            failReading(errno);
        m_temporary = createTemporary(status);
        m_copySize = status.st_size;
        try {
            ensureOnPinnedDevice();
            learnLookupOfCase();
            writeTemporary(in, status);
        } catch (...) {
            abandonCopy();
            throw;
        }
    }

    void abandonCopy() {
        if (m_out >= 0)
            m_calls.close(m_out);
        m_out = -1;
        m_calls.unlink(m_temporary.constData());
        m_temporary.clear();
    }

    // The folder was checked a moment before the temporary file was made in it; the file itself
    // shows whether the drive went away in between and the path now leads to another one.
    void ensureOnPinnedDevice() const {
        if (!m_volumes.isPinned(m_destinationFolder))
            return;
        struct stat status {};
        if (m_calls.fstat(m_out, &status) != 0)
            failErrno(errno);
        if (!m_volumes.onPinnedDevice(m_destinationFolder, status.st_dev))
            failUnplugged();
    }

    // Our temporary file has a name no one else uses: finding it under that name in capitals
    // shows that the volume's lookup ignores letter case.
    void learnLookupOfCase() {
        if (!m_volume->traits.caseInsensitive || m_volume->lookupIgnoresCase.has_value())
            return;
        struct stat status {};
        m_volume->lookupIgnoresCase =
            m_calls.lstat(encodeFileName(joinPath(m_destinationFolder, m_temporaryName.toUpper()))
                              .constData(),
                          &status) == 0;
    }

    QByteArray createTemporary(const struct stat& status) {
        for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
            m_temporaryName = recordedTemporaryName(m_destinationFolderPath);
            QByteArray path = encodeFileName(joinPath(m_destinationFolder, m_temporaryName));
            m_out = m_calls.open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                 status.st_mode & 0777);
            if (m_out >= 0)
                return path;
            // The folder was there a moment ago: the drive's driver refused the new file
            // (fusefat does, after a few dozen renames in a folder).
            if (errno == ENOENT)
                fail(ErrorNumber::PathFileAccess, createRefusedReason());
            if (errno != EEXIST)
                failWriting(errno, status.st_size);
        }
        failErrno(EEXIST);
    }

    void writeTemporary(int in, const struct stat& status) {
        std::vector<char> buffer(CopyChunk);
        qint64 written = 0;
        for (;;) {
            const ssize_t got = m_calls.read(in, buffer.data(), buffer.size());
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                failReading(errno);
            }
            if (got == 0)
                break;
            const char* next = buffer.data();
            size_t left = static_cast<size_t>(got);
            while (left > 0) {
                const ssize_t put = m_calls.write(m_out, next, left);
                if (put < 0 && errno == EINTR)
                    continue;
                if (put <= 0)
                    failWriting(put < 0 ? errno : ENOSPC, status.st_size - written);
                next += put;
                left -= static_cast<size_t>(put);
                written += put;
            }
        }
        const struct timespec times[2] = {accessTimeOf(status), modificationTimeOf(status)};
        if (m_calls.futimens(m_out, times) != 0)
            failErrno(errno);
    }

    // The copy, still open, flushed under its final name; a copy that cannot be is taken back.
    void flushPublished() {
        const int out = std::exchange(m_out, -1);
        int error = m_calls.fsync(out) == 0 ? 0 : errno;
        if (m_calls.close(out) != 0 && error == 0)
            error = errno;
        if (error == 0)
            return;
        m_published = false;
        retractPublished(error);
    }

    // The file is under its final name but the move cannot be finished: take that name back so the
    // source stays the only one, or say that there are two.
    [[noreturn]] void retractPublished(int error) const {
        if (m_calls.unlink(m_destinationPath.constData()) == 0)
            failErrno(error);
        fail(errorNumberForErrno(error),
             QStringLiteral("%1, and the copy made there could not be removed again, so it now "
                            "exists in both places")
                 .arg(reasonForErrno(error)));
    }

    SystemCalls& m_calls;
    KnownVolumes& m_volumes;
    KnownVolumes::Volume* m_volume = nullptr;
    dev_t m_destinationDevice = 0;
    QString m_source;
    QByteArray m_sourcePath;
    QByteArray m_destinationPath;
    QString m_sourceFolder;
    QString m_fileName;
    QString m_destinationFolder;
    QString m_destinationName;
    QByteArray m_destinationFolderPath;
    QString m_temporaryName;
    // The copy while it is ours to remove: from its creation until it is published.
    QByteArray m_temporary;
    int m_out = -1;
    qint64 m_copySize = 0;
    // Published under the final name while the source is still there.
    bool m_published = false;
};

void moveFileSafely(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
                    const QString& destination) {
    StagedMove move(calls, volumes, source, destination);
    if (!move.start())
        move.finish();
}

StagedMove::StagedMove(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
                       const QString& destination)
    : m_move(std::make_unique<Steps>(calls, volumes, source, destination)) {}

StagedMove::~StagedMove() = default;

bool StagedMove::start() {
    return m_move->start();
}

void StagedMove::finish() {
    m_move->finish();
}

qint64 StagedMove::copySize() const {
    return m_move->copySize();
}

GroupFlush StagedMove::groupFlush() const {
    return m_move->groupFlush();
}

const QByteArray& StagedMove::sourcePath() const {
    return m_move->sourcePath();
}

const QByteArray& StagedMove::destinationPath() const {
    return m_move->destinationPath();
}

const QByteArray& StagedMove::destinationFolderPath() const {
    return m_move->destinationFolderPath();
}

dev_t StagedMove::destinationDevice() const {
    return m_move->destinationDevice();
}

const QByteArray& StagedMove::temporaryPath() const {
    return m_move->temporaryPath();
}

void StagedMove::syncVolume() {
    m_move->syncVolume();
}

void StagedMove::closeCopy(bool flush) {
    m_move->closeCopy(flush);
}

void StagedMove::publish() {
    m_move->publish();
}

int StagedMove::syncFolder() const {
    return m_move->syncFolder();
}

void StagedMove::fail(int error) const {
    m_move->failErrno(error);
}

void StagedMove::deleteSource() {
    m_move->deleteSource();
}

bool StagedMove::published() const {
    return m_move->published();
}

void StagedMove::takeBack() {
    m_move->takeBack();
}
