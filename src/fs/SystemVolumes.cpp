#include "fs/SystemVolumes.h"

#include "fs/BootSectorSerial.h"
#include "fs/FileNameCodec.h"
#include "fs/MountTable.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString homeFolder() {
    const QString canonical = QFileInfo(QDir::homePath()).canonicalFilePath();
    return canonical.isEmpty() ? QDir::homePath() : canonical;
}

// Nothing when the table cannot be read, which is not the same as a drive that is not in it.
std::optional<std::vector<MountEntry>> readMountTable() {
    QByteArray text;
    const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(buffer, got);
    }
    ::close(fd);
    std::vector<MountEntry> mounts = parseMountInfo(text);
    // A later mount on the same point hides the earlier one.
    std::vector<MountEntry> visible;
    for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
        const bool hidden = std::any_of(visible.begin(), visible.end(), [&](const MountEntry& m) {
            return m.mountPoint == it->mountPoint;
        });
        if (!hidden)
            visible.push_back(*it);
    }
    std::reverse(visible.begin(), visible.end());
    return visible;
}

std::vector<MountEntry> mountTable() {
    return readMountTable().value_or(std::vector<MountEntry>{});
}

// The mount the path lies on: the deepest mount point above it.
const MountEntry* mountOf(const std::vector<MountEntry>& mounts, const QString& path) {
    const MountEntry* best = nullptr;
    for (const MountEntry& mount : mounts) {
        if (liesOnMount(path, mount.mountPoint) &&
            (!best || mount.mountPoint.size() > best->mountPoint.size()))
            best = &mount;
    }
    return best;
}
// The result points into the table, so the table must outlive the call.
const MountEntry* mountOf(std::vector<MountEntry>&& mounts, const QString& path) = delete;

// Device labels as udev publishes them: /dev/disk/by-label/<label> links to the device.
QHash<QString, QString> labelsByDevice() {
    QHash<QString, QString> labels;
    const QDir byLabel(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo& link : byLabel.entryInfoList(QDir::System | QDir::Files)) {
        labels.insert(link.canonicalFilePath(), labelFromLinkName(encodeFileName(link.fileName())));
    }
    return labels;
}

// A root as the mount table writes it: without trailing "/", save the root "/" itself.
QString withoutTrailingSlashes(QString root) {
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root;
}

// The name of the /dev/disk/by-uuid link to the device, as udev publishes it.
QString uuidOfDevice(const QString& device) {
    const QDir byUuid(QStringLiteral("/dev/disk/by-uuid"));
    for (const QFileInfo& link : byUuid.entryInfoList(QDir::System | QDir::Files)) {
        if (link.canonicalFilePath() == device)
            return link.fileName();
    }
    return {};
}

} // namespace

std::vector<Volume> SystemVolumeProvider::volumes() const {
    const std::vector<MountEntry> mounts = mountTable();
    const MountEntry* home = mountOf(mounts, homeFolder());
    const QHash<QString, QString> labels = labelsByDevice();
    std::vector<Volume> result;
    for (const MountEntry& mount : mounts) {
        if (&mount != home && !isUserVolume(mount))
            continue;
        QString label;
        if (mount.source.startsWith(QLatin1String("/dev/")))
            label = labels.value(QFileInfo(mount.source).canonicalFilePath());
        result.push_back({mount.mountPoint, label});
    }
    std::sort(result.begin(), result.end(),
              [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return result;
}

QString SystemVolumeProvider::homeVolumeRoot() const {
    const std::vector<MountEntry> mounts = mountTable();
    const MountEntry* home = mountOf(mounts, homeFolder());
    return home ? home->mountPoint : QStringLiteral("/");
}

bool SystemVolumeProvider::isReadable(const QString& root) const {
    const int fd = ::open(encodeFileName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    errno = 0;
    const bool listed = ::readdir(dir) != nullptr || errno == 0;
    ::closedir(dir);
    return listed;
}

QString SystemVolumeProvider::currentFolder(const QString& root) const {
    const QString current = QDir::currentPath();
    const std::vector<MountEntry> mounts = mountTable();
    const MountEntry* mount = mountOf(mounts, current);
    const QString bare = withoutTrailingSlashes(root);
    return mount && mount->mountPoint == bare ? current : bare;
}

FolderPlace SystemVolumeProvider::placeOf(const QString& folder, const QString& root) const {
    const QString bare = withoutTrailingSlashes(root);
    const std::optional<std::vector<MountEntry>> table = readMountTable();
    if (!table)
        return FolderPlace::Unknown;
    const std::vector<MountEntry>& mounts = *table;
    if (std::none_of(mounts.begin(), mounts.end(),
                     [&](const MountEntry& mount) { return mount.mountPoint == bare; }))
        return FolderPlace::NotMounted;
    struct stat rootStatus {};
    struct stat folderStatus {};
    // A folder that cannot be looked at is left to the run, which reports it as unreadable.
    if (::stat(encodeFileName(bare).constData(), &rootStatus) != 0 ||
        ::stat(encodeFileName(folder).constData(), &folderStatus) != 0)
        return FolderPlace::OnVolume;
    return rootStatus.st_dev == folderStatus.st_dev ? FolderPlace::OnVolume
                                                    : FolderPlace::OtherVolume;
}

QString SystemVolumeProvider::identityOf(const QString& root) const {
    const QString bare = withoutTrailingSlashes(root);
    const std::vector<MountEntry> mounts = mountTable();
    const auto mount = std::find_if(mounts.begin(), mounts.end(), [&](const MountEntry& entry) {
        return entry.mountPoint == bare;
    });
    if (mount == mounts.end() || !mount->source.startsWith(QLatin1Char('/')))
        return {};
    const QString device = QFileInfo(mount->source).canonicalFilePath();
    if (QString uuid = uuidOfDevice(device); !uuid.isEmpty())
        return uuid;
    // Without udev's links (or reading an image file a FUSE driver mounted), the boot sector.
    QFile source(device);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return bootSectorSerial(source.read(512));
}
