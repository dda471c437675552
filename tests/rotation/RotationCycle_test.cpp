#include "app/Form1.h"
#include "app/OptionsCommand.h"
#include "app/WindowFace.h"
#include "controls/FileList.h"
#include "fs/SongOriginsName.h"
#include "fs/SystemFileSystem.h"
#include "rotation/RotationMemory.h"
#include "support/RotationWindow.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString complete = QStringLiteral("Program processing complete");

void putSongs(const QString& folder, int count, qint64 size) {
    for (int i = 0; i < count; ++i)
        writeFile(QStringLiteral("%1/song%2.mp3").arg(folder).arg(i, 2, 10, QLatin1Char('0')),
                  size);
}

void setOptions(Form1& form, bool memory, std::int64_t megabytesFree = 0) {
    Options options = form.run().CurrentOptions;
    options.rotationMemory = memory;
    options.megabytesFree = megabytesFree;
    applyOptions(form, options);
}

void useSubfolders(Form1& form, bool wholeAlbums) {
    Options options = form.run().CurrentOptions;
    options.musicInSubfolders = true;
    options.wholeAlbums = wholeAlbums;
    applyOptions(form, options);
}

void writeAt(const QString& folder, const QStringList& paths, qint64 size) {
    for (const QString& path : paths) {
        const QString file = folder + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(file).path());
        writeFile(file, size);
    }
}

// Everything below a folder by its path there: files with their bytes, folders ending in "/",
// links ending in "@"; the record of where its songs came from left out.
std::map<QString, QByteArray> treeOf(const QString& folder) {
    std::map<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString path = QDir(folder).relativeFilePath(entry.filePath());
        if (isSongOriginsName(path))
            continue;
        if (entry.isSymLink())
            tree[path + QLatin1Char('@')];
        else if (entry.isDir())
            tree[path + QLatin1Char('/')];
        else
            tree[path] = readTestFile(entry.filePath());
    }
    return tree;
}

QStringList pathsOf(const std::map<QString, QByteArray>& tree) {
    QStringList paths;
    for (const auto& [path, bytes] : tree)
        paths.append(path);
    return paths;
}

// Songs go to the player at their paths below the music folder, and the player's files, songs or
// not, come into the music folder at theirs; the next run brings every song back to its own
// folder. Only folders a run emptied are removed, and none is left behind; a link to a folder
// elsewhere is not followed, and a song in a folder the card cannot name is left out.
TEST(RotationCycle, ANestedLibraryGoesOutAndComesBackToItsOwnFoldersWithNothingLeftOver) {
    RotationWindow w;
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.addDrive(card.root());
    const QString player = card.root() + QStringLiteral("/Music");
    writeAt(w.music(),
            {"top.mp3", "Artist/Album/01 One.mp3", "Artist/Album/02 Two.mp3",
             "Artist/Single/03 Three.mp3", "Other/04 Four.wma", "Artist/Album/notes.txt",
             "Wh?t/06 Six.mp3"},
            100 * KiB);
    QDir().mkpath(w.music() + QStringLiteral("/Empty"));
    QTemporaryDir elsewhere;
    writeAt(elsewhere.path(), {"far.mp3"}, KiB);
    ASSERT_TRUE(QFile::link(elsewhere.path(), w.music() + QStringLiteral("/Linked")));
    writeAt(player, {"old.mp3", "Old/Album/05 Five.mp3", "Old/cover.jpg"}, 50 * KiB);
    const auto musicBefore = treeOf(w.music());
    const auto playerBefore = treeOf(player);
    w.choose(w.music(), player, w.card(), true, false);
    useSubfolders(*w.form, false);

    w.pressSelect();

    EXPECT_EQ(pathsOf(treeOf(player)),
              (QStringList{"Artist/", "Artist/Album/", "Artist/Album/01 One.mp3",
                           "Artist/Album/02 Two.mp3", "Artist/Single/",
                           "Artist/Single/03 Three.mp3", "Other/", "Other/04 Four.wma", "top.mp3"}))
        << w.statusText().toStdString();
    EXPECT_EQ(pathsOf(treeOf(w.music())),
              (QStringList{"Artist/", "Artist/Album/", "Artist/Album/notes.txt", "Empty/",
                           "Linked@", "Old/", "Old/Album/", "Old/Album/05 Five.mp3",
                           "Old/cover.jpg", "Wh?t/", "Wh?t/06 Six.mp3", "old.mp3"}));
    // A folder name the card refuses keeps its songs in the music folder, named after the run.
    EXPECT_TRUE(w.statusText().contains(QStringLiteral("Wh?t/06 Six.mp3: ")));
    for (const auto& [path, bytes] : treeOf(player))
        EXPECT_EQ(bytes, musicBefore.at(path)) << path.toStdString();
    for (const auto& [path, bytes] : playerBefore)
        EXPECT_EQ(treeOf(w.music()).at(path), bytes) << path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(w.holding()));

    w.pressSelect();

    auto musicAfter = musicBefore;
    musicAfter[QStringLiteral("Old/")];
    musicAfter[QStringLiteral("Old/cover.jpg")] = playerBefore.at(QStringLiteral("Old/cover.jpg"));
    EXPECT_EQ(treeOf(w.music()), musicAfter) << w.statusText().toStdString();
    EXPECT_EQ(pathsOf(treeOf(player)),
              (QStringList{"Old/", "Old/Album/", "Old/Album/05 Five.mp3", "old.mp3"}));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_TRUE(w.env.prompter->shown.empty());
}

