#include "rotation/RoomLeftFree.h"

#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/Module1.h"
#include "fs/SystemCalls.h"

#include <algorithm>
#include <limits>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr std::int64_t MiB = std::int64_t{1024} * 1024;

// A size that cannot be read counts as nothing: the move itself reports the trouble.
std::int64_t wholeMebibytesOf(const QString& path) {
    struct stat status {};
    if (realSystemCalls()->stat(encodeFileName(path).constData(), &status) != 0)
        return 0;
    return (std::int64_t(status.st_size) + MiB - 1) / MiB * MiB;
}

} // namespace

RoomLeftFree::RoomLeftFree(std::int64_t megabytes, QString driveRoot, FreeSpaceQuery query)
    : m_room(std::min(megabytes, std::numeric_limits<std::int64_t>::max() / MiB) * MiB),
      m_driveRoot(std::move(driveRoot)), m_query(std::move(query)) {}

bool RoomLeftFree::leavesRoomFor(const QString& path) {
    if (m_room <= 0)
        return true;
    const std::int64_t size = wholeMebibytesOf(path);
    if (!m_asked || m_free - m_spent - size < m_room) {
        // A drive whose free space cannot be read counts as full: the room cannot be vouched for.
        try {
            m_free = DiskFreeKB(m_driveRoot, m_query) * 1024;
        } catch (const AppError&) {
            m_free = 0;
        }
        m_spent = 0;
        m_asked = true;
    }
    if (m_free - m_spent - size < m_room)
        return false;
    m_spent += size;
    return true;
}
