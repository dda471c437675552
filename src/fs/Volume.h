#pragma once

#include <QString>
#include <vector>

// One mounted volume as the drive lists show it: a "drive" of the program.
struct Volume {
    QString root;  // the mount point, e.g. "/media/ann/PLAYER"
    QString label; // may be empty
};

// Where a folder lies in relation to a drive.
enum class FolderPlace {
    OnVolume,    // on the volume mounted at the drive's root
    NotMounted,  // the drive is gone: nothing is mounted at its root
    OtherVolume, // the drive is mounted, but the folder lies on another volume
    Unknown,     // the system's table of mounted drives could not be read
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
    // Where the folder lies in relation to the volume at root. By default by the paths alone:
    // the volume must be listed and the folder lie under its root.
    virtual FolderPlace placeOf(const QString& folder, const QString& root) const;
    // What tells the volume now at root from another that may take its place under the same
    // drive letter or mount point: its file system's serial number or UUID. Empty when it cannot
    // be told (nothing mounted there, a memory file system), and then nothing is compared.
    virtual QString identityOf(const QString& root) const;
};
