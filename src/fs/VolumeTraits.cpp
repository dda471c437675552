#include "fs/VolumeTraits.h"

#include <sys/stat.h>

namespace {

// "/media/card/Music/" and "/media/card/Music" are one folder.
QString folderKey(const QString& folder) {
    QString key = folder;
    while (key.size() > 1 && key.endsWith(QLatin1Char('/')))
        key.chop(1);
    return key;
}

} // namespace

KnownVolumes::Volume& KnownVolumes::of(dev_t device, const QString& folder) {
    const auto known = m_volumes.find(device);
    if (known != m_volumes.end())
        return known->second;
    return m_volumes.try_emplace(device, volumeTraitsOf(folder)).first->second;
}

void KnownVolumes::pin(const QString& folder, const struct stat& status) {
    m_pins.insert_or_assign(folderKey(folder), Pin{status.st_dev, status.st_ino});
}

const KnownVolumes::Pin* KnownVolumes::pinOf(const QString& folder) const {
    const auto pinned = m_pins.find(folderKey(folder));
    return pinned == m_pins.end() ? nullptr : &pinned->second;
}

bool KnownVolumes::isPinned(const QString& folder) const {
    return pinOf(folder) != nullptr;
}

bool KnownVolumes::matchesPin(const QString& folder, const struct stat& status) const {
    const Pin* pinned = pinOf(folder);
    return !pinned || (pinned->device == status.st_dev && pinned->inode == status.st_ino);
}

bool KnownVolumes::onPinnedDevice(const QString& folder, dev_t device) const {
    const Pin* pinned = pinOf(folder);
    return !pinned || pinned->device == device;
}
