// Moves onto an exFAT card (a loop device through exfat-fuse, as Linux reads a player's card where
// the kernel has no driver), each against a peer tool in the same run. Prints "name value unit":
//   exfat_fill_vs_rsync_fsync_ratio_5k  a run filling an empty player folder with 5,000 files of
//                                       16 KiB, against rsync -t --fsync --remove-source-files;
//                                       median of five rounds taken in turns
//   exfat_fill_vs_mv_sync_ratio_5k      the same fill against mv of 5,000 such files followed by
//                                       one sync, the floor that keeps nothing safe on the way
//   exfat_fill_vs_bare_moves_ratio_5k   the same fill against the same moves made by the
//                                       file-system object alone, without the window, in a random
//                                       order as the fill's
//   exfat_bare_moves_vs_rsync_fsync_ratio_5k
//                                       those bare moves against rsync in the same round
//   exfat_move_growth_ratio_5k          the time the fill's last 500 moves took, against its
//                                       first 500; median of the rounds
//   exfat_rsync_growth_ratio_5k         the same for rsync: its last 500 files against its first
//                                       500, each 500 in one call; how much the driver itself
//                                       slows down as the folder fills
//   exfat_growth_vs_rsync_growth_5k     the fill's growth divided by rsync's in the same round
//   exfat_added_ms_vs_rsync_added_ms_5k how much longer the fill's last 500 moves took than its
//                                       first 500, against the same for rsync: the growth in
//                                       time, which a fast start does not inflate as it does the
//                                       ratio above
//   exfat_clear_vs_mv_sync_ratio_5k     clearing the 5,000 files of the filled player folder into
//                                       the holding folder, against mv of 5,000 such files from
//                                       the card followed by one sync
//   exfat_fill_subfolders_vs_rsync_fsync_ratio_5k
//                                       with music in subfolders, a run filling an empty player
//                                       folder with 5,000 files of 16 KiB in 250 album folders
//                                       (25 artists of 10 albums of 20 songs), against
//                                       rsync -rt --fsync --remove-source-files of the same tree;
//                                       median of three rounds taken in turns, with the two
//                                       times (exfat_fill_subfolders_s_5k,
//                                       exfat_rsync_fsync_subfolders_s_5k)
//   exfat_run_vs_mv_sync_ratio          a whole run (clear 50 files of 4 MiB, fill a 256 MiB card
//                                       with 4 MiB files until it is full, restore) against mv of
//                                       the same files followed by sync
// The music folder is on the local disk. Needs root and a private mount namespace (scripts/bench
// provides both), exfat-fuse, exfatprogs and rsync.
#include "BenchSupport.h"
#include "Median.h"
#include "fs/SongOriginsName.h"
#include "fs/SystemFileSystem.h"
#include "support/ScratchVolume.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

ScratchVolume mountedCard(int sizeMiB) {
    ScratchVolume card = ScratchVolume::exfat(sizeMiB);
    if (!card.mounted())
        fail(QStringLiteral("cannot mount an exFAT card: ") + card.problem());
    return card;
}

QString localDiskFolder() {
    return QStringLiteral("/var/tmp/quavex-card-bench-XXXXXX");
}

// One round: rsync of 5,000 files into a fresh folder of the card; the same moves made by the
// file-system object alone, without the window, and mv of them back to the disk and one sync; mv of
// 5,000 more and one sync; the fill of 5,000 more, and the clearing of the filled folder into the
// holding folder, last in one round and first in the next. Each into a folder of its own, each on
// an otherwise empty card. Gives the times and the growth ratios of rsync and the fill.
struct FillRound {
    double rsyncMs;
    double bareMs;
    double mvSyncMs;
    double fillMs;
    double clearMs;
    double mvSyncBackMs;
    double growth;
    double rsyncGrowth;
    double addedMs;
    double rsyncAddedMs;
};

