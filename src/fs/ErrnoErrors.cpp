#include "fs/ErrnoErrors.h"

#include "fs/AppError.h"

#include <cerrno>
#include <cstring>

std::int32_t errorNumberForErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return ErrorNumber::DiskFull;
    case EFBIG:
        return ErrorNumber::FileTooLarge;
    case ENOENT:
        return ErrorNumber::FileNotFound;
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case EEXIST:
        return ErrorNumber::FileAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
        return ErrorNumber::PermissionDenied;
    case EIO:
        return ErrorNumber::DeviceIO;
    case ENODEV:
    case ENXIO:
    case ENOTCONN:
    case ENOMEDIUM:
        return ErrorNumber::DeviceUnavailable;
    case ENAMETOOLONG:
    case EILSEQ:
        return ErrorNumber::BadFileName;
    case ENOLINK:
        return ErrorNumber::DeviceIO;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

QString reasonForErrno(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk space this account may use on the drive is used up");
    case EFBIG:
        return QStringLiteral("the file is too large for the drive's file system");
    case ENOENT:
        return QStringLiteral("it does not exist");
    case ENOTDIR:
        return QStringLiteral("a part of the path is not a folder");
    case EEXIST:
        return QStringLiteral("a file of that name already exists");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission was denied");
    case EBUSY:
        return QStringLiteral("it is in use by another program");
    case ENOLINK:
        return QStringLiteral("it is kept online only and could not be downloaded");
    case EROFS:
        return QStringLiteral("the drive is read-only (write-protected or mounted read-only)");
    case EIO:
        return QStringLiteral("the drive could not read or write the data; it may be failing or "
                              "have been unplugged");
    case ENODEV:
    case ENXIO:
    case ENOTCONN:
        return QStringLiteral("the drive is no longer connected; it may have been unplugged");
    case ENOMEDIUM:
        return QStringLiteral("there is no disk or card in the drive");
    case ENAMETOOLONG:
        return QStringLiteral("the name is too long");
    case EILSEQ:
        return QStringLiteral("the drive does not accept the name");
    default:
        // The system's own text is a sentence of its own, quoted after its number.
        return QStringLiteral("the system gave error %1, \"%2\"")
            .arg(QString::number(error), QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString createRefusedReason() {
    return QStringLiteral("the drive refused to create it");
}

bool isOneFileErrno(int error) {
    return error == EBUSY || error == ENOLINK;
}

bool isVanishedDeviceErrno(int error) {
    return error == EIO || error == ENODEV || error == ENXIO || error == ENOTCONN ||
           error == ENOMEDIUM;
}

QString sourceText(FsTask task) {
    switch (task) {
    case FsTask::MovingFile:
        return QStringLiteral("File transfer:");
    case FsTask::ReadingFolder:
        return QStringLiteral("Folder listing:");
    case FsTask::MakingFolder:
        return QStringLiteral("New folder:");
    case FsTask::RemovingFolder:
        return QStringLiteral("Folder removal:");
    case FsTask::ComparingFiles:
        return QStringLiteral("File comparison:");
    case FsTask::RecordingTemporaries:
        return QStringLiteral("Temporary files:");
    }
    return {};
}
