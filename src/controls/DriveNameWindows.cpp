#include "controls/DriveText.h"

// The first letter decides, as a drive list's own texts ("e: [PLAYER]") and paths ("E:\Music")
// both begin with it.
std::optional<QString> driveNamedBy(const VolumeProvider& volumes, const QString& text) {
    if (text.isEmpty() || !text[0].isLetter() || text[0].unicode() > 0x7f)
        return std::nullopt;
    for (const Volume& volume : volumes.volumes()) {
        if (volume.root[0].toUpper() == text[0].toUpper())
            return volume.root;
    }
    return std::nullopt;
}
