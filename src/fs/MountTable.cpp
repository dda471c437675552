#include "fs/MountTable.h"

#include <QList>
#include <cctype>

namespace {

// Mount points are written with spaces, tabs, newlines and backslashes as octal escapes.
QByteArray unescapeField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = false;
            const int value = digits.toInt(&ok, 8);
            if (ok && digits.size() == 3) {
                out.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

QString unescapedText(const QByteArray& field) {
    return QString::fromUtf8(unescapeField(field));
}

// Memory file systems lose their files at the next start; overlay is a container's own root.
bool inMemory(const QString& fsType) {
    for (const char* type : {"tmpfs", "ramfs", "overlay", "devtmpfs", "hugetlbfs"}) {
        if (fsType == QLatin1String(type))
            return true;
    }
    return false;
}

bool under(const QString& path, QLatin1String folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

std::vector<MountEntry> parseMountInfo(const QByteArray& text) {
    std::vector<MountEntry> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // id parent major:minor root mount-point options [optional...] - type source super-options
        qsizetype separator = -1;
        for (qsizetype i = 6; i < fields.size(); ++i) {
            if (fields[i] == "-") {
                separator = i;
                break;
            }
        }
        if (separator < 0 || separator + 2 >= fields.size())
            continue;
        MountEntry mount;
        const QByteArray mountPoint = unescapeField(fields[4]);
        mount.root = unescapedText(fields[3]);
        mount.mountPoint = QString::fromUtf8(mountPoint);
        mount.exactText = mount.mountPoint.toUtf8() == mountPoint;
        mount.fsType = unescapedText(fields[separator + 1]);
        mount.source = unescapedText(fields[separator + 2]);
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

bool isUserVolume(const MountEntry& mount) {
    if (!mount.exactText || inMemory(mount.fsType))
        return false;
    const QString& where = mount.mountPoint;
    if (under(where, QLatin1String("/media")) || under(where, QLatin1String("/run/media")) ||
        under(where, QLatin1String("/mnt")))
        return true;
    // Kernel interfaces, per-user runtime mounts (gvfs, portals), snaps, boot partitions and
    // container storage are the system's, not the user's.
    for (const char* internal :
         {"/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/lib", "/var/snap", "/efi"}) {
        if (under(where, QLatin1String(internal)))
            return false;
    }
    if (mount.fsType == QLatin1String("fuse") || mount.fsType == QLatin1String("fuseblk") ||
        mount.fsType.startsWith(QLatin1String("fuse.")))
        return true;
    if (!mount.source.startsWith(QLatin1String("/dev/")))
        return false;
    // A bind mount shows part of a volume that is listed already (containers bind single files
    // such as /etc/hosts this way); btrfs mounts its subvolumes with a root of their own.
    return mount.root == QLatin1String("/") || mount.fsType == QLatin1String("btrfs");
}

QString labelFromLinkName(const QByteArray& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            bytes.append(static_cast<char>(name.mid(i + 2, 2).toInt(nullptr, 16)));
            i += 3;
            continue;
        }
        bytes.append(name[i]);
    }
    return QString::fromUtf8(bytes);
}

bool liesOnMount(const QString& path, const QString& mountPoint) {
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}
