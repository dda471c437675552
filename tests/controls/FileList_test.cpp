#include "controls/FileList.h"
#include "fs/AppError.h"
#include "fs/NamePattern.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"
#include "support/ThrownError.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QStringList namesOf(const FileList& list) {
    QStringList names;
    for (qint64 i = 0; i < list.ListCount(); ++i)
        names.append(list.List(i));
    return names;
}

// What a file list freshly opened on the folder shows: the reference every Refresh must equal.
QStringList freshRead(const QString& folder, const QString& pattern) {
    FileList fresh;
    fresh.setPattern(pattern);
    fresh.setPath(folder);
    return namesOf(fresh);
}

const QString kMusic = QStringLiteral("*.mp3;*.wma");

class FileListTest : public testing::Test {
protected:
    FileListTest() { list.setPattern(kMusic); }

    QString at(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // A subfolder holding one.mp3, listed.
    QString listedFolder() {
        QString folder = at("music");
        QDir().mkpath(folder);
        touch(folder + "/one.mp3");
        list.setPath(folder);
        return folder;
    }

    QTemporaryDir dir;
    FileList list;
};

TEST(NamePatternTest, MusicPatternIgnoresLetterCaseAndMatchesWholeNames) {
    const NamePattern music(kMusic);
    for (const char* name : {"a.mp3", "X.MP3", "a.Mp3", "b.wma", "B.WMA", ".mp3", "x.y.mp3"})
        EXPECT_TRUE(music.matches(QString::fromUtf8(name))) << name;
    for (const char* name : {"x.mp3x", "x.mp4", "xmp3", "x.mp", "x.wmaa", "mp3", "x.mp3.part",
                             ".~quavex-1.mp3.part", ""})
        EXPECT_FALSE(music.matches(QString::fromUtf8(name))) << name;
}

TEST(NamePatternTest, WildcardsAndSpecialPatterns) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*.*", "README", true},           {nullptr, "anything", true},
        {"a?c*.txt", "ABCdef.TXT", true},  {"a?c*.txt", "ac.txt", false},
        {" *.ogg ; *.mp3", "s.MP3", true}, {"*ab*ab*", "xabyabab", true},
        {"*ab*ab*", "xaba", false},        {"*.mp3", "ÄRGER.MP3", true}};
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(NamePattern(QString::fromUtf8(pattern)).matches(QString::fromUtf8(name)), matches)
            << '"' << pattern << "\" on \"" << name << '"';
}

// Numbers by their value, accents and case aside; names that differ only so keep one order.
TEST_F(FileListTest, ListsMatchingRegularFilesOnlyInNaturalOrder) {
    for (const char* name :
         {"b.mp3", "A.MP3", "c.Wma", "a.mp3", "e.mp3x", "f.mp4", "gmp3", "readme.txt",
          ".~quavex-12.part", ".~quavex-9.mp3.part", "Zulu.WMA", "Track 10.mp3", "ärger.mp3",
          "Track 9.mp3", "Arger.mp3", "Track 009.mp3"})
        touch(at(QString::fromUtf8(name)));
    QDir().mkpath(at(QStringLiteral("folder.mp3")));
    touch(at(QStringLiteral("folder.mp3/inner.mp3")));
    ASSERT_EQ(::symlink("b.mp3", QFile::encodeName(at("link.mp3")).constData()), 0);
    ASSERT_EQ(::symlink("folder.mp3", QFile::encodeName(at("dirlink.mp3")).constData()), 0);

    list.setPath(dir.path());

    EXPECT_EQ(namesOf(list),
              (QStringList{"A.MP3", "a.mp3", "Arger.mp3", "ärger.mp3", "b.mp3", "c.Wma",
                           "Track 009.mp3", "Track 9.mp3", "Track 10.mp3", "Zulu.WMA"}));
    EXPECT_EQ(list.ListCount(), 10);
    EXPECT_EQ(list.Path(), dir.path());
    EXPECT_EQ(list.model()->rowCount(), 10);
    EXPECT_TRUE(list.uniformItemSizes());
}

TEST_F(FileListTest, PathIsCleanedAndFailuresChangeNothing) {
    touch(at("a.mp3"));
    list.setPath(dir.path() + QStringLiteral("//"));
    EXPECT_EQ(list.Path(), dir.path());

    const std::optional<AppError> missing = thrownError([&] { list.setPath(at("missing")); });
    ASSERT_TRUE(missing) << "a missing folder was opened";
    EXPECT_EQ(missing->number(), ErrorNumber::PathNotFound);
    EXPECT_TRUE(missing->description().contains(at("missing")));
    touch(at("file.mp3"));
    EXPECT_THROW(list.setPath(at("file.mp3")), AppError);
    EXPECT_THROW(list.setPath(QString()), AppError);
    EXPECT_EQ(list.Path(), dir.path());
    EXPECT_EQ(namesOf(list), QStringList{"a.mp3"});

    EXPECT_THROW(list.List(1), AppError);
    EXPECT_THROW(list.List(-1), AppError);
}