// The time a sequence of moves took, from the start of the first to the end of the last.
double spanMs(const std::vector<MoveSpan>& moves) {
    return moves.back().endMs - moves.front().startMs;
}

// Each way of moving starts on a card that holds only the files it moves itself: exfat-fuse
// writes out every node it knows at each flush, so files left by the way before would slow the
// next.
void emptyCard(const QString& folder) {
    QDir(folder).removeRecursively();
    ::sync();
}

double mvThenSyncMs(const QString& from, const QString& to) {
    const QStringList paths = pathsIn(from, namesIn(from));
    return timeMs([&] {
        runTool(QStringLiteral("mv"), QStringList(paths) << to + QLatin1Char('/'));
        ::sync();
    });
}

FillRound fillRound(const ScratchVolume& card, const QString& diskFolder, int round) {
    constexpr int files = 5000;
    constexpr int edge = 500;
    const QString tag = QString::number(round);
    const QString music = diskFolder + QStringLiteral("/Music") + tag;
    const QString theirs = diskFolder + QStringLiteral("/Theirs") + tag;
    const QString player = card.root() + QStringLiteral("/Player") + tag;
    const QString rsynced = card.root() + QStringLiteral("/Rsync") + tag;
    const QString bare = diskFolder + QStringLiteral("/Bare") + tag;
    const QString bareMoved = card.root() + QStringLiteral("/Bare") + tag;
    const QString floor = diskFolder + QStringLiteral("/Floor") + tag;
    const QString floorMoved = card.root() + QStringLiteral("/Floor") + tag;
    const QString holding = diskFolder + QStringLiteral("/QUAVEXTemp");
    makeFiles(music, QStringLiteral("song"), files, 16 * KiB);
    makeFiles(theirs, QStringLiteral("song"), files, 16 * KiB);
    makeFiles(bare, QStringLiteral("song"), files, 16 * KiB);
    makeFiles(floor, QStringLiteral("song"), files, 16 * KiB);
    for (const QString& folder : {player, rsynced, bareMoved, floorMoved, holding})
        QDir().mkpath(folder);

    FillRound result{};
    // The fill and its clearing come first in every other round, so that neither side always
    // meets the card after the other.
    const auto fillAndClear = [&] {
        ::sync();
        std::vector<MoveSpan> moves;
        BenchWindow window({diskFolder, card.root()}, music, player, holding,
                           [&] { return std::make_unique<TimedMoves>(&moves); });
        result.fillMs = timeMs([&] { window.form->cmdGo_Click(); });
        if (moves.size() != files || namesIn(player).size() != files)
            fail(QStringLiteral("the fill moved %1 files, not %2").arg(moves.size()).arg(files));
        const std::vector<MoveSpan> first(moves.begin(), moves.begin() + edge);
        const std::vector<MoveSpan> last(moves.end() - edge, moves.end());
        result.growth = spanMs(last) / spanMs(first);
        result.addedMs = spanMs(last) - spanMs(first);

        ::sync();
        QDir().mkpath(holding);
        window.form->run().Fso = createSystemFileSystem();
        result.clearMs = timeMs([&] { window.form->run().ClearPlayer(1); });
        if (!namesIn(player).isEmpty() || namesIn(holding).size() != files)
            fail(QStringLiteral("the clearing did not move every file"));
    };
    if (round % 2 == 1)
        fillAndClear();
    ::sync();
    // In three calls, so that its first 500 files and its last 500 can be timed apart.
    const QStringList theirNames = namesIn(theirs);
    const auto rsyncMs = [&](qsizetype from, qsizetype count) {
        return timeMs([&] {
            runTool(QStringLiteral("rsync"),
                    QStringList{QStringLiteral("-t"), QStringLiteral("--fsync"),
                                QStringLiteral("--remove-source-files")}
                        << pathsIn(theirs, theirNames.mid(from, count))
                        << rsynced + QLatin1Char('/'));
        });
    };
    const double rsyncFirst = rsyncMs(0, edge);
    const double rsyncMiddle = rsyncMs(edge, files - 2 * edge);
    const double rsyncLast = rsyncMs(files - edge, edge);
    result.rsyncMs = rsyncFirst + rsyncMiddle + rsyncLast;
    result.rsyncGrowth = rsyncLast / rsyncFirst;
    result.rsyncAddedMs = rsyncLast - rsyncFirst;
    if (!namesIn(theirs).isEmpty() || namesIn(rsynced).size() != files)
        fail(QStringLiteral("rsync did not move every file"));
    emptyCard(rsynced);

    ::sync();
    result.bareMs = timeMs([&] {
        SystemFileSystem moves;
        // In a random order, as the fill draws its files.
        QStringList order = namesIn(bare);
        std::mt19937 random(round);
        std::shuffle(order.begin(), order.end(), random);
        for (const QString& name : order)
            moves.MoveInGroup(bare + QLatin1Char('/') + name, bareMoved + QLatin1Char('/') + name);
        moves.SettleMoves();
    });
    if (namesIn(bareMoved).size() != files)
        fail(QStringLiteral("the bare moves did not move every file"));
    ::sync();
    result.mvSyncBackMs = mvThenSyncMs(bareMoved, bare);
    if (namesIn(bare).size() != files)
        fail(QStringLiteral("mv did not move every file back"));

    ::sync();
    result.mvSyncMs = mvThenSyncMs(floor, floorMoved);
    if (namesIn(floorMoved).size() != files)
        fail(QStringLiteral("mv did not move every file"));
    emptyCard(floorMoved);

    if (round % 2 == 0)
        fillAndClear();
    // Each round starts on a card as empty as the last one's.
    for (const QString& folder : {player, rsynced, bareMoved, floorMoved, holding})
        QDir(folder).removeRecursively();
    return result;
}

