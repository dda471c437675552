#include "fs/VolumeLookup.h"

#include <algorithm>

namespace {

bool liesUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    const QString bare = root.endsWith(QLatin1Char('/')) ? root.chopped(1) : root;
    return path == bare || path.startsWith(bare + QLatin1Char('/'));
}

} // namespace

FolderPlace VolumeProvider::placeOf(const QString& folder, const QString& root) const {
    const std::vector<Volume> listed = volumes();
    if (std::none_of(listed.begin(), listed.end(),
                     [&](const Volume& volume) { return volume.root == root; }))
        return FolderPlace::NotMounted;
    return liesUnder(folder, root) ? FolderPlace::OnVolume : FolderPlace::OtherVolume;
}

QString VolumeProvider::identityOf(const QString& /*root*/) const {
    return {};
}

QString volumeRootOf(const VolumeProvider& volumes, const QString& path) {
    return volumeRootOf(volumes.volumes(), path);
}

QString volumeRootOf(const std::vector<Volume>& volumes, const QString& path) {
    QString best;
    for (const Volume& volume : volumes) {
        if (liesUnder(path, volume.root) && volume.root.size() > best.size())
            best = volume.root;
    }
    return best;
}
