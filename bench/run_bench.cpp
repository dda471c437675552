// Whole runs of the main window. Prints "name value unit" lines:
//   run_peak_rss_mb_100k   peak memory of a run with a music folder of 100,000 files
//   fill_overhead_ms_50k   median time per fill attempt outside MoveFile, music folder of 50,000
//                          files on the player's volume, 2,000 files moved
//   run_peak_rss_mb_1m     the same peak with a music folder of 1,000,000 files, half of them
//                          out in the rotation memory's cycle
//   fill_overhead_ms_1m    the same time per attempt on that folder, rotation memory on
//   rotation_record_load_ms_1m           median time to read a rotation record of 1,000,000 songs
//   rotation_set_aside_ms_1m             median time a fill takes once, at its start, to set the
//                                        songs of such a record aside from 1,000,000 candidates
//   rotation_coverage_10_runs            the share of a library of 1,000 songs that ten runs
//                                        onto a player that holds 100 bring out, memory on
//   rotation_coverage_10_runs_uniform    the same with the memory off (each draw uniform)
// Needs root and a private mount namespace for its tmpfs volumes (scripts/bench provides both).
// The figures against peer tools on a card are card_bench's.
#include "BenchSupport.h"
#include "Median.h"
#include "app/OptionsCommand.h"
#include "fs/SystemFileSystem.h"
#include "rotation/RotationMemory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <sys/mount.h>
#include <vector>

namespace {

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

double peakResidentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

// The peak from now on, not of what the program did before.
void resetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        fail(QStringLiteral("cannot reset the peak memory figure"));
}

// Music on the disk's tmpfs, a player on another that runs out of inodes after a thousand files.
void peakMemoryOfARun(const Tmpfs& disk, const QString& music, const char* name) {
    Tmpfs player("size=64m,nr_inodes=1001");
    resetPeakResident();
    BenchWindow window({disk.root(), player.root()}, music, player.root(),
                       disk.root() + QStringLiteral("/QUAVEXTemp"), createSystemFileSystem);
    window.form->cmdGo_Click();
    std::printf("%s %.1f MB\n", name, peakResidentMiB());
    std::fflush(stdout);
}

// The time between one attempt's yield and the next, less that attempt's MoveFile, for a player
// folder on the music's volume.
void fillOverhead(const Tmpfs& disk, const QString& music, const char* name) {
    constexpr int moves = 2000;
    const QString player = disk.root() + QStringLiteral("/Player");
    QDir().mkpath(player);
    std::vector<MoveSpan> moveSpans;
    std::vector<double> yieldAt;
    BenchWindow* window = nullptr;
    BenchWindow w(
        {disk.root()}, music, player, disk.root() + QStringLiteral("/QUAVEXTemp"),
        [&] { return std::make_unique<TimedMoves>(&moveSpans); },
        [&] {
            yieldAt.push_back(programMs());
            if (yieldAt.size() > moves)
                window->form->cmdBreak_Click();
            QCoreApplication::processEvents();
        });
    window = &w;
    w.form->cmdGo_Click();
    if (moveSpans.size() != moves || yieldAt.size() != moves + 1)
        fail(QStringLiteral("expected %1 moves, saw %2").arg(moves).arg(moveSpans.size()));
    std::vector<double> outside;
    outside.reserve(moves);
    for (int i = 0; i < moves; ++i)
        outside.push_back(yieldAt[i + 1] - yieldAt[i] -
                          (moveSpans[i].endMs - moveSpans[i].startMs));
    std::printf("%s %.3f ms\n", name, median(outside));
    std::fflush(stdout);
}

QString musicOf(const Tmpfs& disk, int songs) {
    QString music = disk.root() + QStringLiteral("/Music");
    makeFiles(music, QStringLiteral("song"), songs, 0);
    return music;
}

QString songName(int index) {
    return QStringLiteral("song%1.mp3").arg(index, 6, 10, QLatin1Char('0'));
}

