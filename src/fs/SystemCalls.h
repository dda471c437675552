#pragma once

#include <QByteArray>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>
#include <vector>

// One entry of a folder listing: the raw name, whether it is a regular file (symbolic links
// and folders are not) and whether it is a folder of its own (links and junctions to one are not).
struct FolderEntry {
    QByteArray name;
    bool regularFile = false;
    bool folder = false;
};

// An open flag of the program's own, for a file opened to be copied and then deleted: on Windows
// the open also asks for the right to delete it, so that a file another program holds without
// sharing its deletion fails before anything of it is copied. Elsewhere it asks for nothing.
inline constexpr int OpenToMove = 0x40000000;

// Every system call the file-system services make, behind one seam so that a test can make one
// chosen call fail the way a dying device does. Each method behaves like the POSIX call of the
// same name: it returns -1 and sets errno on failure. The defaults make the real calls.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* buffer, size_t size);
    virtual int fsync(int fd);
    virtual int syncfs(int fd);
    virtual int close(int fd);
    virtual int fstat(int fd, struct stat* status);
    virtual int futimens(int fd, const struct timespec times[2]);
    virtual int stat(const char* path, struct stat* status);
    virtual int lstat(const char* path, struct stat* status);
    // renameat2 with RENAME_NOREPLACE.
    virtual int renameNoReplace(const char* from, const char* to);
    virtual int link(const char* from, const char* to);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int mkdir(const char* path, mode_t mode);
    virtual int rmdir(const char* path);
    virtual int statvfs(const char* path, struct statvfs* status);
    // Everything directly in the folder except "." and "..".
    virtual int listFolder(const char* path, std::vector<FolderEntry>& entries);
};

// The real calls, shared by every object that does not get a seam of its own.
std::shared_ptr<SystemCalls> realSystemCalls();
