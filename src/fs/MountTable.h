#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// One line of the kernel's mount table (/proc/self/mountinfo).
struct MountEntry {
    QString mountPoint;
    QString root;   // the part of the file system mounted there; "/" unless a bind mount
    QString fsType; // e.g. "ext4", "fuse.fusefat"
    QString source; // e.g. "/dev/sdb1"
};

// Parses the text of /proc/self/mountinfo; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const QByteArray& text);

// Whether a mount is a volume the user keeps files on: a block device, a FUSE file system, or
// anything under /media, /run/media or /mnt; never a pseudo or system-internal mount.
bool isUserVolume(const MountEntry& mount);

// Whether the path is the mount point or lies below it.
bool liesOnMount(const QString& path, const QString& mountPoint);