// The card's speed drifts by a factor of two from minute to minute on a shared machine, so the two
// sides take turns, five rounds each, and each figure is the median over the rounds.
void fillAgainstRsync() {
    constexpr int rounds = 5;
    const ScratchVolume card = mountedCard(1024);
    QTemporaryDir disk(localDiskFolder());
    std::vector<FillRound> results;
    for (int round = 0; round < rounds; ++round)
        results.push_back(fillRound(card, disk.path(), round));
    // Times in seconds, then ratios, each the median of its value over the rounds.
    struct Figure {
        const char* name;
        double (*of)(const FillRound&);
    };
    const Figure times[] = {
        {"exfat_fill_s_5k", [](const FillRound& r) { return r.fillMs; }},
        {"exfat_bare_moves_s_5k", [](const FillRound& r) { return r.bareMs; }},
        {"exfat_rsync_fsync_s_5k", [](const FillRound& r) { return r.rsyncMs; }},
        {"exfat_mv_sync_s_5k", [](const FillRound& r) { return r.mvSyncMs; }},
        {"exfat_clear_s_5k", [](const FillRound& r) { return r.clearMs; }},
        {"exfat_clear_mv_sync_s_5k", [](const FillRound& r) { return r.mvSyncBackMs; }}};
    const Figure ratios[] = {
        {"exfat_fill_vs_rsync_fsync_ratio_5k",
         [](const FillRound& r) { return r.fillMs / r.rsyncMs; }},
        {"exfat_fill_vs_mv_sync_ratio_5k",
         [](const FillRound& r) { return r.fillMs / r.mvSyncMs; }},
        {"exfat_fill_vs_bare_moves_ratio_5k",
         [](const FillRound& r) { return r.fillMs / r.bareMs; }},
        {"exfat_bare_moves_vs_rsync_fsync_ratio_5k",
         [](const FillRound& r) { return r.bareMs / r.rsyncMs; }},
        {"exfat_move_growth_ratio_5k", [](const FillRound& r) { return r.growth; }},
        {"exfat_rsync_growth_ratio_5k", [](const FillRound& r) { return r.rsyncGrowth; }},
        {"exfat_growth_vs_rsync_growth_5k",
         [](const FillRound& r) { return r.growth / r.rsyncGrowth; }},
        {"exfat_added_ms_vs_rsync_added_ms_5k",
         [](const FillRound& r) { return r.addedMs / r.rsyncAddedMs; }},
        {"exfat_clear_vs_mv_sync_ratio_5k",
         [](const FillRound& r) { return r.clearMs / r.mvSyncBackMs; }}};
    const auto medianOf = [&](const Figure& figure) {
        std::vector<double> values;
        for (const FillRound& result : results)
            values.push_back(figure.of(result));
        return median(values);
    };
    for (const Figure& figure : times)
        std::printf("%s %.2f s\n", figure.name, medianOf(figure) / 1000);
    for (const Figure& figure : ratios)
        std::printf("%s %.3f ratio\n", figure.name, medianOf(figure));
    std::fflush(stdout);
}