// A song of a subfolder that the card got from one library goes home to it from a run that fills
// from another.
TEST(RotationCycle, ASongInASubfolderGoesHomeToItsOwnLibrary) {
    RotationWindow w;
    const QString other = w.music() + QStringLiteral("/../Other");
    writeAt(w.music(), {"Album/x.mp3"}, KiB);
    writeAt(other, {"Album/y.mp3"}, KiB);
    w.choose(w.music(), w.player(), w.card(), true, false);
    useSubfolders(*w.form, false);
    w.pressSelect();
    ASSERT_TRUE(QFileInfo::exists(w.player() + QStringLiteral("/Album/x.mp3")));

    w.choose(other, w.player(), w.card(), true, false);
    w.pressSelect();

    EXPECT_TRUE(QFileInfo::exists(w.music() + QStringLiteral("/Album/x.mp3")));
    EXPECT_FALSE(QFileInfo::exists(other + QStringLiteral("/Album/x.mp3")));
    EXPECT_TRUE(QFileInfo::exists(w.player() + QStringLiteral("/Album/y.mp3")));
}

// Each draw takes a whole folder of songs; one that does not fit is passed over and the fill goes
// on with the others, so no album is ever split between the player and the music folder.
TEST(RotationCycle, WholeAlbumsGoTogetherAndOneThatDoesNotFitIsPassedOver) {
    RotationWindow w;
    ScratchVolume player = ScratchVolume::tmpfs(512);
    QUAVEX_REQUIRE_MOUNTED(player);
    w.addDrive(player.root());
    writeAt(w.music(), {"Big/b1.mp3", "Big/b2.mp3"}, 400 * KiB);
    writeAt(w.music(), {"First/f1.mp3", "First/f2.mp3", "Second/s1.mp3", "Second/s2.mp3"},
            150 * KiB);
    w.choose(w.music(), player.root(), w.card(), true, false);
    useSubfolders(*w.form, true);
    // Big is drawn first and passed over; then Second, whose two songs fill all but 200 KiB, so
    // First does not fit either, though one of its songs would.
    w.random->fractions = {0.0, 0.0, 0.0};

    w.pressSelect();

    EXPECT_EQ(pathsOf(treeOf(player.root())),
              (QStringList{"Second/", "Second/s1.mp3", "Second/s2.mp3"}));
    EXPECT_EQ(pathsOf(treeOf(w.music())), (QStringList{"Big/", "Big/b1.mp3", "Big/b2.mp3", "First/",
                                                       "First/f1.mp3", "First/f2.mp3"}));
    EXPECT_EQ(w.statusText(),
              QStringLiteral(" 2 files were moved to the MP3 player.\r\n") + complete);
}

// Each run clears the player's three songs back into the library and draws three others; with
// the memory on, ten runs bring each of the thirty songs out exactly once.
TEST(RotationCycle, TenRunsOnAPlayerThatHoldsThreeBringEachOfThirtySongsOutOnce) {
    RotationWindow w;
    ScratchVolume player = ScratchVolume::tmpfs(320);
    QUAVEX_REQUIRE_MOUNTED(player);
    w.addDrive(player.root());
    putSongs(w.music(), 30, 100 * KiB);
    w.choose(w.music(), player.root(), w.card(), true, false);
    std::map<QString, int> timesOut;
    for (int run = 0; run < 10; ++run) {
        w.pressSelect();
        const QStringList onPlayer = w.namesIn(player.root());
        ASSERT_EQ(onPlayer.size(), 3) << w.statusText().toStdString();
        for (const QString& name : onPlayer)
            ++timesOut[name];
    }
    EXPECT_EQ(timesOut.size(), 30u);
    for (const auto& [name, times] : timesOut)
        EXPECT_EQ(times, 1) << name.toStdString();
    EXPECT_TRUE(w.env.prompter->shown.empty());
}

