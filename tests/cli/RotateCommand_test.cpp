// The program itself, started as a script or a scheduler starts `quavex --rotate`: no display, no
// terminal, its own settings, state and holding folder.
#include "fs/SystemVolumes.h"
#include "support/FileCensus.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct Ended {
    int status;
    QString out;
    QString err;
};

class RotateCommand : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    const QString home = tmp.path() + QStringLiteral("/home");
    const QString music = tmp.path() + QStringLiteral("/Music");
    const QString holding = home + QStringLiteral("/QUAVEXTemp");

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/.config")));
        ASSERT_TRUE(QDir().mkpath(music));
    }

    // What EXIT would have saved, as key and value under their sections.
    void save(const QMap<QString, QString>& values) const {
        QSettings store(home + QStringLiteral("/.config/QUAVEX.conf"), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            store.setValue(it.key(), it.value());
    }

    void start(QProcess& program, const QStringList& arguments) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.state"));
        environment.insert(QStringLiteral("QUAVEX_SEED"), QStringLiteral("7"));
        environment.remove(QStringLiteral("DISPLAY"));
        program.setProcessEnvironment(environment);
        program.setStandardInputFile(QProcess::nullDevice());
        program.start(QStringLiteral(QUAVEX_PROGRAM), arguments);
        EXPECT_TRUE(program.waitForStarted());
    }

    static Ended ended(QProcess& program) {
        EXPECT_TRUE(program.waitForFinished(60000));
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromLocal8Bit(program.readAllStandardOutput()),
                QString::fromLocal8Bit(program.readAllStandardError())};
    }

    Ended run(const QStringList& arguments) const {
        QProcess program;
        start(program, arguments);
        return ended(program);
    }
};

TEST_F(RotateCommand, SavedFoldersAndTheSameFoldersGivenAsFlagsMoveTheSameSongs) {
    // A player that holds a few of the songs, so that the draw decides which.
    ScratchVolume player = ScratchVolume::tmpfs(512);
    QUAVEX_REQUIRE_MOUNTED(player);
    for (int i = 0; i < 40; ++i)
        writeFile(music + QStringLiteral("/song%1.mp3").arg(i), 64 * KiB);
    writeFiles(player.root(), {QStringLiteral("old.mp3")});
    save({{QStringLiteral("Settings/dirIp"), music},
          {QStringLiteral("Settings/dirOp1"), player.root()},
          {QStringLiteral("Settings/drvOp1"), player.root()},
          {QStringLiteral("Settings/MvWarn"), QStringLiteral("0")},
          {QStringLiteral("Ticks/dirOp1"), QStringLiteral("1")},
          {QStringLiteral("Options/RotationMemory"), QStringLiteral("0")}});
    const FileCensus before = censusOf({music, player.root()});

    const Ended fromSettings = run({QStringLiteral("--rotate"), QStringLiteral("--yes")});
    const QStringList filled = namesInFolder(player.root());
    EXPECT_EQ(fromSettings.status, 0) << fromSettings.err.toStdString();
    EXPECT_TRUE(fromSettings.out.endsWith(QStringLiteral("Program processing complete\n")))
        << fromSettings.out.toStdString();
    EXPECT_EQ(censusOf({music, player.root()}), before);
    EXPECT_GT(filled.size(), 3);
    EXPECT_LT(filled.size(), 20);

    // The songs go back, and the same folders given on the command line draw the same songs.
    for (const QString& name : namesInFolder(player.root(), true)) {
        if (name == QStringLiteral("QUAVEX.origins"))
            continue;
        ASSERT_TRUE(QFile::rename(player.root() + QLatin1Char('/') + name,
                                  music + QLatin1Char('/') + name));
    }
    ASSERT_TRUE(QFile::rename(music + QStringLiteral("/old.mp3"),
                              player.root() + QStringLiteral("/old.mp3")));
    const Ended fromFlags =
        run({QStringLiteral("--rotate"), QStringLiteral("--yes"), QStringLiteral("--no-memory"),
             QStringLiteral("--music"), music, QStringLiteral("--player"), player.root()});
    EXPECT_EQ(fromFlags.status, 0) << fromFlags.err.toStdString();
    EXPECT_EQ(namesInFolder(player.root()), filled);
}