TEST_F(FileListTest, ChangesByOtherProgramsShowOnlyAtRefresh) {
    touch(at("keep.mp3"));
    touch(at("old.mp3"));
    list.setPath(dir.path());
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(list.model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(list.model(), &QAbstractItemModel::modelReset);

    touch(at("new.MP3"));
    ASSERT_TRUE(QFile::rename(at("old.mp3"), at("renamed.wma")));
    touch(at("other.txt"));
    QCoreApplication::processEvents();
    EXPECT_EQ(namesOf(list), (QStringList{"keep.mp3", "old.mp3"}));
    EXPECT_EQ(inserted.count() + removed.count() + reset.count(), 0);

    list.Refresh();
    EXPECT_EQ(namesOf(list), (QStringList{"keep.mp3", "new.MP3", "renamed.wma"}));
    EXPECT_EQ(namesOf(list), freshRead(dir.path(), kMusic));
    // A local folder's journal applies the changes row by row instead of re-reading it all.
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(removed.count(), 1);

    // Setting the same path again is a refresh, too.
    ASSERT_TRUE(QFile::remove(at("keep.mp3")));
    list.setPath(dir.path());
    EXPECT_EQ(namesOf(list), (QStringList{"new.MP3", "renamed.wma"}));
}

TEST_F(FileListTest, NamesThatChangedKindOrCameBackAreLookedAtAgain) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
        touch(at(QString::fromUtf8(name)));
    list.setPath(dir.path());

    ASSERT_TRUE(QFile::remove(at("a.mp3")));
    QDir().mkdir(at("a.mp3"));
    ASSERT_TRUE(QFile::remove(at("b.mp3")));
    touch(at("b.mp3"));
    ASSERT_TRUE(QFile::remove(at("c.mp3")));
    ASSERT_EQ(::symlink("d.mp3", QFile::encodeName(at("c.mp3")).constData()), 0);
    touch(at("e.mp3"));
    ASSERT_TRUE(QFile::remove(at("e.mp3")));
    touch(at(".~quavex-7.part"));
    list.Refresh();

    EXPECT_EQ(namesOf(list), (QStringList{"b.mp3", "d.mp3"}));
    EXPECT_EQ(namesOf(list), freshRead(dir.path(), kMusic));
}

// The rows a refresh adds one by one must land where a fresh read sorts them, for names of any
// script and case, and stay right after most names were removed.
TEST_F(FileListTest, RefreshedRowsStandWhereAFreshReadPutsThem) {
    for (int i = 0; i < 3000; ++i)
        touch(at(QStringLiteral("Track %1.mp3").arg(i)));
    list.setPath(dir.path());
    for (int i = 0; i < 3000; ++i) {
        if (i % 10 != 0) {
            ASSERT_TRUE(QFile::remove(at(QStringLiteral("Track %1.mp3").arg(i))));
        }
    }
    for (const char* name : {"Ärger.mp3", "ärger.MP3", "arger.mp3", "Zebra.mp3", "zebra.mp3",
                             "Éclair.wma", "track 5.mp3", "TRACK 50.mp3", "Straße.mp3",
                             "STRASSE.mp3", "日本.mp3", "_x.mp3", "1.mp3"})
        touch(at(QString::fromUtf8(name)));
    list.Refresh();

    const QStringList names = namesOf(list);
    EXPECT_EQ(names.size(), 300 + 13);
    EXPECT_EQ(names, freshRead(dir.path(), kMusic));
    EXPECT_EQ(names.indexOf("ärger.MP3"), names.indexOf("Ärger.mp3") + 1);
    EXPECT_EQ(names.indexOf("zebra.mp3"), names.indexOf("Zebra.mp3") + 1);
}

TEST_F(FileListTest, OverflowedJournalFallsBackToAFullRead) {
    touch(at("first.mp3"));
    list.setPath(dir.path());
    QFile limit(QStringLiteral("/proc/sys/fs/inotify/max_queued_events"));
    ASSERT_TRUE(limit.open(QIODevice::ReadOnly));
    const int queue = limit.readAll().trimmed().toInt();
    ASSERT_GT(queue, 0);
    if (queue > (1 << 17))
        GTEST_SKIP() << "the change queue holds " << queue << " notices; too many to overflow";

    // Each round makes two notices; once the queue is full the rest are dropped unseen.
    const QByteArray churn = QFile::encodeName(at("churn.mp3"));
    for (int i = 0; i < queue; ++i) {
        touch(at("churn.mp3"));
        ASSERT_EQ(::unlink(churn.constData()), 0);
    }
    touch(at("late.mp3"));
    ASSERT_TRUE(QFile::remove(at("first.mp3")));
    list.Refresh();

    EXPECT_EQ(namesOf(list), QStringList{"late.mp3"});
}

