#include "fs/VolumeLookup.h"

namespace {

bool liesUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    const QString bare = root.endsWith(QLatin1Char('/')) ? root.chopped(1) : root;
    return path == bare || path.startsWith(bare + QLatin1Char('/'));
}

} // namespace

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
