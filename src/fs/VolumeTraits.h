#pragma once

#include <QString>

class SystemCalls;

// What the file system holding a folder means for a move into it.
struct VolumeTraits {
    // Names differing only in letter case are the same name (FAT, exFAT and FUSE block-device
    // file systems such as fusefat, exfat-fuse and ntfs-3g).
    bool caseInsensitive = false;
    // Names are held to the FAT rules of FatNames.h.
    bool fatNames = false;
};

// Judged from the kernel's file-system type and, for FUSE, the type the mount table names.
// A folder that cannot be examined gets the strict traits: a refused name there costs less than
// a replaced file.
VolumeTraits volumeTraitsOf(const QString& folder);
