#include "fs/SystemCalls.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <mutex>
#include <string>
#include <unordered_set>
#include <windows.h>

// The calls over Win32 with the same contract as on POSIX systems: paths are UTF-8 bytes and
// become UTF-16 here, a descriptor is the CRT's over a Win32 handle, a failure returns -1 with
// errno set from the Win32 error.
namespace {

std::wstring widePath(const char* path) {
    return QString::fromUtf8(path).toStdWString();
}

int errnoFor(DWORD error) {
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
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
        return ENXIO;
    case ERROR_INVALID_NAME:
        return EINVAL;
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

int fail() {
    errno = errnoFor(GetLastError());
    return -1;
}

// The CRT hands a descriptor's handle over as an integer.
HANDLE handleOf(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); // NOLINT(performance-no-int-to-ptr)
}

// The descriptors opened for appending. Their handles have write access, since a flush needs it,
// so each write asks for the end of the file itself.
class AppendingDescriptors {
public:
    void add(int fd) {
        const std::lock_guard<std::mutex> held(m_lock);
        m_descriptors.insert(fd);
    }
    void remove(int fd) {
        const std::lock_guard<std::mutex> held(m_lock);
        m_descriptors.erase(fd);
    }
    bool contains(int fd) {
        const std::lock_guard<std::mutex> held(m_lock);
        return m_descriptors.contains(fd);
    }

private:
    std::mutex m_lock;
    std::unordered_set<int> m_descriptors;
};

AppendingDescriptors& appending() {
    static AppendingDescriptors descriptors;
    return descriptors;
}

// 100-nanosecond steps since 1601 against seconds and nanoseconds since 1970.
constexpr long long EpochDifference = 116444736000000000LL;

struct timespec timeOf(const FILETIME& time) {
    const long long steps =
        (static_cast<long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime) - EpochDifference;
    return {static_cast<time_t>(steps / 10000000), static_cast<long>(steps % 10000000 * 100)};
}

FILETIME fileTimeOf(const struct timespec& time) {
    const long long steps = time.tv_sec * 10000000LL + time.tv_nsec / 100 + EpochDifference;
    return {static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
}

int statusOf(HANDLE handle, struct stat* status) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return fail();
    *status = {};
    const bool folder = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    const bool link = info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    status->st_mode = link ? 0 : folder ? S_IFDIR | 0755 : S_IFREG | 0644;
    status->st_dev = info.dwVolumeSerialNumber;
    // The CRT's inode field has 16 bits: the file index folded into them. Two files that share
    // them count as one file, which only ever keeps a file that could have gone.
    const unsigned long long index =
        static_cast<unsigned long long>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    status->st_ino = static_cast<_ino_t>(index ^ index >> 16 ^ index >> 32 ^ index >> 48);
    status->st_nlink = static_cast<short>(info.nNumberOfLinks);
    status->st_size = static_cast<long long>(info.nFileSizeHigh) << 32 |
                      static_cast<long long>(info.nFileSizeLow);
    status->st_atime = timeOf(info.ftLastAccessTime).tv_sec;
    status->st_mtime = timeOf(info.ftLastWriteTime).tv_sec;
    status->st_ctime = timeOf(info.ftCreationTime).tv_sec;
    return 0;
}

int statusOfPath(const char* path, struct stat* status, DWORD flags) {
    const HANDLE handle = CreateFileW(
        widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return fail();
    const int result = statusOf(handle, status);
    CloseHandle(handle);
    return result;
}

} // namespace

int SystemCalls::open(const char* path, int flags, mode_t mode) {
    const int access = flags & (O_RDONLY | O_WRONLY | O_RDWR);
    DWORD desired = access == O_RDONLY   ? GENERIC_READ
                    : access == O_WRONLY ? GENERIC_WRITE
                                         : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = (flags & O_CREAT) && (flags & O_EXCL)    ? CREATE_NEW
                              : (flags & O_CREAT) && (flags & O_TRUNC) ? CREATE_ALWAYS
                              : (flags & O_CREAT)                      ? OPEN_ALWAYS
                              : (flags & O_TRUNC)                      ? TRUNCATE_EXISTING
                                                                       : OPEN_EXISTING;
    const DWORD attributes =
        (flags & O_DIRECTORY ? FILE_FLAG_BACKUP_SEMANTICS : 0) |
        ((flags & O_CREAT) && !(mode & 0200) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    const HANDLE handle = CreateFileW(widePath(path).c_str(), desired,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, disposition, attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return fail();
    BY_HANDLE_FILE_INFORMATION info{};
    if ((flags & O_DIRECTORY) && (!GetFileInformationByHandle(handle, &info) ||
                                  !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        errno = ENOTDIR;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    } else if (flags & O_APPEND) {
        appending().add(fd);
    }
    return fd;
}

ssize_t SystemCalls::read(int fd, void* buffer, size_t size) {
    DWORD got = 0;
    if (!ReadFile(handleOf(fd), buffer, static_cast<DWORD>(std::min<size_t>(size, 1U << 30)), &got,
                  nullptr))
        return fail();
    return got;
}

ssize_t SystemCalls::write(int fd, const void* buffer, size_t size) {
    DWORD put = 0;
    // Both halves of the offset all ones: at the end of the file, as one step.
    OVERLAPPED atEnd{};
    atEnd.Offset = atEnd.OffsetHigh = MAXDWORD;
    if (!WriteFile(handleOf(fd), buffer, static_cast<DWORD>(std::min<size_t>(size, 1U << 30)), &put,
                   appending().contains(fd) ? &atEnd : nullptr))
        return fail();
    return put;
}

// A folder's entries are made durable by the rename that publishes them (MOVEFILE_WRITE_THROUGH);
// Windows flushes no folder handle, so a folder's flush passes as a file system that cannot.
int SystemCalls::fsync(int fd) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handleOf(fd), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EINVAL;
        return -1;
    }
    return FlushFileBuffers(handleOf(fd)) ? 0 : fail();
}

// Windows flushes a whole volume only for an administrator; its volumes flush each file instead
// (VolumeTraitsWindows), so a run never asks for this.
int SystemCalls::syncfs(int) {
    errno = EOPNOTSUPP;
    return -1;
}

int SystemCalls::close(int fd) {
    appending().remove(fd);
    return ::_close(fd);
}

int SystemCalls::fstat(int fd, struct stat* status) {
    return statusOf(handleOf(fd), status);
}

// Windows keeps no access time worth setting: only the modification time is copied.
int SystemCalls::futimens(int fd, const struct timespec times[2]) {
    const FILETIME modified = fileTimeOf(times[1]);
    return SetFileTime(handleOf(fd), nullptr, nullptr, &modified) ? 0 : fail();
}

int SystemCalls::stat(const char* path, struct stat* status) {
    return statusOfPath(path, status, 0);
}

int SystemCalls::lstat(const char* path, struct stat* status) {
    return statusOfPath(path, status, FILE_FLAG_OPEN_REPARSE_POINT);
}

// Without MOVEFILE_REPLACE_EXISTING the rename refuses an existing name, in any letter case;
// without MOVEFILE_COPY_ALLOWED it refuses another volume (EXDEV); MOVEFILE_WRITE_THROUGH
// returns once the rename is on the disk.
int SystemCalls::renameNoReplace(const char* from, const char* to) {
    return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), MOVEFILE_WRITE_THROUGH)
               ? 0
               : fail();
}

