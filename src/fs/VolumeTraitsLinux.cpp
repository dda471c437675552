#include "fs/FileNameCodec.h"
#include "fs/VolumeTraits.h"

#include <QFile>
#include <QStringList>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace {

constexpr unsigned long MsdosMagic = 0x4d44;
constexpr unsigned long ExfatMagic = 0x2011BAB0;
constexpr unsigned long FuseMagic = 0x65735546;

bool isFatLikeTypeName(const QString& type) {
    return type == QLatin1String("vfat") || type == QLatin1String("msdos") ||
           type == QLatin1String("exfat") || type == QLatin1String("fuseblk") ||
           (type.startsWith(QLatin1String("fuse")) && type.contains(QLatin1String("fat")));
}

// What /proc/self/mountinfo says of the mount of the device numbers: its file-system type and its
// source (the device, for a block device).
struct MountOf {
    QString type;
    QString source;
};

MountOf mountOf(dev_t device) {
    QFile mountInfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountInfo.open(QIODevice::ReadOnly))
        return {};
    const QString wanted = QStringLiteral("%1:%2").arg(major(device)).arg(minor(device));
    const QStringList lines = QString::fromLocal8Bit(mountInfo.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        const qsizetype separator = fields.indexOf(QStringLiteral("-"));
        if (fields.size() > 2 && fields[2] == wanted && separator > 0 &&
            separator + 2 < fields.size())
            return {fields[separator + 1], fields[separator + 2]};
    }
    return {};
}

// Whether the block device holds an exFAT file system: the name in its boot sector. False where
// the device cannot be read (a user without access to it).
bool holdsExfat(const QString& device) {
    QFile boot(device);
    if (!boot.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    return boot.read(11).mid(3) == QByteArrayLiteral("EXFAT   ");
}

} // namespace

VolumeTraits volumeTraitsOf(const QString& folder) {
    const QByteArray path = encodeFileName(folder);
    struct statfs fileSystem {};
    struct stat status {};
    if (::statfs(path.constData(), &fileSystem) != 0 || ::stat(path.constData(), &status) != 0)
        return {true, true, FatLargestFile, GroupFlush::EachFile};
    const auto magic = static_cast<unsigned long>(fileSystem.f_type);
    if (magic == MsdosMagic)
        return {true, true, FatLargestFile};
    if (magic == ExfatMagic)
        return {true, true};
    if (magic == FuseMagic) {
        const MountOf mount = mountOf(status.st_dev);
        const QString& type = mount.type;
        const bool fatLike = type.isEmpty() || isFatLikeTypeName(type);
        // fuseblk may be exFAT or NTFS, which have no such limit.
        const bool fat = type.isEmpty() || (type.startsWith(QLatin1String("fuse.")) &&
                                            type.contains(QLatin1String("fat")) &&
                                            !type.contains(QLatin1String("exfat")));
        // exfat-fuse mounts as fuseblk; only its device tells it from ntfs-3g.
        const bool exfatFuse = type == QLatin1String("fuseblk") && holdsExfat(mount.source);
        return {fatLike, fatLike, fat ? FatLargestFile : 0,
                exfatFuse ? GroupFlush::AnyFile : GroupFlush::EachFile};
    }
    return {};
}
