#include "controls/FolderJournal.h"

#include "controls/FolderScan.h"
#include "fs/FileNameCodec.h"

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif
#endif

FolderJournal::FolderJournal(FolderJournal&& other) noexcept
    : m_fd(other.m_fd), m_device(other.m_device), m_inode(other.m_inode) {
    other.m_fd = -1;
}

FolderJournal& FolderJournal::operator=(FolderJournal&& other) noexcept {
    if (this != &other) {
        stop();
        m_fd = other.m_fd;
        m_device = other.m_device;
        m_inode = other.m_inode;
        other.m_fd = -1;
    }
    return *this;
}

FolderJournal::~FolderJournal() {
    stop();
}

#ifdef Q_OS_LINUX

namespace {

// Every change of name or kind in the folder, and the folder's own fate.
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// After any of these the names alone no longer tell what a fresh read gives.
constexpr uint32_t kLostTrack =
    IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

} // namespace

void FolderJournal::stop() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool FolderJournal::isTrustworthy(const FolderHandle& folder) {
    const int folderFd = folder.fd();
    struct statfs fs;
    if (::fstatfs(folderFd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // ext2, ext3 and ext4
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case XFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case REISERFS_SUPER_MAGIC:
    case 0x3153464aUL: // jfs
    case 0x2fc12fc1UL: // zfs
    case OVERLAYFS_SUPER_MAGIC:
        break;
    default:
        return false;
    }
    // In a folder that ignores letter case, looking up an old name finds the renamed file.
    unsigned int flags = 0;
    if (::ioctl(folderFd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL))
        return false;
    return true;
}

void FolderJournal::start(const QString& path, const FolderHandle& folder) {
    stop();
    if (!isTrustworthy(folder))
        return;
    struct stat info;
    if (::fstat(folder.fd(), &info) != 0)
        return;
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    const QByteArray where = encodeFileName(path);
    const int watch = ::inotify_add_watch(m_fd, where.constData(), kWatchMask);
    struct stat watched;
    // The watch must be on the folder that was opened, not on one put in its place meanwhile.
    if (watch < 0 || ::stat(where.constData(), &watched) != 0 || watched.st_dev != info.st_dev ||
        watched.st_ino != info.st_ino) {
        stop();
        return;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
}

std::optional<std::vector<QByteArray>> FolderJournal::takeChanges(const FolderHandle& folder) {
    if (m_fd < 0)
        return std::nullopt;
    // A folder mounted over, or replaced by another under the same path, sends no notice here.
    struct stat now;
    if (::fstat(folder.fd(), &now) != 0 || now.st_dev != m_device || now.st_ino != m_inode) {
        stop();
        return std::nullopt;
    }
    std::vector<QByteArray> names;
    alignas(inotify_event) char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            break;
        if (got <= 0) {
            stop();
            return std::nullopt;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            // A change to the folder itself (its permissions, say) may change what a read gives.
            if ((event->mask & kLostTrack) || event->len == 0) {
                stop();
                return std::nullopt;
            }
            names.emplace_back(event->name);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

#else

void FolderJournal::stop() {}

bool FolderJournal::isTrustworthy(const FolderHandle&) {
    return false;
}

void FolderJournal::start(const QString&, const FolderHandle&) {}

std::optional<std::vector<QByteArray>> FolderJournal::takeChanges(const FolderHandle&) {
    return std::nullopt;
}

#endif