TEST_F(FileListTest, ReplacedFolderIsReadAgain) {
    const QString folder = listedFolder();

    ASSERT_TRUE(QDir().rename(folder, at("music.old")));
    QDir().mkpath(folder);
    touch(folder + "/two.mp3");
    list.Refresh();
    EXPECT_EQ(namesOf(list), QStringList{"two.mp3"});
}

// A volume mounted over the folder sends no notice to a watch on the folder beneath it.
TEST_F(FileListTest, AVolumeMountedOverTheFolderIsReadAgain) {
    QUAVEX_REQUIRE_PRIVATE_MOUNT_NAMESPACE();
    touch(at("below.mp3"));
    list.setPath(dir.path());
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k"), 0);
    touch(at("above.mp3"));
    list.Refresh();
    EXPECT_EQ(namesOf(list), QStringList{"above.mp3"});

    ASSERT_EQ(::umount2(folder.constData(), MNT_DETACH), 0);
    list.Refresh();
    EXPECT_EQ(namesOf(list), QStringList{"below.mp3"});
}

TEST_F(FileListTest, RefreshOfADeletedFolderFailsAndKeepsTheList) {
    const QString folder = listedFolder();
    ASSERT_TRUE(QDir(folder).removeRecursively());

    EXPECT_EQ(errorNumberOf([&] { list.Refresh(); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(list.Path(), folder);
    EXPECT_EQ(namesOf(list), QStringList{"one.mp3"});

    // Once the folder is back, the next Refresh reads it.
    QDir().mkpath(folder);
    touch(folder + "/two.mp3");
    list.Refresh();
    EXPECT_EQ(namesOf(list), QStringList{"two.mp3"});
}

TEST_F(FileListTest, PatternChangeListsAgainAndUnchangedPatternDoesNothing) {
    touch(at("a.mp3"));
    touch(at("b.txt"));
    list.setPath(dir.path());
    QSignalSpy reset(list.model(), &QAbstractItemModel::modelReset);

    list.setPattern(kMusic);
    EXPECT_EQ(reset.count(), 0);
    list.setPattern(QStringLiteral("*.TXT"));
    EXPECT_EQ(list.Pattern(), QStringLiteral("*.TXT"));
    EXPECT_EQ(namesOf(list), QStringList{"b.txt"});

    touch(at("c.txt"));
    list.Refresh();
    EXPECT_EQ(namesOf(list), (QStringList{"b.txt", "c.txt"}));
}

TEST_F(FileListTest, CountsAreNotSixteenBit) {
    for (int i = 0; i < 33000; ++i)
        touch(at(QStringLiteral("song%1.mp3").arg(i)));
    list.setPath(dir.path());
    EXPECT_EQ(list.ListCount(), 33000);
    EXPECT_EQ(list.List(32999), QStringLiteral("song32999.mp3"));
}

// A list showing a player's folder must not keep the player from being unmounted (ejected).
TEST(FileListOnVolume, KeepsNoFolderOpenBetweenReads) {
    ScratchVolume player = ScratchVolume::tmpfs(256);
    QUAVEX_REQUIRE_MOUNTED(player);
    touch(player.root() + "/a.mp3");
    FileList list;
    list.setPattern(kMusic);
    list.setPath(player.root());
    touch(player.root() + "/b.mp3");
    list.Refresh();
    EXPECT_EQ(list.ListCount(), 2);

    EXPECT_EQ(::umount2(QFile::encodeName(player.root()).constData(), 0), 0)
        << "unmount refused: " << std::strerror(errno);
}

// FUSE file systems often send no notices for changes made by others: there every Refresh reads
// the whole folder.
TEST(FileListOnFat, RefreshIsExactWithoutAJournal) {
    ScratchVolume player = ScratchVolume::fat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    const QString music = player.root() + QStringLiteral("/Music");
    ASSERT_TRUE(QDir().mkpath(music));
    touch(music + "/a.mp3");
    touch(music + "/b.mp3");
    FileList list;
    list.setPattern(kMusic);
    list.setPath(music);
    EXPECT_EQ(namesOf(list), (QStringList{"a.mp3", "b.mp3"}));

    ASSERT_TRUE(QFile::rename(music + "/a.mp3", music + "/Z.MP3"));
    ASSERT_TRUE(QFile::remove(music + "/b.mp3"));
    touch(music + "/c.wma");
    list.Refresh();
    EXPECT_EQ(namesOf(list), (QStringList{"c.wma", "Z.MP3"}));

    player.killDevice();
    EXPECT_EQ(errorNumberOf([&] { list.Refresh(); }), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(namesOf(list), (QStringList{"c.wma", "Z.MP3"}));
}

} // namespace
