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
    // False when the mount point's bytes are not UTF-8: its text would name another folder.
    bool exactText = true;
};

// Parses the text of /proc/self/mountinfo; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const QByteArray& text);

// Whether a mount is a volume the user keeps files on: a block device, a FUSE file system, or
// anything under /media, /run/media or /mnt; never a memory file system (tmpfs, ramfs, overlay),
// a pseudo or system-internal mount, or a mount point whose text is not exact.
bool isUserVolume(const MountEntry& mount);

// The label a /dev/disk/by-label link name stands for: udev writes "\xHH" for each byte that is
// not plain text ("/", spaces, bytes that are not UTF-8). Bytes that are not UTF-8 show as U+FFFD.
QString labelFromLinkName(const QByteArray& name);

// Whether the path is the mount point or lies below it.
bool liesOnMount(const QString& path, const QString& mountPoint);
