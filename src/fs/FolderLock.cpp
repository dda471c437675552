#include "fs/FolderLock.h"

#include "fs/FileNameCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock(const QString& folder) : m_folder(folder) {}

FolderLock::~FolderLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderLock::take() {
    if (m_fd < 0)
        m_fd = ::open(encodeFileName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return true;
    int result = 0;
    do
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0 || errno != EWOULDBLOCK;
}
