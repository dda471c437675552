#include "fs/ErrnoErrors.h"

#include "fs/AppError.h"

#include <cerrno>
#include <cstring>

std::int32_t errorNumberForErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case ENOENT:
        return ErrorNumber::FileNotFound;
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case EEXIST:
        return ErrorNumber::FileAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
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
    default:
        return ErrorNumber::PathFileAccess;
    }
}

QString reasonForErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("the disk is full");
    case ENOENT:
        return QStringLiteral("it does not exist");
    case ENOTDIR:
        return QStringLiteral("a part of the path is not a folder");
    case EEXIST:
        return QStringLiteral("a file of that name already exists");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission was denied");
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case EIO:
        return QStringLiteral("the device reported an input/output error");
    case ENODEV:
    case ENXIO:
    case ENOTCONN:
    case ENOMEDIUM:
        return QStringLiteral("the device is no longer available");
    case ENAMETOOLONG:
        return QStringLiteral("the name is too long");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool isVanishedDeviceErrno(int error) {
    return error == EIO || error == ENODEV || error == ENXIO || error == ENOTCONN ||
           error == ENOMEDIUM;
}

QString fsoSource() {
    return QStringLiteral("Fso");
}
