#include "rotation/AlbumDraw.h"

#include "fs/FileNameCodec.h"
#include "fs/SystemCalls.h"
#include "rotation/MusicTree.h"
#include "rotation/RandomSource.h"

#include <algorithm>
#include <map>
#include <sys/stat.h>

namespace {

constexpr std::int64_t MiB = std::int64_t{1024} * 1024;

} // namespace

AlbumDraw::AlbumDraw(const std::vector<QString>& candidates) {
    std::map<QString, std::size_t> albumOf;
    for (std::size_t slot = 0; slot < candidates.size(); ++slot) {
        const auto [album, added] =
            albumOf.try_emplace(folderOf(candidates[slot]), m_albums.size());
        if (added)
            m_albums.emplace_back();
        m_albums[album->second].push_back(slot);
    }
}

std::optional<std::size_t> AlbumDraw::next(RandomSource& random, const Fits& fits) {
    if (m_at < m_current.size())
        return m_current[m_at++];
    while (!m_albums.empty()) {
        const std::size_t count = m_albums.size();
        const auto drawn =
            std::min(static_cast<std::size_t>(random.next() * double(count)), count - 1);
        std::vector<std::size_t> album = std::move(m_albums[drawn]);
        if (drawn + 1 < count)
            m_albums[drawn] = std::move(m_albums.back());
        m_albums.pop_back();
        if (!fits(album))
            continue;
        m_current = std::move(album);
        m_at = 1;
        return m_current.front();
    }
    return std::nullopt;
}

bool filesFit(const std::vector<QString>& paths, const FreeSpace& space,
              std::int64_t megabytesFree) {
    SystemCalls& calls = *realSystemCalls();
    const std::int64_t unit =
        std::max<std::int64_t>(1, std::int64_t(space.sectorsPerCluster * space.bytesPerSector));
    const auto units = [&](std::int64_t bytes) { return (bytes + unit - 1) / unit; };
    // The album's folder may take a unit of its own.
    std::int64_t needed = units(megabytesFree * MiB) + 1;
    for (const QString& path : paths) {
        struct stat status {};
        // A size that cannot be read counts as nothing: the move itself reports the trouble.
        if (calls.stat(encodeFileName(path).constData(), &status) == 0)
            needed += units(std::int64_t(status.st_size));
    }
    return needed <= std::int64_t(space.freeClusters);
}
