#pragma once

#include "fs/Volume.h"

// The volumes of this computer: on Linux the mounted user volumes of the kernel's mount table,
// elsewhere the platform's drives.
class SystemVolumeProvider : public VolumeProvider {
public:
    std::vector<Volume> volumes() const override;
    QString homeVolumeRoot() const override;
    bool isReadable(const QString& root) const override;
    QString currentFolder(const QString& root) const override;
#ifdef Q_OS_LINUX
    // The root must be a mount point of the kernel's mount table and the folder on the same
    // device: the bare folder beneath an unmounted mount point is not the volume.
    FolderPlace placeOf(const QString& folder, const QString& root) const override;
#endif
};
