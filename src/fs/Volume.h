#pragma once

#include <QString>
#include <vector>

// One mounted volume as the drive lists show it: a "drive" of the program.
struct Volume {
    QString root;  // the mount point, e.g. "/media/ann/PLAYER"
    QString label; // may be empty
};

// Where the drive lists get their drives from; re-asked every time a list is opened.
class VolumeProvider {
public:
    virtual ~VolumeProvider() = default;

    // Real volumes only, in a stable order.
    virtual std::vector<Volume> volumes() const = 0;
    // The volume that holds the user's home folder; a drive letter text ("C", "C:\") names it.
    virtual QString homeVolumeRoot() const = 0;
    // False when the volume is not ready or its root cannot be listed (a stale FUSE mount).
    virtual bool isReadable(const QString& root) const = 0;
    // The drive's current folder: the process's current folder when it lies on that volume, else
    // the volume root.
    virtual QString currentFolder(const QString& root) const = 0;
};
