#pragma once

#include "fs/Volume.h"

// The volumes of this computer: on Linux the mounted user volumes of the kernel's mount table,
// on Windows the drive letters.
class SystemVolumeProvider : public VolumeProvider {
public:
    std::vector<Volume> volumes() const override;
    QString homeVolumeRoot() const override;
    bool isReadable(const QString& root) const override;
    QString currentFolder(const QString& root) const override;
    // On Linux the root must be a mount point of the kernel's mount table and the folder on the
    // same device: the bare folder beneath an unmounted mount point is not the volume. On Windows
    // the drive letter must be there with its medium and the folder's path begin with it, in
    // either letter case.
    FolderPlace placeOf(const QString& folder, const QString& root) const override;
    // On Linux the device's file-system UUID (/dev/disk/by-uuid), else the serial number in a FAT
    // or exFAT device's boot sector; on Windows the volume serial number.
    QString identityOf(const QString& root) const override;
};
