#include "fs/Duplicates.h"

#include "fs/AppError.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"
#include "fs/SystemCalls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <vector>

namespace {

constexpr size_t CompareChunk = 1 << 20;

[[noreturn]] void fail(int error, const QString& path) {
    throw AppError(errorNumberForErrno(error), sourceText(FsTask::ComparingFiles),
                   QStringLiteral("\"%1\" could not be compared: %2.")
                       .arg(shownPath(path), reasonForErrno(error)));
}

// An open file that closes itself.
class ReadFile {
public:
    ReadFile(SystemCalls& calls, const QString& path)
        : m_calls(calls), m_path(path),
          m_fd(calls.open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC, 0)) {
        if (m_fd < 0)
            fail(errno, path);
    }
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;
    ~ReadFile() { m_calls.close(m_fd); }

    struct stat status() const {
        struct stat status {};
        if (m_calls.fstat(m_fd, &status) != 0)
            fail(errno, m_path);
        return status;
    }

    // Fills the buffer unless the file ends first; returns how much was read.
    size_t fill(std::vector<char>& buffer) const {
        size_t got = 0;
        while (got < buffer.size()) {
            const ssize_t n = m_calls.read(m_fd, buffer.data() + got, buffer.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(errno, m_path);
            if (n == 0)
                break;
            got += static_cast<size_t>(n);
        }
        return got;
    }

private:
    SystemCalls& m_calls;
    QString m_path;
    int m_fd;
};

bool sameBytes(const ReadFile& a, const ReadFile& b) {
    std::vector<char> left(CompareChunk);
    std::vector<char> right(CompareChunk);
    for (;;) {
        const size_t got = a.fill(left);
        if (b.fill(right) != got || std::memcmp(left.data(), right.data(), got) != 0)
            return false;
        if (got < CompareChunk)
            return true;
    }
}

} // namespace

bool isDuplicate(SystemCalls& calls, const QString& duplicate, const QString& original) {
    const ReadFile copy(calls, duplicate);
    const ReadFile kept(calls, original);
    const struct stat copyStatus = copy.status();
    const struct stat keptStatus = kept.status();
    if (!S_ISREG(copyStatus.st_mode) || !S_ISREG(keptStatus.st_mode))
        return false;
    if (copyStatus.st_dev == keptStatus.st_dev && copyStatus.st_ino == keptStatus.st_ino)
        return false;
    return copyStatus.st_size == keptStatus.st_size && sameBytes(copy, kept);
}

bool removeDuplicate(SystemCalls& calls, const QString& duplicate, const QString& original) {
    if (!isDuplicate(calls, duplicate, original))
        return false;
    if (calls.unlink(encodeFileName(duplicate).constData()) != 0) {
        const int error = errno;
        throw AppError(errorNumberForErrno(error), sourceText(FsTask::ComparingFiles),
                       QStringLiteral("\"%1\" could not be removed: %2.")
                           .arg(shownPath(duplicate), reasonForErrno(error)));
    }
    return true;
}
