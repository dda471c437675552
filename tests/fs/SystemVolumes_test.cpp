#include "fs/MountTable.h"
#include "fs/SystemVolumes.h"
#include "support/ScratchVolume.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A mount table as a desktop with a player, a stick and a container's bind mounts has it.
const char* const kMountInfo =
    "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
    "22 26 0:21 / /sys rw,relatime - sysfs sysfs rw\n"
    "23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,size=100k\n"
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda1 rw\n"
    "27 26 254:1 / /home rw,relatime shared:5 - ext4 /dev/vda2 rw\n"
    "28 26 8:1 / /boot/efi rw,relatime - vfat /dev/vda3 rw\n"
    "29 26 0:40 / /run/user/1000 rw - tmpfs tmpfs rw\n"
    "30 29 0:41 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
    "31 26 8:17 / /media/ann/MY\\040PLAYER rw - vfat /dev/sdb1 rw\n"
    "32 26 0:42 / /run/media/bob/STICK rw - exfat /dev/sdc1 rw\n"
    "33 26 0:43 / /home/ann/fat rw - fuse.fusefat /tmp/p.img rw\n"
    "34 26 254:0 /var/lib/docker/containers/x/hosts /etc/hosts rw - ext4 /dev/vda1 rw\n"
    "35 26 0:44 / /mnt/scratch rw - tmpfs tmpfs rw\n"
    "36 26 0:45 / /tmp rw - tmpfs tmpfs rw\n"
    "37 26 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "38 26 0:46 /@data /data rw - btrfs /dev/sdd1 rw\n"
    "39 26 0:47 / /sys/fs/fuse/connections rw - fusectl fusectl rw\n"
    "40 26 0:48 / /media/ann/CARD rw - fuseblk /dev/loop3 rw\n"
    "41 26 0:49 / /mnt/over rw - overlay overlay rw\n"
    "42 26 0:50 / /media/ann/RAM rw - ramfs ramfs rw\n"
    "43 26 8:33 / /media/ann/bad\\377name rw - vfat /dev/sde1 rw\n"
    "44 26 8:49 / /mnt/a\\134b\\040c rw - ext4 /dev/sdf1 rw\n"
    "garbage line\n";

TEST(MountTableTest, ReadsFieldsAndUndoesEscapes) {
    const std::vector<MountEntry> mounts = parseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 22u);
    const auto player = std::find_if(mounts.begin(), mounts.end(), [](const MountEntry& m) {
        return m.source == QLatin1String("/dev/sdb1");
    });
    ASSERT_NE(player, mounts.end());
    EXPECT_EQ(player->mountPoint, QStringLiteral("/media/ann/MY PLAYER"));
    EXPECT_EQ(player->fsType, QStringLiteral("vfat"));
    EXPECT_EQ(mounts[4].mountPoint, QStringLiteral("/home")); // optional fields skipped
    EXPECT_EQ(mounts[4].source, QStringLiteral("/dev/vda2"));
    EXPECT_EQ(mounts[21].mountPoint, QStringLiteral("/mnt/a\\b c"));
}

TEST(MountTableTest, KeepsUserVolumesOnly) {
    QStringList kept;
    for (const MountEntry& mount : parseMountInfo(kMountInfo))
        if (isUserVolume(mount))
            kept.append(mount.mountPoint);
    // No memory file system even under /mnt, and no mount point whose bytes are not UTF-8.
    EXPECT_EQ(kept, (QStringList{"/", "/home", "/media/ann/MY PLAYER", "/run/media/bob/STICK",
                                 "/home/ann/fat", "/data", "/media/ann/CARD", "/mnt/a\\b c"}));
}

TEST(MountTableTest, LabelLinkNamesUndoUdevEscapes) {
    const std::pair<const char*, QString> cases[] = {
        {"MY\\x20PLAYER", QStringLiteral("MY PLAYER")},
        {"A\\x2fB", QStringLiteral("A/B")},
        {"caf\\xc3\\xa9", QString::fromUtf8("caf\xc3\xa9")},
        {"bad\\xff", QStringLiteral("bad\uFFFD")},
        {"end\\x4", QStringLiteral("end\\x4")},
        {"not\\xzz", QStringLiteral("not\\xzz")},
    };
    for (const auto& [name, label] : cases)
        EXPECT_EQ(labelFromLinkName(name), label) << name;
}

