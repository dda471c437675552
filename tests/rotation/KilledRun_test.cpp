#include "fs/MoveJournal.h"
#include "fs/OwnTemporaries.h"
#include "fs/SongOriginsName.h"
#include "fs/SystemFileSystem.h"
#include "rotation/SongOrigins.h"
#include "support/FileCensus.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

// A run (run_to_kill) clears a player folder on an exFAT card into the holding folder, fills it
// from the music folder and returns the held files, with the real file-system object; it is
// killed at random moments.
class KilledRun : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(disk.isValid());
        QDir().mkpath(music());
        QDir().mkpath(tmp());
    }

    QString music() const { return disk.path() + "/Music"; }
    QString holding() const { return disk.path() + "/QUAVEXTemp"; }
    QString tmp() const { return disk.path() + "/tmp"; }

    // Starts the run; its own temporary folders go under tmp(), so that a killed one leaves none
    // elsewhere.
    void start(QProcess& run, const QString& card, const QString& player) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", tmp());
        run.setProcessEnvironment(environment);
        QStringList arguments = {disk.path(), card, music(), player, holding()};
        if (subfolders)
            arguments.append("subfolders");
        run.start(RUN_TO_KILL, arguments);
        ASSERT_TRUE(run.waitForStarted());
    }

    // The three folders and every folder below them.
    QStringList runFolders(const QString& player) const {
        QStringList folders;
        for (const QString& root : {music(), player, holding()}) {
            folders.append(root);
            QDirIterator below(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                               QDirIterator::Subdirectories);
            while (below.hasNext())
                folders.append(below.next());
        }
        return folders;
    }

    // How many times each song's bytes are under a real name in the three folders; bytes that
    // are no song's are counted under an empty key.
    QMap<QByteArray, int> songsFound(const QString& player) const {
        QMap<QByteArray, int> found;
        for (const QString& folder : runFolders(player)) {
            for (const QString& name : namesInFolder(folder, true)) {
                if (isOwnTemporaryName(name) || isSongOriginsName(name))
                    continue;
                const QByteArray bytes = readTestFile(folder + "/" + name);
                found[songs.contains(bytes) ? bytes : QByteArray()] += 1;
            }
        }
        return found;
    }

    // 150 songs in the music folder and 150 in the player folder, with music in subfolders in
    // folders of ten below each.
    void putSongs(const QString& player) {
        for (int i = 0; i < 150; ++i) {
            const QString folder =
                subfolders ? QStringLiteral("/Artist %1/Album %2").arg(i / 50).arg(i / 10) : "";
            const QString musicSong = QStringLiteral("%1%2/m%3.mp3").arg(music(), folder).arg(i);
            const QString playerSong = QStringLiteral("%1%2/p%3.mp3").arg(player, folder).arg(i);
            QDir().mkpath(QFileInfo(musicSong).path());
            QDir().mkpath(QFileInfo(playerSong).path());
            writeFile(musicSong, 16 * KiB);
            writeFile(playerSong, 16 * KiB);
            songs << readTestFile(musicSong) << readTestFile(playerSong);
        }
    }

    void killAtRandomMoments(int kills);

    QTemporaryDir disk;
    // Each song's bytes, unique to it.
    QSet<QByteArray> songs;
    bool subfolders = false;
};

TEST_F(KilledRun, NoSongIsLostOrPartialAndAfterTheNextStartNoneIsInTwoPlaces) {
    killAtRandomMoments(20);
}

TEST_F(KilledRun, WithMusicInSubfoldersNoSongIsLostPartialOrInTwoPlacesEither) {
    subfolders = true;
    killAtRandomMoments(10);
}

void KilledRun::killAtRandomMoments(int kills) {
    ScratchVolume card = ScratchVolume::exfat(64);
    QUAVEX_REQUIRE_MOUNTED(card);
    const QString player = card.root() + "/Player";
    QDir().mkpath(player);
    putSongs(player);
    // A whole run first, to know how long one lasts.
    QElapsedTimer timer;
    timer.start();
    QProcess whole;
    start(whole, card.root(), player);
    ASSERT_TRUE(whole.waitForFinished(120000));
    ASSERT_EQ(whole.exitCode(), 0) << whole.readAllStandardError().toStdString();
    const qint64 runMs = timer.elapsed();

    std::mt19937 random(20261209);
    for (int kill = 0; kill < kills; ++kill) {
        const int atMs = std::uniform_int_distribution<int>(0, int(runMs))(random);
        SCOPED_TRACE(testing::Message() << "killed after " << atMs << " ms of " << runMs);
        QProcess run;
        start(run, card.root(), player);
        QThread::msleep(atMs);
        run.kill();
        ASSERT_TRUE(run.waitForFinished(60000));

        QMap<QByteArray, int> found = songsFound(player);
        EXPECT_EQ(found.take(QByteArray()), 0) << "bytes that are no whole song";
        EXPECT_EQ(found.size(), songs.size()) << "songs lost";

        // What the next run does first.
        completeInterruptedMoves();
        removeRecordedTemporaries();
        found = songsFound(player);
        EXPECT_EQ(found.size(), songs.size());
        EXPECT_TRUE(std::all_of(found.begin(), found.end(), [](int n) { return n == 1; }))
            << "songs in two places";
        EXPECT_TRUE(ownTemporariesIn(runFolders(player)).isEmpty());
        // The card's record is whole, and knows where each song on the card came from.
        const std::optional<SongOrigins> origins =
            readSongOrigins(*createSystemFileSystem(), player);
        ASSERT_TRUE(origins);
        for (const QString& name : namesInFolder(player, true)) {
            if (isSongOriginsName(name))
                continue;
            EXPECT_EQ(origins->of(name), music()) << name.toStdString();
        }
        if (HasFailure())
            return;
    }
}

} // namespace
