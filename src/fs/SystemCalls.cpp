#include "fs/SystemCalls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

int SystemCalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags & ~OpenToMove, mode);
}

ssize_t SystemCalls::read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}

ssize_t SystemCalls::write(int fd, const void* buffer, size_t size) {
    return ::write(fd, buffer, size);
}

int SystemCalls::fsync(int fd) {
    return ::fsync(fd);
}

int SystemCalls::syncfs(int fd) {
    return ::syncfs(fd);
}

int SystemCalls::close(int fd) {
    return ::close(fd);
}

int SystemCalls::fstat(int fd, struct stat* status) {
    return ::fstat(fd, status);
}

int SystemCalls::futimens(int fd, const struct timespec times[2]) {
    return ::futimens(fd, times);
}

int SystemCalls::stat(const char* path, struct stat* status) {
    return ::stat(path, status);
}

int SystemCalls::lstat(const char* path, struct stat* status) {
    return ::lstat(path, status);
}

int SystemCalls::renameNoReplace(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int SystemCalls::link(const char* from, const char* to) {
    return ::link(from, to);
}

int SystemCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int SystemCalls::unlink(const char* path) {
    return ::unlink(path);
}

int SystemCalls::mkdir(const char* path, mode_t mode) {
    return ::mkdir(path, mode);
}

int SystemCalls::rmdir(const char* path) {
    return ::rmdir(path);
}

int SystemCalls::statvfs(const char* path, struct statvfs* status) {
    return ::statvfs(path, status);
}

int SystemCalls::listFolder(const char* path, std::vector<FolderEntry>& entries) {
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    entries.clear();
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        FolderEntry item{QByteArray(entry->d_name), entry->d_type == DT_REG,
                         entry->d_type == DT_DIR};
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            const bool known = ::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0;
            item.regularFile = known && S_ISREG(status.st_mode);
            item.folder = known && S_ISDIR(status.st_mode);
        }
        entries.push_back(std::move(item));
    }
    // readdir ends with errno untouched at the end of the folder and with errno set on a failure.
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return 0;
}

std::shared_ptr<SystemCalls> realSystemCalls() {
    static const auto calls = std::make_shared<SystemCalls>();
    return calls;
}
