#pragma once

#include <QString>
#include <atomic>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>

class SystemCalls;

// How the copies of a group of moves (MoveGroup) reach the device together.
enum class GroupFlush {
    // One syncfs for the volume: the kernel's file systems.
    SyncVolume,
    // One fsync of any file of the volume: a driver that flushes the whole device for each, as
    // exfat-fuse does (it writes every node it holds, then fsyncs the device).
    AnyFile,
    // An fsync of each file: other FUSE drivers, which syncfs does not reach, and every Windows
    // volume.
    EachFile,
};

// What the file system holding a folder means for a move into it.
struct VolumeTraits {
    // Names differing only in letter case are the same name (FAT, exFAT and FUSE block-device
    // file systems such as fusefat, exfat-fuse and ntfs-3g).
    bool caseInsensitive = false;
    // Names are held to the FAT rules of FatNames.h and kept as UTF-16.
    bool fatNames = false;
    // The largest file the file system can hold, in bytes; 0 where it sets no limit we know of.
    qint64 largestFile = 0;
    GroupFlush groupFlush = GroupFlush::SyncVolume;
    // A published file is flushed once more under its final name before any source goes: on FAT
    // under Windows only a file's own flush writes its folder entry, and no folder can be flushed.
    bool flushPublishedFiles = false;
};

// FAT keeps a file's size in 32 bits.
inline constexpr qint64 FatLargestFile = 0xFFFFFFFFLL;

// On Linux judged from the kernel's file-system type and, for FUSE, the type the mount table
// names; on Windows every volume ignores case and takes FAT's names.
// A folder that cannot be examined gets the strict traits: a refused name there costs less than
// a replaced file.
VolumeTraits volumeTraitsOf(const QString& folder);

// What one run knows of each volume it moves files into, found out once per volume: the traits,
// on a case-insensitive volume whether the volume's own lookup of a name finds it in any letter
// case, so that one lstat can stand for a listing of the folder, and which ways of renaming
// without replacing the volume refuses, so that they are not asked for again (on a FUSE card each
// refused call costs a lookup in a folder of thousands of files). The file-system object of a run
// keeps one; a new run looks again.
class KnownVolumes {
public:
    struct Volume {
        explicit Volume(VolumeTraits volumeTraits) : traits(volumeTraits) {}

        const VolumeTraits traits;
        // Unknown until a file of ours on the volume has been looked up in other letters; set by
        // the first copy onto the volume, before any copy there is finished.
        std::optional<bool> lookupIgnoresCase;
        // Learnt while one move is published and the next one is copied, hence atomic.
        std::atomic<bool> refusesNoReplace{false};
        std::atomic<bool> refusesHardLinks{false};
    };

    // The volume of a folder on the device, judged the first time the device is asked about.
    Volume& of(dev_t device, const QString& folder);

    // The run's own folders as they were at its start (music, holding and player folders): a move
    // into one lands only in the folder found then, never in what its path names later, such as
    // the bare mount point of a player unplugged since. Pinned before the run's first move and
    // only read after, so moves on two threads may ask.
    void pin(const QString& folder, const struct stat& status);
    bool isPinned(const QString& folder) const;
    // False when the folder is pinned and the status is of another folder or device.
    bool matchesPin(const QString& folder, const struct stat& status) const;
    // False when the folder is pinned and the device is not the pinned folder's.
    bool onPinnedDevice(const QString& folder, dev_t device) const;

private:
    struct Pin {
        dev_t device;
        ino_t inode;
    };
    const Pin* pinOf(const QString& folder) const;

    std::map<dev_t, Volume> m_volumes;
    std::map<QString, Pin> m_pins;
};