// A library of a million songs, every other one out in the current cycle.
void millionSongs(bool peak, bool overhead) {
    Tmpfs disk("size=1g,nr_inodes=1100000");
    const QString music = musicOf(disk, 1000000);
    {
        RotationMemory memory(music);
        for (int i = 0; i < 1000000; i += 2)
            memory.markOut(songName(i));
        if (!memory.save(*createSystemFileSystem()))
            fail(QStringLiteral("cannot write the rotation record"));
    }
    if (peak)
        peakMemoryOfARun(disk, music, "run_peak_rss_mb_1m");
    if (overhead)
        fillOverhead(disk, music, "fill_overhead_ms_1m");
}

void recordLoad() {
    const QString music = QStringLiteral("/bench/Music");
    {
        RotationMemory memory(music);
        for (int i = 0; i < 1000000; ++i)
            memory.markOut(songName(i));
        if (!memory.save(*createSystemFileSystem()))
            fail(QStringLiteral("cannot write the rotation record"));
    }
    std::vector<double> times;
    times.reserve(5);
    for (int round = 0; round < 5; ++round)
        times.push_back(timeMs([&] {
            if (RotationMemory(music).outCount() != 1000000)
                fail(QStringLiteral("the rotation record did not read back"));
        }));
    std::printf("rotation_record_load_ms_1m %.1f ms\n", median(times));
    RotationMemory memory(music);
    std::vector<QString> library;
    library.reserve(1000000);
    for (int i = 0; i < 1000000; ++i)
        library.push_back(songName(i));
    times.clear();
    for (int round = 0; round < 5; ++round) {
        std::vector<QString> candidates = library;
        times.push_back(timeMs([&] { memory.setAsideOut(candidates); }));
    }
    std::printf("rotation_set_aside_ms_1m %.1f ms\n", median(times));
    std::fflush(stdout);
}

// Ten runs of the real fill from a library of 1,000 songs onto a player that holds 100.
void coverage(bool memory, const char* name) {
    Tmpfs disk("size=64m,nr_inodes=10000");
    Tmpfs player("size=64m,nr_inodes=101");
    const QString music = musicOf(disk, 1000);
    BenchWindow window({disk.root(), player.root()}, music, player.root(),
                       disk.root() + QStringLiteral("/QUAVEXTemp"), createSystemFileSystem);
    Options options;
    options.rotationMemory = memory;
    applyOptions(*window.form, options);
    std::set<QString> out;
    for (int run = 0; run < 10; ++run) {
        window.form->cmdGo_Click();
        const QStringList onPlayer = namesIn(player.root());
        out.insert(onPlayer.begin(), onPlayer.end());
    }
    std::printf("%s %.3f fraction\n", name, double(out.size()) / 1000.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const OwnStateFolder state;
    QApplication app(argc, argv);
    // Names on the command line pick some of the figures; none gives them all.
    const QStringList wanted = QCoreApplication::arguments().mid(1);
    const auto chosen = [&](const char* name) {
        return wanted.isEmpty() || wanted.contains(QLatin1String(name));
    };
    if (chosen("run_peak_rss_mb_100k")) {
        Tmpfs disk("size=64m,nr_inodes=400000");
        peakMemoryOfARun(disk, musicOf(disk, 100000), "run_peak_rss_mb_100k");
    }
    if (chosen("fill_overhead_ms_50k")) {
        Tmpfs disk("size=256m,nr_inodes=200000");
        fillOverhead(disk, musicOf(disk, 50000), "fill_overhead_ms_50k");
    }
    if (chosen("run_peak_rss_mb_1m") || chosen("fill_overhead_ms_1m"))
        millionSongs(chosen("run_peak_rss_mb_1m"), chosen("fill_overhead_ms_1m"));
    if (chosen("rotation_record_load_ms_1m"))
        recordLoad();
    if (chosen("rotation_coverage_10_runs")) {
        coverage(true, "rotation_coverage_10_runs");
        coverage(false, "rotation_coverage_10_runs_uniform");
    }
    return 0;
}
