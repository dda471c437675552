#include "rotation/RunFolders.h"

#include "rotation/MusicRotation.h"
#include "rotation/RunFace.h"

QStringList runFolders(MusicRotation& run) {
    const RunFace& face = run.face();
    QStringList folders = {face.musicFolder(), run.services().holdingFolder};
    for (const std::uint8_t which : {std::uint8_t{1}, std::uint8_t{2}})
        if (face.playerTicked(which))
            folders.append(face.playerFolder(which));
    return folders;
}
