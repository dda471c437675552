#include "ScratchVolume.h"

#include "fs/FileNameCodec.h"
#include "support/SystemTools.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <linux/loop.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why volumes must not be mounted in this process; empty once its mounts are its own.
QString& isolationProblem() {
    static QString problem = QStringLiteral("the test program did not isolate its mounts");
    return problem;
}

dev_t deviceOf(const QString& path) {
    struct stat status {};
    if (::stat(encodeFileName(path).constData(), &status) != 0)
        return 0;
    return status.st_dev;
}

// Runs a tool to its end; on failure returns why, with what it printed on stderr.
QString runTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(systemTool(program), arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + tool.errorString() + ' ' +
               QString::fromLocal8Bit(tool.readAllStandardError());
    return {};
}

QString makeImage(const QString& path, int sizeMiB) {
    QFile image(path);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(sizeMiB) << 20))
        return QStringLiteral("cannot make the image: ") + image.errorString();
    return {};
}

// Attaches the image to a free loop device that the kernel releases with its last user, and holds
// it open until the driver does (the device would go at once if no one held it): a test program
// killed at any point leaves no loop device behind. On failure says why in `problem`.
std::unique_ptr<QFile> attachLoopDevice(const QString& image, QString& problem) {
    QFile control(QStringLiteral("/dev/loop-control"));
    QFile backing(image);
    if (!control.open(QIODevice::ReadWrite) || !backing.open(QIODevice::ReadWrite)) {
        problem = QStringLiteral("cannot open /dev/loop-control or the image");
        return {};
    }
    // Another process may take the free device first; then the next one is tried.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int number = ::ioctl(control.handle(), LOOP_CTL_GET_FREE);
        if (number < 0)
            break;
        auto device = std::make_unique<QFile>(QStringLiteral("/dev/loop%1").arg(number));
        if (!device->open(QIODevice::ReadWrite))
            continue;
        loop_config config{};
        config.fd = __u32(backing.handle());
        config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
        if (::ioctl(device->handle(), LOOP_CONFIGURE, &config) == 0)
            return device;
    }
    problem = QStringLiteral("no loop device: ") + QString::fromLocal8Bit(strerror(errno));
    return {};
}

} // namespace

bool volumeTestsRequired() {
    return qgetenv("CI") == "true";
}

void isolateTestMounts() {
    if (::geteuid() != 0)
        isolationProblem() = QStringLiteral("mounting needs root");
    else if (!enterPrivateMountNamespace())
        isolationProblem() = QStringLiteral("no private mount namespace here: ") +
                             QString::fromLocal8Bit(strerror(errno));
    else
        isolationProblem().clear();
}

bool enterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

ScratchVolume::ScratchVolume()
    : m_place(std::make_unique<QTemporaryDir>(QDir::tempPath() + "/quavex-volume-XXXXXX")),
      m_problem(isolationProblem()) {
    m_mountPoint = m_place->path() + "/mnt";
    m_image = m_place->path() + "/volume.img";
    QDir().mkpath(m_mountPoint);
}

ScratchVolume::ScratchVolume(ScratchVolume&& other) noexcept
    : m_place(std::move(other.m_place)), m_fuse(std::move(other.m_fuse)),
      m_watcher(std::move(other.m_watcher)), m_mountPoint(std::move(other.m_mountPoint)),
      m_image(std::move(other.m_image)), m_mounted(other.m_mounted),
      m_problem(std::move(other.m_problem)) {
    other.m_mounted = false;
}

ScratchVolume ScratchVolume::tmpfs(qint64 sizeKiB) {
    ScratchVolume volume;
    if (!volume.m_problem.isEmpty())
        return volume;
    const QByteArray options = "size=" + QByteArray::number(sizeKiB) + "k";
    if (::mount("tmpfs", encodeFileName(volume.m_mountPoint).constData(), "tmpfs", 0,
                options.constData()) == 0)
        volume.m_mounted = true;
    else
        volume.m_problem =
            QStringLiteral("mount tmpfs: ") + QString::fromLocal8Bit(strerror(errno));
    return volume;
}

ScratchVolume ScratchVolume::fat(int sizeMiB) {
    // A failed mount waits out its deadline; later tests of the process are spared the wait.
    static QString earlierProblem;
    ScratchVolume volume;
    if (!volume.m_problem.isEmpty())
        return volume;
    if (!earlierProblem.isEmpty()) {
        volume.m_problem = earlierProblem;
        return volume;
    }
    volume.m_problem = makeImage(volume.m_image, sizeMiB);
    if (volume.m_problem.isEmpty())
        volume.m_problem = runTool(QStringLiteral("mkfs.vfat"), {volume.m_image});
    if (!volume.m_problem.isEmpty())
        return volume;
    volume.mountThroughFuse(QStringLiteral("fusefat"),
                            {QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("rw+"),
                             volume.m_image, volume.m_mountPoint});
    if (!volume.m_mounted)
        earlierProblem = volume.m_problem;
    return volume;
}

