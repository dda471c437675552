#pragma once

#include "fs/FreeSpaceQuery.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class RandomSource;

// Whole albums: a draw takes an album and then moves its songs one after the other. An album is a
// folder that directly holds music, and its songs are the candidates directly in it (relative
// paths, MusicTree.h); the music folder's own songs are one album too. Each draw is uniform over
// the albums not yet drawn in this fill, which are those with songs not yet out in this cycle
// when the rotation memory is on. An album that does not fit is passed over for this fill and the
// draw is made again from the others.
class AlbumDraw {
public:
    // Whether an album, given by its songs' slots, fits on the player now.
    using Fits = std::function<bool(const std::vector<std::size_t>&)>;

    explicit AlbumDraw(const std::vector<QString>& candidates);

    // The slot of the next song to move: the next of the album being moved, else the first of a
    // newly drawn album that fits; none once every album has been drawn or passed over.
    std::optional<std::size_t> next(RandomSource& random, const Fits& fits);

private:
    std::vector<std::vector<std::size_t>> m_albums; // not yet drawn
    std::vector<std::size_t> m_current;
    std::size_t m_at = 0;
};

// Whether the files fit in the player drive's free space and leave the room asked for free, each
// counted in the drive's allocation units; a drive whose free space could not be read (all of it
// 0) fits nothing.
bool filesFit(const std::vector<QString>& paths, const FreeSpace& space,
              std::int64_t megabytesFree);
