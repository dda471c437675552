#include "controls/FolderScan.h"

#include "controls/DriveText.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"

#include <QDir>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#endif
#else
#include "fs/SystemCalls.h"
#endif

#ifdef Q_OS_UNIX

namespace {

EntryType typeOf(unsigned char type) {
    switch (type) {
    case DT_REG:
        return EntryType::File;
    case DT_DIR:
        return EntryType::Folder;
    case DT_LNK:
        return EntryType::Link;
    case DT_UNKNOWN:
        return EntryType::Unknown;
    default:
        return EntryType::Other;
    }
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

} // namespace

FolderHandle::FolderHandle(const QString& path, int& error) {
    m_fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error = m_fd < 0 ? errno : 0;
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

FolderHandle::~FolderHandle() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderHandle::isOpen() const {
    return m_fd >= 0;
}

#ifdef Q_OS_LINUX

namespace {

// The record getdents64 fills in; glibc declares no type for it.
struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

} // namespace

// getdents64 with a large buffer: a folder of 100,000 files in a handful of system calls.
int FolderHandle::readEntries(
    const std::function<void(const char* name, EntryType type)>& visit) const {
    if (::lseek(m_fd, 0, SEEK_SET) < 0)
        return errno;
    constexpr size_t kBufferSize = size_t{256} * 1024;
    const std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    for (;;) {
        const long got = ::syscall(SYS_getdents64, m_fd, buffer.get(), kBufferSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer.get() + at);
            at += entry->d_reclen;
            if (!isDotOrDotDot(entry->d_name))
                visit(entry->d_name, typeOf(entry->d_type));
        }
    }
}

#else

int FolderHandle::readEntries(
    const std::function<void(const char* name, EntryType type)>& visit) const {
    const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return errno;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        const int error = errno;
        ::close(copy);
        return error;
    }
    // The copy shares its read position with the handle; start from the first entry.
    ::rewinddir(dir);
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        if (!isDotOrDotDot(entry->d_name))
            visit(entry->d_name, typeOf(entry->d_type));
    }
    ::closedir(dir);
    return error;
}

#endif

EntryKind FolderHandle::lookUp(const char* name, bool followLinks) const {
    struct stat info;
    if (::fstatat(m_fd, name, &info, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Missing;
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    return EntryKind::Other;
}

#else

// The system-call seam reads folders as the moves do: an empty drive root is an empty folder,
// cloud files are files, Windows' own hidden system files are not.
FolderHandle::FolderHandle(const QString& path, int& error) {
    struct stat status {};
    error = realSystemCalls()->stat(encodeFileName(path).constData(), &status) != 0 ? errno
            : !S_ISDIR(status.st_mode)                                              ? ENOTDIR
                                                                                    : 0;
    if (error == 0)
        m_path = path;
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept : m_path(std::move(other.m_path)) {}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    m_path = std::move(other.m_path);
    return *this;
}

FolderHandle::~FolderHandle() = default;

bool FolderHandle::isOpen() const {
    return !m_path.isEmpty();
}

int FolderHandle::readEntries(
    const std::function<void(const char* name, EntryType type)>& visit) const {
    std::vector<FolderEntry> entries;
    if (realSystemCalls()->listFolder(encodeFileName(m_path).constData(), entries) != 0)
        return errno;
    for (const FolderEntry& entry : entries)
        visit(entry.name.constData(), entry.regularFile ? EntryType::File : EntryType::Unknown);
    return 0;
}

EntryKind FolderHandle::lookUp(const char* name, bool followLinks) const {
    const QByteArray path = encodeFileName(m_path + QLatin1Char('/') + QString::fromUtf8(name));
    struct stat status {};
    const int result = followLinks ? realSystemCalls()->stat(path.constData(), &status)
                                   : realSystemCalls()->lstat(path.constData(), &status);
    if (result != 0)
        return EntryKind::Missing;
    return S_ISREG(status.st_mode)   ? EntryKind::File
           : S_ISDIR(status.st_mode) ? EntryKind::Folder
                                     : EntryKind::Other;
}

#endif

// What the folder's own entry type leaves open is looked up on the file system.
EntryKind FolderHandle::kindOf(const char* name, EntryType type, bool followLinks) const {
    if (type == EntryType::File)
        return EntryKind::File;
    if (type == EntryType::Folder)
        return EntryKind::Folder;
    if (type == EntryType::Other || (type == EntryType::Link && !followLinks))
        return EntryKind::Other;
    return lookUp(name, followLinks);
}

AppError folderError(int error, const QString& source, const QString& path) {
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return AppError(ErrorNumber::PathNotFound, source,
                        QStringLiteral("Path not found: %1 (%2)").arg(shownPath(path), reason));
    case EACCES:
    case EPERM:
        return AppError(ErrorNumber::PermissionDenied, source,
                        QStringLiteral("Permission denied: %1 (%2)").arg(shownPath(path), reason));
#ifdef Q_OS_UNIX
    case ENOTCONN:
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ESTALE:
    case EHOSTDOWN:
    case ETIMEDOUT:
        return AppError(ErrorNumber::DeviceUnavailable, source,
                        QStringLiteral("Device unavailable: %1 (%2)").arg(shownPath(path), reason));
#endif
    default:
        return AppError(
            ErrorNumber::PathFileAccess, source,
            QStringLiteral("Path/File access error: %1 (%2)").arg(shownPath(path), reason));
    }
}

QString absoluteFolder(const QString& text) {
    return withDriveSpelling(QDir::cleanPath(QDir::current().absoluteFilePath(text)));
}
