#pragma once

#include <QString>
#include <string_view>

// The player's record of which music folder each of its songs came from (rotation/SongOrigins.h)
// lies in the player folder under this name: plain and the program's own, so a user who meets it
// on the card knows whose it is, and storable on FAT and exFAT. It is no song: folder listings,
// wildcard moves and the panes pass it by, as they pass our temporaries.
inline constexpr std::string_view songOriginsFileName = "QUAVEX.origins";

inline QString songOriginsName() {
    return QString::fromLatin1(songOriginsFileName.data(), qsizetype(songOriginsFileName.size()));
}

inline bool isSongOriginsName(const QString& name) {
    return name == QLatin1String(songOriginsFileName.data(), qsizetype(songOriginsFileName.size()));
}
