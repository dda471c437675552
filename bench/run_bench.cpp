// Whole runs of the main window on real volumes. Prints "name value unit" lines:
//   run_peak_rss_mb_100k   peak memory of a run with a music folder of 100,000 files
//   fill_overhead_ms_50k   median time per fill attempt outside MoveFile, music folder of 50,000
//                          files on the player's volume, 2,000 files moved
//   run_vs_mv_ratio        a whole run (clear 100 files, fill a 1 GiB tmpfs with 4 MiB files,
//                          restore) against mv moving the same files
//   run_vs_mv_sync_ratio   the same run against mv followed by sync, which, like the run, has the
//                          files on the disk before the program ends
// Needs root and a private mount namespace for its tmpfs volumes (scripts/bench provides both).
#include "Median.h"
#include "app/Form1.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/SystemFileSystem.h"
#include "rotation/ClockRandomSource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 MiB = qint64{1024} * 1024;

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "run_bench: %s\n", why.toLocal8Bit().constData());
    std::exit(1);
}

// A tmpfs mounted on a fresh folder for the life of the object.
class Tmpfs {
public:
    explicit Tmpfs(const QByteArray& options) {
        if (!m_place.isValid())
            fail(QStringLiteral("no temporary folder"));
        if (::mount("tmpfs", m_place.path().toLocal8Bit().constData(), "tmpfs", 0,
                    options.constData()) != 0)
            fail(QStringLiteral("cannot mount tmpfs (%1): %2; run as root inside unshare -m")
                     .arg(QString::fromLatin1(options), QString::fromLocal8Bit(strerror(errno))));
    }
    ~Tmpfs() { ::umount2(m_place.path().toLocal8Bit().constData(), MNT_DETACH); }
    QString root() const { return m_place.path(); }

private:
    QTemporaryDir m_place;
};

// The drives of the bench: the folders it names, each as its own volume.
class BenchVolumes : public VolumeProvider {
public:
    explicit BenchVolumes(QStringList roots) : m_roots(std::move(roots)) {}
    std::vector<Volume> volumes() const override {
        std::vector<Volume> all;
        for (const QString& root : m_roots)
            all.push_back({root, {}});
        return all;
    }
    QString homeVolumeRoot() const override { return m_roots.front(); }
    bool isReadable(const QString&) const override { return true; }
    QString currentFolder(const QString& root) const override { return root; }

private:
    QStringList m_roots;
};

class DefaultAnswers : public Prompter {
public:
    MessageAnswer ask(const MessageRequest& request) override {
        std::fprintf(stderr, "run_bench: message box: %s\n",
                     request.text.toLocal8Bit().constData());
        return request.defaultButton;
    }
};

// The real file-system object, timing each single-file move.
class TimedMoves : public FileSystemObject {
public:
    explicit TimedMoves(std::vector<double>* moveMs)
        : m_real(createSystemFileSystem()), m_moveMs(moveMs) {}
    bool FolderExists(const QString& path) override { return m_real->FolderExists(path); }
    FsFolder GetFolder(const QString& path) override { return m_real->GetFolder(path); }
    void MoveFile(const QString& source, const QString& destination) override {
        if (source.endsWith(QStringLiteral("*.*"))) {
            m_real->MoveFile(source, destination);
            return;
        }
        QElapsedTimer timer;
        timer.start();
        try {
            m_real->MoveFile(source, destination);
        } catch (...) {
            m_moveMs->push_back(double(timer.nsecsElapsed()) / 1e6);
            throw;
        }
        m_moveMs->push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    bool DeleteDuplicate(const QString& duplicate, const QString& original) override {
        return m_real->DeleteDuplicate(duplicate, original);
    }
    void CreateFolder(const QString& path) override { m_real->CreateFolder(path); }
    void DeleteFolder(const QString& path) override { m_real->DeleteFolder(path); }

private:
    std::unique_ptr<FileSystemObject> m_real;
    std::vector<double>* m_moveMs;
};

void writeFile(const QString& path, qint64 size) {
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("cannot create %1").arg(path));
    QByteArray block(int(std::min<qint64>(size, MiB)), 'x');
    block.replace(0, std::min<qsizetype>(block.size(), name.size()), name);
    for (qint64 written = 0; written < size;) {
        const auto chunk =
            ::write(fd, block.constData(), std::min<qint64>(block.size(), size - written));
        if (chunk <= 0)
            fail(QStringLiteral("cannot write %1").arg(path));
        written += chunk;
    }
    ::close(fd);
}

void makeFiles(const QString& folder, const QString& stem, int count, qint64 size) {
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i)
        writeFile(QStringLiteral("%1/%2%3.mp3").arg(folder, stem).arg(i, 6, 10, QLatin1Char('0')),
                  size);
}

// A main window whose Select runs on the given folders, with the real file-system object.
struct Window {
    Window(
        const QStringList& drives, const QString& music, const QString& player,
        const QString& holding, FileSystemFactory factory,
        std::function<void()> onYield = [] { QCoreApplication::processEvents(); }) {
        Form1Services services;
        services.volumes = std::make_shared<BenchVolumes>(drives);
        services.createFileSystem = std::move(factory);
        services.prompter = std::make_shared<DefaultAnswers>();
        services.random = std::make_shared<ClockRandomSource>();
        services.yieldEvents = std::move(onYield);
        services.holdingFolder = holding;
        form = std::make_unique<Form1>(std::move(services));
        form->show();
        form->Dir1->setPath(music);
        form->dirOp1->setPath(player);
        form->chk1->setValue(1);
        form->chkWarn->setValue(1);
        QCoreApplication::processEvents();
    }
    std::unique_ptr<Form1> form;
};

double peakResidentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

// Music on one tmpfs, a player on another that runs out of inodes after a thousand files.
void peakMemoryOfARun() {
    Tmpfs disk("size=64m,nr_inodes=400000");
    Tmpfs player("size=64m,nr_inodes=1001");
    const QString music = disk.root() + QStringLiteral("/Music");
    makeFiles(music, QStringLiteral("song"), 100000, 0);
    Window window({disk.root(), player.root()}, music, player.root(),
                  disk.root() + QStringLiteral("/QUAVEXTemp"), createSystemFileSystem);
    window.form->cmdGo_Click();
    std::printf("run_peak_rss_mb_100k %.1f MB\n", peakResidentMiB());
    std::fflush(stdout);
}

// The time between one attempt's yield and the next, less that attempt's MoveFile.
void fillOverhead() {
    constexpr int moves = 2000;
    Tmpfs disk("size=256m,nr_inodes=200000");
    const QString music = disk.root() + QStringLiteral("/Music");
    const QString player = disk.root() + QStringLiteral("/Player");
    makeFiles(music, QStringLiteral("song"), 50000, 0);
    QDir().mkpath(player);
    std::vector<double> moveMs;
    std::vector<double> yieldAt;
    QElapsedTimer clock;
    clock.start();
    Window* window = nullptr;
    Window w(
        {disk.root()}, music, player, disk.root() + QStringLiteral("/QUAVEXTemp"),
        [&] { return std::make_unique<TimedMoves>(&moveMs); },
        [&] {
            yieldAt.push_back(double(clock.nsecsElapsed()) / 1e6);
            if (yieldAt.size() > moves)
                window->form->cmdBreak_Click();
            QCoreApplication::processEvents();
        });
    window = &w;
    w.form->cmdGo_Click();
    if (moveMs.size() != moves || yieldAt.size() != moves + 1)
        fail(QStringLiteral("expected %1 moves, saw %2").arg(moves).arg(moveMs.size()));
    std::vector<double> outside;
    outside.reserve(moves);
    for (int i = 0; i < moves; ++i)
        outside.push_back(yieldAt[i + 1] - yieldAt[i] - moveMs[i]);
    std::printf("fill_overhead_ms_50k %.3f ms\n", median(outside));
    std::fflush(stdout);
}

double timeMs(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

void mv(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("mv"), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        fail(QStringLiteral("mv failed: %1")
                 .arg(QString::fromLocal8Bit(process.readAllStandardError())));
}

QStringList pathsIn(const QString& folder, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names)
        paths.append(folder + QLatin1Char('/') + name);
    return paths;
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The run, then mv doing the same three moves from the same starting point; the best of two each.
void runAgainstMv() {
    QTemporaryDir disk;
    Tmpfs player("size=1g");
    const QString music = disk.path() + QStringLiteral("/Music");
    const QString holding = disk.path() + QStringLiteral("/QUAVEXTemp");
    makeFiles(music, QStringLiteral("song"), 300, 4 * MiB);
    makeFiles(player.root(), QStringLiteral("old"), 100, 4 * MiB);
    const QStringList old = namesIn(player.root());

    double bestRun = 0;
    double bestMv = 0;
    double bestMvSync = 0;
    for (int round = 0; round < 2; ++round) {
        Window window({disk.path(), player.root()}, music, player.root(), holding,
                      createSystemFileSystem);
        const double run = timeMs([&] { window.form->cmdGo_Click(); });
        const QStringList filled = namesIn(player.root());
        if (QFileInfo::exists(holding) || filled.isEmpty() || filled.size() >= 300)
            fail(QStringLiteral("the run did not end as expected"));

        // Back to the starting point, untimed.
        mv(pathsIn(player.root(), filled) << music);
        mv(pathsIn(music, old) << player.root());

        // mv leaves the cleared files in the page cache only; with a sync at the end they are on
        // the disk, as the run has them before it deletes anything from the player.
        const auto byMv = [&](bool durable) {
            ::sync();
            const double ms = timeMs([&] {
                QDir().mkdir(holding);
                mv(pathsIn(player.root(), namesIn(player.root())) << holding);
                mv(pathsIn(music, filled) << player.root());
                mv(pathsIn(holding, namesIn(holding)) << music);
                QDir().rmdir(holding);
                if (durable)
                    ::sync();
            });
            mv(pathsIn(player.root(), filled) << music);
            mv(pathsIn(music, old) << player.root());
            return ms;
        };
        const double plain = byMv(false);
        const double durable = byMv(true);
        bestRun = round == 0 ? run : std::min(bestRun, run);
        bestMv = round == 0 ? plain : std::min(bestMv, plain);
        bestMvSync = round == 0 ? durable : std::min(bestMvSync, durable);
    }
    std::printf("run_vs_mv_ratio %.3f ratio\n", bestRun / bestMv);
    std::printf("run_vs_mv_sync_ratio %.3f ratio\n", bestRun / bestMvSync);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // Names on the command line pick some of the figures; none gives all three.
    const QStringList wanted = QCoreApplication::arguments().mid(1);
    const auto chosen = [&](const char* name) {
        return wanted.isEmpty() || wanted.contains(QLatin1String(name));
    };
    // First, so that the peak is this run's and not a later one's.
    if (chosen("run_peak_rss_mb_100k"))
        peakMemoryOfARun();
    if (chosen("fill_overhead_ms_50k"))
        fillOverhead();
    if (chosen("run_vs_mv_ratio"))
        runAgainstMv();
    return 0;
}
