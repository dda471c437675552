#include "controls/DriveText.h"

std::optional<QString> driveNamedBy(const VolumeProvider& volumes, const QString& text) {
    if (isDriveLetterText(text))
        return volumes.homeVolumeRoot();
    const QString bare = withoutTrailingSlash(text);
    if (bare.isEmpty())
        return std::nullopt;
    for (const Volume& volume : volumes.volumes()) {
        if (withoutTrailingSlash(volume.root) == bare)
            return volume.root;
    }
    return std::nullopt;
}

std::optional<QString> driveAloneNamedBy(const VolumeProvider& volumes, const QString& text) {
    return driveNamedBy(volumes, text);
}

QString rootOfAbsentDrive(const VolumeProvider& volumes, const QString& text) {
    if (isDriveLetterText(text))
        return volumes.homeVolumeRoot();
    return text.startsWith(QLatin1Char('/')) ? withoutTrailingSlash(text) : QString();
}

QString driveRootText(const QString& root) {
    return root;
}

QString withDriveSpelling(const QString& path) {
    return path;
}