ScratchVolume ScratchVolume::exfat(int sizeMiB) {
    ScratchVolume volume;
    if (!volume.m_problem.isEmpty())
        return volume;
    volume.m_problem = makeImage(volume.m_image, sizeMiB);
    if (!volume.m_problem.isEmpty())
        return volume;
    const std::unique_ptr<QFile> held = attachLoopDevice(volume.m_image, volume.m_problem);
    if (!held)
        return volume;
    const QString device = held->fileName();
    // The driver's daemon is ended with this process from before it starts.
    volume.watchDaemonOf(volume.m_mountPoint);
    volume.m_problem = runTool(QStringLiteral("mkfs.exfat"), {device});
    // As a card is mounted: exfat-fuse becomes a daemon of its own, which the watcher ends. (Only
    // its debug mode stays in the foreground, and that mode logs every request.)
    if (volume.m_problem.isEmpty())
        volume.m_problem =
            runTool(QStringLiteral("mount.exfat-fuse"), {device, volume.m_mountPoint});
    if (!volume.m_problem.isEmpty())
        return volume;
    volume.m_mounted = deviceOf(volume.m_mountPoint) != deviceOf(volume.m_place->path());
    if (!volume.m_mounted)
        volume.m_problem = QStringLiteral("exfat-fuse did not mount the image");
    return volume;
}

void ScratchVolume::watchDaemonOf(const QString& mountPoint) {
    // The watcher waits on a pipe that closes when this process ends, however it ends; it then
    // terminates each process serving the mount point, which unmounts and exits. (A daemon killed
    // with SIGKILL while its block device is mounted waits forever on itself in the unmount.)
    static const QString script = QStringLiteral(
        "read -r line; for p in /proc/[0-9]*; do [ \"${p#/proc/}\" = $$ ] && continue; "
        "tr '\\0' '\\n' < \"$p/cmdline\" 2>/dev/null | grep -qxF \"$1\" && kill -TERM "
        "\"${p#/proc/}\"; done");
    m_watcher = std::make_unique<QProcess>();
    m_watcher->setStandardOutputFile(QProcess::nullDevice());
    m_watcher->start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"), script, QStringLiteral("sh"), mountPoint});
    m_watcher->waitForStarted(10000);
}

void ScratchVolume::mountThroughFuse(const QString& driver, const QStringList& arguments) {
    // In the foreground, so that the process is ours to kill; and killed with the thread that
    // started it, so that a test that crashes leaves no daemon behind.
    m_fuse = std::make_unique<QProcess>();
    const pid_t parent = ::getpid();
    m_fuse->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have died before the line above took effect.
        if (::getppid() != parent)
            ::_exit(1);
    });
    m_fuse->setStandardOutputFile(QProcess::nullDevice());
    m_fuse->setStandardErrorFile(QProcess::nullDevice());
    m_fuse->start(systemTool(driver), arguments);
    if (!m_fuse->waitForStarted(10000)) {
        m_problem = driver + QStringLiteral(" did not start: ") + m_fuse->errorString();
        return;
    }
    m_mounted = waitUntilMounted();
    if (!m_mounted)
        m_problem = driver + QStringLiteral(" did not mount the image (root and /dev/fuse needed)");
}

bool ScratchVolume::waitUntilMounted() {
    const dev_t parent = deviceOf(m_place->path());
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const dev_t device = deviceOf(m_mountPoint);
        if (device != 0 && device != parent)
            return true;
        if (m_fuse->state() == QProcess::NotRunning)
            return false;
        QThread::msleep(5);
    }
    return false;
}

ScratchVolume::~ScratchVolume() {
    if (!m_place)
        return;
    // Gone before the daemon is, so that it never signals a process that took the daemon's number.
    if (m_watcher) {
        m_watcher->kill();
        m_watcher->waitForFinished(5000);
    }
    if (m_mounted || m_fuse)
        ::umount2(encodeFileName(m_mountPoint).constData(), MNT_DETACH);
    if (m_fuse) {
        m_fuse->waitForFinished(5000);
        if (m_fuse->state() != QProcess::NotRunning) {
            m_fuse->kill();
            m_fuse->waitForFinished(5000);
        }
    }
}

QString ScratchVolume::root() const {
    return m_mountPoint;
}

pid_t ScratchVolume::devicePid() const {
    return m_fuse ? pid_t(m_fuse->processId()) : 0;
}

void ScratchVolume::unmount() {
    if (m_mounted && ::umount2(encodeFileName(m_mountPoint).constData(), MNT_DETACH) == 0)
        m_mounted = false;
}

bool ScratchVolume::makeReadOnly() {
    return m_mounted && ::mount(nullptr, encodeFileName(m_mountPoint).constData(), nullptr,
                                MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

void ScratchVolume::killDevice() {
    if (!m_fuse)
        return;
    ::kill(pid_t(m_fuse->processId()), SIGKILL);
    m_fuse->waitForFinished(5000);
}
