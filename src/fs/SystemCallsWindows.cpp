#include "fs/SystemCalls.h"
#include "fs/Win32Files.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
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
    return extendedLengthPath(QString::fromUtf8(path)).toStdWString();
}

int fail() {
    errno = errnoForWindowsError(GetLastError());
    return -1;
}

bool inUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_DELETE_PENDING;
}

// A file another program holds for a moment (an antivirus scan of a new copy, Explorer reading
// its tags, a sync client) is asked again at growing intervals, for about a second in all, before
// it counts as in use. The last error stays the call's own.
bool unlessInUse(const std::function<bool()>& call) {
    constexpr DWORD LongestPause = 640;
    for (DWORD pause = 10;; pause *= 2) {
        if (call())
            return true;
        const DWORD error = GetLastError();
        if (!inUse(error) || pause > LongestPause) {
            SetLastError(error);
            return false;
        }
        Sleep(pause);
    }
}

HANDLE openFile(const std::wstring& path, DWORD access, DWORD disposition, DWORD attributes) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    unlessInUse([&] {
        handle = CreateFileW(path.c_str(), access,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             disposition, attributes, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    return handle;
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

// The tag tells a link from a cloud file and other reparse points that are what they show.
DWORD reparseTagOf(HANDLE handle, DWORD attributes) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag))
        return 0;
    return tag.ReparseTag;
}

// A read-only file's mode has no write permission; a folder's read-only attribute only asks
// Explorer to look for its desktop.ini.
mode_t modeOf(DWORD attributes, DWORD reparseTag) {
    switch (windowsEntryOf(attributes, reparseTag)) {
    case WindowsEntry::Folder:
        return S_IFDIR | 0755;
    case WindowsEntry::File:
        return S_IFREG | (attributes & FILE_ATTRIBUTE_READONLY ? 0444 : 0644);
    case WindowsEntry::Link:
    case WindowsEntry::Other:
        break;
    }
    return 0;
}

int statusOf(HANDLE handle, struct stat* status) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return fail();
    *status = {};
    status->st_mode = modeOf(info.dwFileAttributes, reparseTagOf(handle, info.dwFileAttributes));
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
    const HANDLE handle =
        openFile(widePath(path), 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags);
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
    // Rather here, before anything of the file is copied, than once its copy is published.
    if (flags & OpenToMove)
        desired |= DELETE;
    const DWORD attributes =
        (flags & O_DIRECTORY ? FILE_FLAG_BACKUP_SEMANTICS : 0) |
        ((flags & O_CREAT) && !(mode & 0200) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    const HANDLE handle = openFile(widePath(path), desired, disposition, attributes);
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

// Windows flushes no folder handle, so a folder's flush passes as on a file system that cannot; a
// published file is flushed again under its final name instead (VolumeTraits::flushPublishedFiles),
// which on FAT writes its folder entry.
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
    const std::wstring source = widePath(from);
    const std::wstring destination = widePath(to);
    return unlessInUse([&] {
        return MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    })
               ? 0
               : fail();
}

int SystemCalls::link(const char* from, const char* to) {
    const std::wstring source = widePath(from);
    const std::wstring destination = widePath(to);
    return unlessInUse(
               [&] { return CreateHardLinkW(destination.c_str(), source.c_str(), nullptr) != 0; })
               ? 0
               : fail();
}

int SystemCalls::rename(const char* from, const char* to) {
    const std::wstring source = widePath(from);
    const std::wstring destination = widePath(to);
    return unlessInUse([&] {
        return MoveFileExW(source.c_str(), destination.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    })
               ? 0
               : fail();
}

// As on POSIX systems, a file's own permissions do not keep it: DeleteFileW refuses a read-only
// file (music ripped from a CD often is), so its attribute goes first, and comes back when the
// file stays all the same.
int SystemCalls::unlink(const char* path) {
    const std::wstring file = widePath(path);
    const auto remove = [&] { return unlessInUse([&] { return DeleteFileW(file.c_str()) != 0; }); };
    if (remove())
        return 0;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        errno = errnoForWindowsError(error);
        return -1;
    }
    if (!SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return fail();
    if (remove())
        return 0;
    const int result = fail();
    SetFileAttributesW(file.c_str(), attributes);
    return result;
}

int SystemCalls::mkdir(const char* path, mode_t) {
    return CreateDirectoryW(widePath(path).c_str(), nullptr) ? 0 : fail();
}

int SystemCalls::rmdir(const char* path) {
    const std::wstring folder = widePath(path);
    return unlessInUse([&] { return RemoveDirectoryW(folder.c_str()) != 0; }) ? 0 : fail();
}

int SystemCalls::statvfs(const char* path, struct statvfs* status) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(widePath(path).c_str(), &available, &total, &free))
        return fail();
    *status = {1, 1, total.QuadPart, free.QuadPart, available.QuadPart};
    return 0;
}

int SystemCalls::listFolder(const char* path, std::vector<FolderEntry>& entries) {
    // "E:" alone would be the current folder of E:, "E:\\" is its root.
    QString given = QString::fromUtf8(path);
    if (!given.endsWith(QLatin1Char('/')) && !given.endsWith(QLatin1Char('\\')))
        given += QLatin1Char('\\');
    const std::wstring folder = extendedLengthPath(given).toStdWString();
    const std::wstring pattern = folder + L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // The root of a FAT or exFAT drive has no "." and ".." entries: when it is empty, nothing
        // matches at all.
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            entries.clear();
            return 0;
        }
        errno = errnoForWindowsError(error);
        return -1;
    }
    entries.clear();
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        // The reparse tag of an entry that is a reparse point.
        const DWORD tag = found.dwReserved0;
        const WindowsEntry kind = windowsEntryOf(found.dwFileAttributes, tag);
        entries.push_back(
            {name.toUtf8(), kind == WindowsEntry::File, kind == WindowsEntry::Folder});
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        errno = errnoForWindowsError(error);
        return -1;
    }
    return 0;
}

std::shared_ptr<SystemCalls> realSystemCalls() {
    static const auto calls = std::make_shared<SystemCalls>();
    return calls;
}