TEST(MountTableTest, PathsLieOnTheirMountPointOnly) {
    EXPECT_TRUE(liesOnMount("/media/p", "/media/p"));
    EXPECT_TRUE(liesOnMount("/media/p/Music", "/media/p"));
    EXPECT_FALSE(liesOnMount("/media/player", "/media/p"));
    EXPECT_TRUE(liesOnMount("/anything", "/"));
}

bool listed(const SystemVolumeProvider& provider, const QString& root) {
    const std::vector<Volume> volumes = provider.volumes();
    return std::any_of(volumes.begin(), volumes.end(),
                       [&](const Volume& v) { return v.root == root; });
}

// The process's current folder, put back at the end of the test.
class CurrentFolder {
public:
    CurrentFolder() : m_saved(QDir::currentPath()) {}
    ~CurrentFolder() { QDir::setCurrent(m_saved); }

private:
    QString m_saved;
};

TEST(SystemVolumesTest, TheHomeVolumeIsAlwaysListed) {
    const SystemVolumeProvider provider;
    const QString home = provider.homeVolumeRoot();
    EXPECT_TRUE(listed(provider, home)) << home.toStdString();
    EXPECT_TRUE(provider.isReadable(home));
    EXPECT_FALSE(provider.isReadable(QStringLiteral("/no/such/volume")));
}

TEST(SystemVolumesTest, AFuseVolumeIsListedAndUnreadableOnceItsDeviceDied) {
    ScratchVolume player = ScratchVolume::fat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    ASSERT_TRUE(QDir().mkpath(player.root() + "/Music"));
    const SystemVolumeProvider provider;
    EXPECT_TRUE(listed(provider, player.root()));
    EXPECT_TRUE(provider.isReadable(player.root()));

    {
        const CurrentFolder restore;
        ASSERT_TRUE(QDir::setCurrent(player.root() + "/Music"));
        EXPECT_EQ(provider.currentFolder(player.root()), player.root() + "/Music");
        EXPECT_EQ(provider.currentFolder(player.root() + "/"), player.root() + "/Music");
        EXPECT_EQ(provider.currentFolder(provider.homeVolumeRoot()), provider.homeVolumeRoot());
    }
    EXPECT_EQ(provider.currentFolder(player.root()), player.root());

    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(player.root() + "/Music"));
    EXPECT_EQ(provider.homeVolumeRoot(), player.root());
    qputenv("HOME", savedHome);

    player.killDevice();
    EXPECT_TRUE(listed(provider, player.root()));
    EXPECT_FALSE(provider.isReadable(player.root()));
}

// A memory file system is never a volume, not even under /mnt. The test mounts over /mnt, in a
// mount namespace of its own.
TEST(SystemVolumesTest, ATmpfsIsNeverAVolume) {
    QUAVEX_REQUIRE_PRIVATE_MOUNT_NAMESPACE();
    ScratchVolume elsewhere = ScratchVolume::tmpfs(64);
    QUAVEX_REQUIRE_MOUNTED(elsewhere);
    ASSERT_EQ(::mount("tmpfs", "/mnt", "tmpfs", 0, "size=64k"), 0);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("/mnt/player")));
    ASSERT_EQ(::mount("tmpfs", "/mnt/player", "tmpfs", 0, "size=64k"), 0);

    const SystemVolumeProvider provider;
    EXPECT_FALSE(listed(provider, QStringLiteral("/mnt/player")));
    EXPECT_FALSE(listed(provider, elsewhere.root()));

    ::umount2("/mnt/player", MNT_DETACH);
    ::umount2("/mnt", MNT_DETACH);
}

// A mount table that cannot be read says nothing of whether a drive is mounted. The test hides
// /proc in a mount namespace of its own.
TEST(SystemVolumesTest, AMountTableThatCannotBeReadLeavesThePlaceUnknown) {
    QUAVEX_REQUIRE_PRIVATE_MOUNT_NAMESPACE();
    const SystemVolumeProvider provider;
    const QString home = provider.homeVolumeRoot();
    EXPECT_EQ(provider.placeOf(home, home), FolderPlace::OnVolume);
    ASSERT_EQ(::mount("tmpfs", "/proc", "tmpfs", 0, "size=64k"), 0);
    EXPECT_EQ(provider.placeOf(home, home), FolderPlace::Unknown);
    ::umount2("/proc", MNT_DETACH);
}

} // namespace