// The songs not yet out go first; when they are all out, the fill goes on with the others.
TEST(RotationCycle, AFillThatEndsTheCycleGoesOnOverTheSongsOutBefore) {
    RotationWindow w;
    putSongs(w.music(), 5, 64);
    RotationMemory earlier(w.music());
    for (const char* name : {"song00.mp3", "song02.mp3", "song04.mp3"})
        earlier.markOut(QLatin1String(name));
    ASSERT_TRUE(earlier.save(*createSystemFileSystem()));
    w.choose(w.music(), w.player(), w.card(), true, false);
    QStringList afterTwo;
    w.onYield = [&](int n) {
        if (n == 3)
            afterTwo = w.namesIn(w.player());
    };

    w.pressSelect();

    EXPECT_EQ(afterTwo, (QStringList{"song01.mp3", "song03.mp3"}));
    EXPECT_EQ(w.namesIn(w.player()).size(), 5);
    EXPECT_EQ(RotationMemory(w.music()).outCount(), 5u);
}

// A record that is missing, damaged or of another version costs nothing: the run draws exactly as
// it does without the memory, and leaves a sound record of what went out.
TEST(RotationCycle, AMissingDamagedOrForeignRecordMeansAPlainDrawAndANewRecord) {
    const std::function<void(const QString&)> spoil[] = {
        [](const QString& record) { QFile::remove(record); },
        [](const QString& record) { writeTestFile(record, "QVXROT01 not a record"); },
        [](const QString& record) {
            QByteArray bytes = readTestFile(record);
            bytes[7] = '2';
            writeTestFile(record, bytes);
        },
    };
    for (const auto& damage : spoil) {
        RotationWindow withMemory, without;
        for (RotationWindow* w : {&withMemory, &without}) {
            putSongs(w->music(), 12, 64);
            w->choose(w->music(), w->player(), w->card(), true, false);
            w->random->fractions = {0.5, 0.1, 0.9, 0.3};
        }
        setOptions(*without.form, false);
        // An earlier run's record of two songs, then spoilt.
        RotationMemory earlier(withMemory.music());
        earlier.markOut(QStringLiteral("song00.mp3"));
        earlier.markOut(QStringLiteral("song01.mp3"));
        ASSERT_TRUE(earlier.save(*createSystemFileSystem()));
        damage(earlier.recordPath());
        // Break at the fifth attempt: the four songs drawn first show the draw.
        for (RotationWindow* w : {&withMemory, &without}) {
            w->onYield = [w](int n) {
                if (n == 5)
                    w->form->cmdBreak->click();
            };
            w->pressSelect();
        }
        EXPECT_EQ(withMemory.namesIn(withMemory.player()), without.namesIn(without.player()));
        EXPECT_EQ(RotationMemory(withMemory.music()).outCount(),
                  std::size_t(withMemory.namesIn(withMemory.player()).size()));
        EXPECT_TRUE(withMemory.env.prompter->shown.empty());
    }
}

TEST(RotationCycle, AReserveEndsTheFillAsAFullPlayerDoes) {
    RotationWindow w;
    // Four megabytes, and a page for the player's record of where its songs came from.
    ScratchVolume player = ScratchVolume::tmpfs(4100);
    QUAVEX_REQUIRE_MOUNTED(player);
    w.addDrive(player.root());
    putSongs(w.music(), 5, MiB);
    w.choose(w.music(), player.root(), w.card(), true, false);
    setOptions(*w.form, true, 1);

    w.pressSelect();

    // Three songs leave exactly the megabyte asked for; a fourth would leave none.
    EXPECT_EQ(w.namesIn(player.root()).size(), 3);
    EXPECT_EQ(w.statusText(),
              QStringLiteral(" 3 files were moved to the MP3 player.\r\n") + complete);
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0));
    EXPECT_TRUE(w.env.prompter->shown.empty());
}

// The panes, their totals and the fill take the chosen types, and nothing else.
TEST(RotationCycle, EachMusicTypeIsListedAndFilledWhenChosenAndOnlyThen) {
    RotationWindow w;
    QStringList names = {QStringLiteral("notes.txt")};
    for (const QString& type : allMusicTypes())
        names.append(QStringLiteral("Song.") + type.toUpper());
    writeFiles(w.music(), names);
    w.choose(w.music(), w.player(), w.card(), true, false);
    EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 2"));
    for (const QString& type : allMusicTypes()) {
        Options options;
        options.musicTypes = {type};
        applyOptions(*w.form, options);
        EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 1")) << type.toStdString();
        w.pressSelect();
        EXPECT_EQ(w.namesIn(w.player()), QStringList{QStringLiteral("Song.") + type.toUpper()});
        EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 1"));
    }
}

} // namespace