TEST_F(RotateCommand, EachWayOfEndingHasItsExitStatus) {
    const QString player = tmp.path() + QStringLiteral("/Player");
    ASSERT_TRUE(QDir().mkpath(player));
    writeFiles(music, {QStringLiteral("a.mp3")});
    writeFiles(player, {QStringLiteral("old.mp3")});
    save({{QStringLiteral("Settings/MvWarn"), QStringLiteral("0")}});
    const FileCensus before = censusOf({music, player});
    const QStringList folders = {QStringLiteral("--music"), music, QStringLiteral("--player"),
                                 player};
    const struct {
        QStringList arguments;
        int status;
        const char* err;
    } cases[] = {
        {{QStringLiteral("--rotate"), QStringLiteral("--leave-free"), QStringLiteral("lots")},
         2,
         "quavex: --leave-free needs a number of megabytes, not 'lots'; see quavex --help\n"},
        {{QStringLiteral("--rotate")},
         2,
         "quavex: no music folder: give --music, or choose one in the window and press EXIT\n"},
        // No --yes, and no terminal to ask on.
        {QStringList{QStringLiteral("--rotate")} + folders, 3,
         "Warning! Warning! Files will be REMOVED from the Hard Drive Music Directory that you "
         "specified. Do you wish to continue?\n"
         "quavex: no terminal to answer on, so the answer is No (--yes answers the warning that "
         "music will be moved)\n"},
        {{QStringLiteral("--rotate"), QStringLiteral("--yes"), QStringLiteral("--music"), music,
          QStringLiteral("--card"), tmp.path() + QStringLiteral("/Unplugged")},
         3,
         nullptr},
    };
    for (const auto& each : cases) {
        const Ended end = run(each.arguments);
        EXPECT_EQ(end.status, each.status) << each.arguments.join(' ').toStdString();
        if (each.err) {
            EXPECT_EQ(end.err, QString::fromUtf8(each.err));
        }
        EXPECT_EQ(censusOf({music, player}), before);
    }
}

// A card slow enough to stop mid-fill: Ctrl+C is Break, and a second copy meanwhile is refused.
TEST_F(RotateCommand, CtrlCDuringTheFillIsBreakAndASecondCopyIsRefused) {
    ScratchVolume card = ScratchVolume::exfat(64);
    QUAVEX_REQUIRE_MOUNTED(card);
    QStringList songs;
    for (int i = 0; i < 600; ++i)
        songs.append(QStringLiteral("song%1.mp3").arg(i));
    for (const QString& song : songs)
        writeFile(music + QLatin1Char('/') + song, 64 * KiB);
    writeFiles(card.root(), {QStringLiteral("old1.mp3"), QStringLiteral("old2.wma")});
    const QStringList everywhere = {music, card.root(), holding};
    const FileCensus before = censusOf(everywhere);

    QProcess first;
    start(first, {QStringLiteral("--rotate"), QStringLiteral("--yes"), QStringLiteral("--music"),
                  music, QStringLiteral("--card"), card.root()});
    QString out;
    while (!out.contains(QStringLiteral("Randomly selecting")) && first.waitForReadyRead(20000))
        out += QString::fromLocal8Bit(first.readAllStandardOutput());
    ASSERT_TRUE(out.contains(QStringLiteral("Randomly selecting"))) << out.toStdString();

    const Ended second =
        run({QStringLiteral("--rotate"), QStringLiteral("--yes"), QStringLiteral("--music"), music,
             QStringLiteral("--card"), card.root()});
    EXPECT_EQ(second.status, 3);
    EXPECT_TRUE(second.err.contains(QStringLiteral("Warning!"))) << second.err.toStdString();

    ::kill(pid_t(first.processId()), SIGINT);
    // A second Ctrl+C is no more than the first.
    ::kill(pid_t(first.processId()), SIGINT);
    const Ended end = ended(first);
    EXPECT_EQ(end.status, 1) << end.err.toStdString();
    EXPECT_TRUE(end.out.contains(QStringLiteral("Processing aborted"))) << end.out.toStdString();
    EXPECT_EQ(censusOf(everywhere), before);
    EXPECT_EQ(namesInFolder(holding), QStringList({"old1.mp3", "old2.wma"}));
    EXPECT_TRUE(ownTemporariesIn(everywhere).isEmpty());
}

