// Whole runs of the main window. Prints "name value unit" lines:
//   run_peak_rss_mb_100k   peak memory of a run with a music folder of 100,000 files
//   fill_overhead_ms_50k   median time per fill attempt outside MoveFile, music folder of 50,000
//                          files on the player's volume, 2,000 files moved
// Needs root and a private mount namespace for its tmpfs volumes (scripts/bench provides both).
// The figures against peer tools on a card are card_bench's.
#include "BenchSupport.h"
#include "Median.h"
#include "fs/SystemFileSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

// Music on one tmpfs, a player on another that runs out of inodes after a thousand files.
void peakMemoryOfARun() {
    Tmpfs disk("size=64m,nr_inodes=400000");
    Tmpfs player("size=64m,nr_inodes=1001");
    const QString music = disk.root() + QStringLiteral("/Music");
    makeFiles(music, QStringLiteral("song"), 100000, 0);
    BenchWindow window({disk.root(), player.root()}, music, player.root(),
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
    std::printf("fill_overhead_ms_50k %.3f ms\n", median(outside));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const OwnStateFolder state;
    QApplication app(argc, argv);
    // Names on the command line pick some of the figures; none gives both.
    const QStringList wanted = QCoreApplication::arguments().mid(1);
    const auto chosen = [&](const char* name) {
        return wanted.isEmpty() || wanted.contains(QLatin1String(name));
    };
    // First, so that the peak is this run's and not a later one's.
    if (chosen("run_peak_rss_mb_100k"))
        peakMemoryOfARun();
    if (chosen("fill_overhead_ms_50k"))
        fillOverhead();
    return 0;
}
