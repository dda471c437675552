#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <sys/types.h>

// A real, small volume mounted at a fresh temporary folder for the life of the object, for tests
// that need a file system of their own: one that fills up, one with FAT's rules, one whose device
// goes away.
//
//   ScratchVolume player = ScratchVolume::fat(4);      // 4 MiB FAT image through fusefat -o rw+
//   QUAVEX_REQUIRE_MOUNTED(player);                     // skips, or fails when CI=true
//   QFile song(player.root() + "/Song.mp3");
//   player.killDevice();                               // kill -9 fusefat: ENOTCONN from now on
//
//   ScratchVolume card = ScratchVolume::exfat(16);     // 16 MiB exFAT image on a loop device
//                                                      // through exfat-fuse, as a card is read
//   ScratchVolume ram = ScratchVolume::tmpfs(256);     // tmpfs of 256 KiB
//
// exFAT is the stand-in for a player: case-insensitive, refuses FAT's characters, and holds
// thousands of creates and renames. fusefat has faults of its own (creating in a subfolder fails
// with ENOENT after a few dozen create-and-rename pairs; it spins on large folders), so keep fat()
// for what is FAT-specific: 8.3 names, the fixed FAT16 root folder, a device killed mid-write.
//
// Mounting needs root and a test program whose mounts are its own (isolateTestMounts() below);
// elsewhere a volume is not mounted and tells why. The destructor unmounts (lazily, so a stale
// mount goes too) and removes the folder and the image.
class ScratchVolume {
public:
    static ScratchVolume tmpfs(qint64 sizeKiB);
    // fusefat's known faults, which a test on it meets as its own: creating a file in a subfolder
    // fails with ENOENT after a few dozen create-and-rename pairs there; a folder of a few hundred
    // entries makes it spin at full CPU; a full volume answers writes with EPERM, not ENOSPC.
    static ScratchVolume fat(int sizeMiB);
    static ScratchVolume exfat(int sizeMiB);

    ScratchVolume(ScratchVolume&&) noexcept;
    ScratchVolume& operator=(ScratchVolume&&) = delete;
    ~ScratchVolume();

    bool mounted() const { return m_mounted; }
    // Why mounting failed; empty when mounted.
    const QString& problem() const { return m_problem; }
    // The mount point, without a trailing "/".
    QString root() const;
    // The fusefat process of a FAT volume, 0 for tmpfs and exFAT.
    pid_t devicePid() const;
    // Unmounts the volume as a player that is unplugged: its mount point is a bare folder again.
    // Lazily, as `umount -l` or a desktop's eject does while a program still has it open.
    void unmount();
    // Mounts a tmpfs volume again read-only, as a write-protected drive: true when it now is.
    bool makeReadOnly();
    // Kills the fusefat process with SIGKILL and waits for it: every later call on the volume
    // fails with ENOTCONN, as with a player pulled out mid-write. FAT volumes only: a killed
    // driver of a block device (exFAT) hangs in its own unmount.
    void killDevice();

private:
    ScratchVolume();
    // Starts the FUSE driver with the arguments and waits until the image is mounted.
    void mountThroughFuse(const QString& driver, const QStringList& arguments);
    bool waitUntilMounted();
    void watchDaemonOf(const QString& mountPoint);

    std::unique_ptr<QTemporaryDir> m_place;
    std::unique_ptr<QProcess> m_fuse;
    // Ends a daemon that runs on its own (exfat-fuse) when this process ends.
    std::unique_ptr<QProcess> m_watcher;
    QString m_mountPoint;
    QString m_image;
    bool m_mounted = false;
    QString m_problem;
};

// The macros below are for tests, which include GoogleTest themselves; the volumes need only Qt.

// True when the environment says CI=true: volume tests must run there, never skip.
bool volumeTestsRequired();

// Use at the top of a test body: skips the test when the volume could not be mounted, or fails it
// when volumeTestsRequired().
#define QUAVEX_REQUIRE_MOUNTED(volume)                                                             \
    do {                                                                                           \
        if (!(volume).mounted()) {                                                                 \
            if (volumeTestsRequired())                                                             \
                FAIL() << "cannot mount a scratch volume: " << (volume).problem().toStdString();   \
            GTEST_SKIP() << "cannot mount a scratch volume: " << (volume).problem().toStdString(); \
        }                                                                                          \
    } while (false)

// Called by the main() of a test or benchmark program before any thread starts. As root, moves the
// process into a mount namespace of its own, so that its mounts vanish with it however it ends,
// even when a test program is run by hand and crashes. Volumes are mounted only once this has
// succeeded.
void isolateTestMounts();

// Moves this thread into a mount namespace of its own whose mounts reach no other process, for a
// test that mounts over a folder it does not own (needs root).
bool enterPrivateMountNamespace();

// Use at the top of a test body that mounts by hand: enters a private mount namespace, or skips
// the test (fails it when volumeTestsRequired()) where that is not allowed.
#define QUAVEX_REQUIRE_PRIVATE_MOUNT_NAMESPACE()                                                   \
    do {                                                                                           \
        if (!enterPrivateMountNamespace()) {                                                       \
            if (volumeTestsRequired())                                                             \
                FAIL() << "needs root for a private mount namespace";                              \
            GTEST_SKIP() << "needs root for a private mount namespace";                            \
        }                                                                                          \
    } while (false)