int SystemCalls::link(const char* from, const char* to) {
    return CreateHardLinkW(widePath(to).c_str(), widePath(from).c_str(), nullptr) ? 0 : fail();
}

int SystemCalls::rename(const char* from, const char* to) {
    return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : fail();
}

int SystemCalls::unlink(const char* path) {
    return DeleteFileW(widePath(path).c_str()) ? 0 : fail();
}

int SystemCalls::mkdir(const char* path, mode_t) {
    return CreateDirectoryW(widePath(path).c_str(), nullptr) ? 0 : fail();
}

int SystemCalls::rmdir(const char* path) {
    return RemoveDirectoryW(widePath(path).c_str()) ? 0 : fail();
}

int SystemCalls::statvfs(const char* path, struct statvfs* status) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(widePath(path).c_str(), &available, &total, &free))
        return fail();
    *status = {1, 1, total.QuadPart, free.QuadPart, available.QuadPart};
    return 0;
}

int SystemCalls::listFolder(const char* path, std::vector<FolderEntry>& entries) {
    std::wstring pattern = widePath(path);
    if (!pattern.empty() && pattern.back() != L'/' && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return fail();
    entries.clear();
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        const bool regularFile =
            !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
        entries.push_back({name.toUtf8(), regularFile});
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        errno = errnoFor(error);
        return -1;
    }
    return 0;
}

std::shared_ptr<SystemCalls> realSystemCalls() {
    static const auto calls = std::make_shared<SystemCalls>();
    return calls;
}
