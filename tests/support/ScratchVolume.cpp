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
#include <fcntl.h>
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
QString runTool(const QString& program, const QStringList& arguments,
                QByteArray* output = nullptr) {
    QProcess tool;
    tool.start(systemTool(program), arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + tool.errorString() + ' ' +
               QString::fromLocal8Bit(tool.readAllStandardError());
    if (output)
        *output = tool.readAllStandardOutput().trimmed();
    return {};
}

QString makeImage(const QString& path, int sizeMiB) {
    QFile image(path);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(sizeMiB) << 20))
        return QStringLiteral("cannot make the image: ") + image.errorString();
    return {};
}

// Opens the loop device and has the kernel release it with its last user. Held open until the
// driver holds it (the device would go at once if no one did), so that a test program that is
// killed at any point leaves no loop device behind. Empty when that cannot be done.
std::unique_ptr<QFile> holdUntilLastUser(const QString& loopDevice) {
    auto device = std::make_unique<QFile>(loopDevice);
    loop_info64 info{};
    if (!device->open(QIODevice::ReadOnly) ||
        ::ioctl(device->handle(), LOOP_GET_STATUS64, &info) != 0)
        return {};
    info.lo_flags |= LO_FLAGS_AUTOCLEAR;
    if (::ioctl(device->handle(), LOOP_SET_STATUS64, &info) != 0)
        return {};
    return device;
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
      m_mountPoint(std::move(other.m_mountPoint)), m_image(std::move(other.m_image)),
      m_mounted(other.m_mounted), m_problem(std::move(other.m_problem)) {
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
    QByteArray loop;
    if (volume.m_problem.isEmpty())
        volume.m_problem =
            runTool(QStringLiteral("losetup"),
                    {QStringLiteral("--find"), QStringLiteral("--show"), volume.m_image}, &loop);
    if (!volume.m_problem.isEmpty())
        return volume;
    const QString device = QString::fromLocal8Bit(loop);
    const std::unique_ptr<QFile> held = holdUntilLastUser(device);
    if (!held) {
        runTool(QStringLiteral("losetup"), {QStringLiteral("--detach"), device});
        volume.m_problem = QStringLiteral("cannot have the kernel release ") + device;
        return volume;
    }
    volume.m_problem = runTool(QStringLiteral("mkfs.exfat"), {device});
    // exfat-fuse stays in the foreground only in its debug mode; its log goes nowhere.
    if (volume.m_problem.isEmpty())
        volume.mountThroughFuse(QStringLiteral("mount.exfat-fuse"),
                                {QStringLiteral("-d"), device, volume.m_mountPoint});
    return volume;
}

void ScratchVolume::mountThroughFuse(const QString& driver, const QStringList& arguments) {
    // In the foreground, so that the process is ours to end; and ended with the thread that
    // started it, so that a test that crashes leaves no daemon behind. Terminated, not killed: a
    // driver of a block device that is killed while it is mounted waits forever on itself for
    // the unmount, whereas one that is terminated unmounts and exits.
    m_fuse = std::make_unique<QProcess>();
    const pid_t parent = ::getpid();
    m_fuse->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
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
    if (m_mounted || m_fuse)
        ::umount2(encodeFileName(m_mountPoint).constData(), MNT_DETACH);
    if (m_fuse) {
        m_fuse->waitForFinished(5000);
        if (m_fuse->state() != QProcess::NotRunning) {
            m_fuse->terminate();
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
    if (m_mounted && ::umount2(encodeFileName(m_mountPoint).constData(), 0) == 0)
        m_mounted = false;
}

void ScratchVolume::killDevice() {
    if (!m_fuse)
        return;
    ::kill(pid_t(m_fuse->processId()), SIGKILL);
    m_fuse->waitForFinished(5000);
}
