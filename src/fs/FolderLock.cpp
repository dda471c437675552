#include "fs/FolderLock.h"

#include "fs/FileNameCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

struct FolderLock::Hold {
    explicit Hold(int fd) : fd(fd) {}
    ~Hold() { ::close(fd); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    const int fd;
};

FolderLock::FolderLock(const QString& folder) : m_folder(folder) {}

FolderLock::~FolderLock() = default;

bool FolderLock::take() {
    if (!m_hold) {
        const int fd =
            ::open(encodeFileName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return true;
        m_hold = std::make_unique<Hold>(fd);
    }
    int result = 0;
    do
        result = ::flock(m_hold->fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0 || errno != EWOULDBLOCK;
}
