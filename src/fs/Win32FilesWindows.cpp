#include "fs/Win32Files.h"

#include <QDir>
#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <windows.h>

namespace {

// Not in MinGW's headers.
constexpr DWORD ErrorDiskQuotaExceeded = 1295;

// A file kept online only whose download failed: ERROR_CLOUD_FILE_PROVIDER_NOT_RUNNING, its
// INVALID_REQUEST, AUTHENTICATION_FAILED, INSUFFICIENT_RESOURCES, NETWORK_UNAVAILABLE,
// UNSUCCESSFUL, REQUEST_ABORTED, ACCESS_DENIED, REQUEST_CANCELED, PROVIDER_TERMINATED and
// REQUEST_TIMEOUT (not in MinGW's headers either), and ERROR_FILE_OFFLINE.
bool isCloudFileError(DWORD error) {
    static constexpr std::array<DWORD, 12> errors{362, 380, 386, 387, 388, 389,
                                                  393, 395, 398, 404, 426, ERROR_FILE_OFFLINE};
    return std::find(errors.begin(), errors.end(), error) != errors.end();
}

} // namespace

int errnoForWindowsError(unsigned long error) {
    if (isCloudFileError(error))
        return ENOLINK;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    // ERROR_CANNOT_MAKE: a FAT root whose entries are all taken, or a folder at 65,534 entries.
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_CANNOT_MAKE:
        return ENOSPC;
    case ErrorDiskQuotaExceeded:
        return EDQUOT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    // Another program holds the file: an antivirus scan, Explorer reading tags, a player playing
    // it, a sync client.
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_DELETE_PENDING:
        return EBUSY;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    // A card reader whose card was taken out keeps its letter.
    case ERROR_NOT_READY:
    case ERROR_NO_MEDIA_IN_DRIVE:
        return ENOMEDIUM;
    case ERROR_DEV_NOT_EXIST:
        return ENXIO;
    case ERROR_INVALID_NAME:
        return EILSEQ;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return EOPNOTSUPP;
    default:
        return EIO;
    }
}

WindowsEntry windowsEntryOf(unsigned long attributes, unsigned long reparseTag) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(reparseTag))
        return WindowsEntry::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return WindowsEntry::Folder;
    constexpr unsigned long HiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((attributes & HiddenSystem) == HiddenSystem)
        return WindowsEntry::Other;
    return WindowsEntry::File;
}

namespace {

// "C:\Music\Song.mp3" or "\\server\share\Song.mp3": none of its parts empty, "." or "..".
bool isPlainAbsolute(const QString& native) {
    const bool drive = native.size() >= 3 && native[0].isLetter() &&
                       native[1] == QLatin1Char(':') && native[2] == QLatin1Char('\\');
    const bool share = native.startsWith(QLatin1String("\\\\")) && native.size() > 2;
    if (!drive && !share)
        return false;
    QStringList parts = native.mid(drive ? 3 : 2).split(QLatin1Char('\\'));
    // A folder's path may end in its separator.
    if (parts.size() > 1 && parts.back().isEmpty())
        parts.pop_back();
    return std::none_of(parts.begin(), parts.end(), [&](const QString& part) {
        return part == QLatin1String(".") || part == QLatin1String("..") ||
               (part.isEmpty() && parts.size() > 1);
    });
}

} // namespace

QString extendedLengthPath(const QString& path) {
    static const QString prefix = QStringLiteral("\\\\?\\");
    QString native = QDir::toNativeSeparators(path);
    if (native.startsWith(prefix) || native.startsWith(QLatin1String("\\\\.\\")))
        return native;
    // An absolute path with nothing to resolve is prefixed as it is: making it absolute again
    // would trim a name's trailing dots and spaces and read device names, which the prefix is
    // there to prevent.
    if (isPlainAbsolute(native))
        return native.startsWith(QLatin1String("\\\\"))
                   ? prefix + QStringLiteral("UNC\\") + native.mid(2)
                   : prefix + native;
    const std::wstring given = native.toStdWString();
    std::wstring full(given.size() + MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length =
            GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    // A path Windows cannot make absolute goes as it was; the call then fails on it.
    if (length == 0 || length >= full.size())
        return native;
    const QString absolute = QString::fromWCharArray(full.data(), length);
    if (absolute.startsWith(QLatin1String("\\\\")))
        return prefix + QStringLiteral("UNC\\") + absolute.mid(2);
    return prefix + absolute;
}