// 25 artists of 10 albums of 20 songs: 5,000 files in 250 album folders.
void makeLibrary(const QString& folder) {
    for (int artist = 0; artist < 25; ++artist)
        for (int album = 0; album < 10; ++album)
            makeFiles(QStringLiteral("%1/Artist %2/Album %3").arg(folder).arg(artist).arg(album),
                      QStringLiteral("song"), 20, 16 * KiB);
}

// The songs below the folder: its files but the player's record of their origins.
qsizetype filesBelow(const QString& folder) {
    qsizetype count = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (!isSongOriginsName(QFileInfo(it.next()).fileName()))
            ++count;
    return count;
}

// One round of the fill of a library in album folders against rsync of the same tree, each on an
// otherwise empty card, taking turns at going first. Gives the two times.
std::pair<double, double> treeRound(const ScratchVolume& card, const QString& diskFolder,
                                    int round) {
    constexpr qsizetype files = 5000;
    const QString tag = QString::number(round);
    const QString music = diskFolder + QStringLiteral("/TreeMusic") + tag;
    const QString theirs = diskFolder + QStringLiteral("/TreeTheirs") + tag;
    const QString player = card.root() + QStringLiteral("/TreePlayer") + tag;
    const QString rsynced = card.root() + QStringLiteral("/TreeRsync") + tag;
    const QString holding = diskFolder + QStringLiteral("/QUAVEXTemp");
    makeLibrary(music);
    makeLibrary(theirs);
    for (const QString& folder : {player, rsynced})
        QDir().mkpath(folder);

    double fillMs = 0;
    const auto fill = [&] {
        ::sync();
        BenchWindow window({diskFolder, card.root()}, music, player, holding,
                           createSystemFileSystem);
        window.form->run().CurrentOptions.musicInSubfolders = true;
        fillMs = timeMs([&] { window.form->cmdGo_Click(); });
        if (filesBelow(player) != files || filesBelow(music) != 0)
            fail(QStringLiteral("the fill moved %1 files, not %2")
                     .arg(filesBelow(player))
                     .arg(files));
        emptyCard(player);
    };
    if (round % 2 == 1)
        fill();
    ::sync();
    const double rsyncMs = timeMs([&] {
        runTool(QStringLiteral("rsync"),
                QStringList{QStringLiteral("-rt"), QStringLiteral("--fsync"),
                            QStringLiteral("--remove-source-files"), theirs + QLatin1Char('/'),
                            rsynced + QLatin1Char('/')});
    });
    if (filesBelow(rsynced) != files || filesBelow(theirs) != 0)
        fail(QStringLiteral("rsync did not move every file"));
    emptyCard(rsynced);
    if (round % 2 == 0)
        fill();
    for (const QString& folder : {music, theirs, holding})
        QDir(folder).removeRecursively();
    return {fillMs, rsyncMs};
}