// The files a dry run lists under the line of each way, by the way's first words ("From the music
// folder"), each by its name where it would end.
QMap<QString, QStringList> listedWays(const QString& out) {
    QMap<QString, QStringList> ways;
    QString way;
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("From ")))
            way = line.section(QLatin1Char(' '), 0, 3);
        else if (line.startsWith(QStringLiteral("  ")))
            ways[way].append(line.section(QStringLiteral(" -> "), -1).trimmed());
    }
    for (QStringList& names : ways)
        names.sort();
    return ways;
}

TEST_F(RotateCommand, ADryRunMovesNothingAndListsWhatTheNextRunMoves) {
    ScratchVolume card = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(card);
    // Songs so small that the card's folder entries take the room of several.
    for (int i = 0; i < 600; ++i)
        writeFile(music + QStringLiteral("/song%1.mp3").arg(i), 16 * KiB);
    // An old song whose name a song of the music folder has: it comes back under another.
    writeFiles(card.root(), {QStringLiteral("old.mp3"), QStringLiteral("song5.mp3")});
    const QStringList everywhere = {music, card.root(), home};
    const FileCensus before = censusOf(everywhere);
    const QStringList folders = {QStringLiteral("--rotate"), QStringLiteral("--music"), music,
                                 QStringLiteral("--card"), card.root()};

    const Ended dry = run(folders + QStringList{QStringLiteral("--dry-run")});
    EXPECT_EQ(dry.status, 0) << dry.err.toStdString();
    // No file anywhere changed, the program's own records included.
    EXPECT_EQ(censusOf(everywhere), before);
    const QMap<QString, QStringList> ways = listedWays(dry.out);
    EXPECT_EQ(ways.value(QStringLiteral("From the player's card")),
              QStringList({QStringLiteral("old.mp3"), QStringLiteral("song5 (2).mp3")}))
        << dry.out.toStdString();

    const Ended real = run(folders + QStringList{QStringLiteral("--yes")});
    EXPECT_EQ(real.status, 0) << real.err.toStdString();
    const QStringList filled = namesInFolder(card.root(), true).filter(QStringLiteral(".mp3"));
    EXPECT_GT(filled.size(), 50);
    EXPECT_EQ(ways.value(QStringLiteral("From the music folder")), filled);
    EXPECT_TRUE(QFileInfo::exists(music + QStringLiteral("/song5 (2).mp3")));
}

TEST_F(RotateCommand, WaitingForThePlayerRunsOnlyOnceItsOwnVolumeIsMounted) {
    ScratchVolume mine = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(mine);
    ScratchVolume another = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(another);
    const QString mountPoint = tmp.path() + QStringLiteral("/media/PLAYER");
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    writeFiles(music, {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    save({{QStringLiteral("Settings/dirIp"), music},
          {QStringLiteral("Settings/drvOp2"), mountPoint},
          {QStringLiteral("Settings/dirOp2"), mountPoint},
          {QStringLiteral("Settings/MvWarn"), QStringLiteral("1")},
          {QStringLiteral("Volumes/dirOp2"), SystemVolumeProvider().identityOf(mine.root())},
          {QStringLiteral("Ticks/dirOp2"), QStringLiteral("1")}});
    const auto bind = [&](const QString& from) {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("--bind"), from, mountPoint}) == 0;
    };

    QProcess waiting;
    start(waiting,
          {QStringLiteral("--rotate"), QStringLiteral("--wait-for-player"), QStringLiteral("30")});
    ASSERT_TRUE(bind(another.root()));
    EXPECT_FALSE(waiting.waitForFinished(3000));
    EXPECT_TRUE(namesInFolder(another.root()).isEmpty());
    ASSERT_EQ(QProcess::execute(QStringLiteral("umount"), {mountPoint}), 0);
    ASSERT_TRUE(bind(mine.root()));

    const Ended end = ended(waiting);
    EXPECT_EQ(end.status, 0) << end.err.toStdString();
    EXPECT_EQ(namesInFolder(mine.root()), QStringList({"QUAVEX.origins", "a.mp3", "b.mp3"}));
    QProcess::execute(QStringLiteral("umount"), {mountPoint});
}

} // namespace