void treeFillAgainstRsync() {
    constexpr int rounds = 3;
    const ScratchVolume card = mountedCard(1024);
    QTemporaryDir disk(localDiskFolder());
    std::vector<double> fills;
    std::vector<double> rsyncs;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const auto [fillMs, rsyncMs] = treeRound(card, disk.path(), round);
        fills.push_back(fillMs);
        rsyncs.push_back(rsyncMs);
        ratios.push_back(fillMs / rsyncMs);
    }
    std::printf("exfat_fill_subfolders_s_5k %.2f s\n", median(fills) / 1000);
    std::printf("exfat_rsync_fsync_subfolders_s_5k %.2f s\n", median(rsyncs) / 1000);
    std::printf("exfat_fill_subfolders_vs_rsync_fsync_ratio_5k %.3f ratio\n", median(ratios));
    std::fflush(stdout);
}

// The run, then mv doing the same three moves from the same starting point; five times each, in
// turns.
void runAgainstMvSync() {
    const ScratchVolume card = mountedCard(256);
    QTemporaryDir disk(localDiskFolder());
    const QString music = disk.path() + QStringLiteral("/Music");
    const QString holding = disk.path() + QStringLiteral("/QUAVEXTemp");
    const QString player = card.root() + QStringLiteral("/Player");
    makeFiles(music, QStringLiteral("song"), 100, 4 * MiB);
    makeFiles(player, QStringLiteral("old"), 50, 4 * MiB);
    const QStringList old = namesIn(player);
    // Both sides start with nothing left to write: the first run must not flush the files made
    // here.
    ::sync();

    const auto backToStart = [&](const QStringList& filled) {
        runTool(QStringLiteral("mv"), pathsIn(player, filled) << music);
        runTool(QStringLiteral("mv"), pathsIn(music, old) << player);
        ::sync();
    };
    std::vector<double> runs;
    std::vector<double> mvs;
    for (int round = 0; round < 5; ++round) {
        QStringList filled;
        {
            BenchWindow window({disk.path(), card.root()}, music, player, holding,
                               createSystemFileSystem);
            runs.push_back(timeMs([&] { window.form->cmdGo_Click(); }));
            filled = namesIn(player);
            if (QFileInfo::exists(holding) || filled.isEmpty() || filled.size() >= 100 ||
                filled.contains(old.front()))
                fail(QStringLiteral("the run did not end as expected"));
        }
        backToStart(filled);
        mvs.push_back(timeMs([&] {
            QDir().mkdir(holding);
            runTool(QStringLiteral("mv"), pathsIn(player, old) << holding);
            runTool(QStringLiteral("mv"), pathsIn(music, filled) << player);
            runTool(QStringLiteral("mv"), pathsIn(holding, old) << music);
            QDir().rmdir(holding);
            ::sync();
        }));
        backToStart(filled);
    }
    std::printf("exfat_run_s %.2f s\n", median(runs) / 1000);
    std::printf("exfat_mv_sync_s %.2f s\n", median(mvs) / 1000);
    std::printf("exfat_run_vs_mv_sync_ratio %.3f ratio\n", median(runs) / median(mvs));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    isolateTestMounts();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const OwnStateFolder state;
    QApplication app(argc, argv);
    // Names on the command line pick some of the figures; none gives all.
    const QStringList wanted = QCoreApplication::arguments().mid(1);
    const auto chosen = [&](const char* name) {
        return wanted.isEmpty() || wanted.contains(QLatin1String(name));
    };
    if (chosen("exfat_fill_vs_rsync_fsync_ratio_5k") || chosen("exfat_fill_vs_mv_sync_ratio_5k") ||
        chosen("exfat_fill_vs_bare_moves_ratio_5k") || chosen("exfat_growth_vs_rsync_growth_5k") ||
        chosen("exfat_clear_vs_mv_sync_ratio_5k"))
        fillAgainstRsync();
    if (chosen("exfat_fill_subfolders_vs_rsync_fsync_ratio_5k"))
        treeFillAgainstRsync();
    if (chosen("exfat_run_vs_mv_sync_ratio"))
        runAgainstMvSync();
    return 0;
}
