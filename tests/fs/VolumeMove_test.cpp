#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/StorableFiles.h"
#include "fs/SystemCalls.h"
#include "support/LocalFolderTest.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

// Moves between the local disk and real small volumes: a tmpfs, an exFAT card through exfat-fuse
// and a FAT image through fusefat.
namespace {

struct timespec modificationTime(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mtim;
}

using VolumeMove = LocalFolderTest;

} // namespace

TEST_F(VolumeMove, AcrossVolumesKeepsContentAndModificationTime) {
    ScratchVolume card = ScratchVolume::tmpfs(8192);
    QUAVEX_REQUIRE_MOUNTED(card);
    const QByteArray song = patternBytes(3 * MiB + 17, 1);
    writeTestFile(localPath("Song.mp3"), song);
    const struct timespec then[2] = {{1500000000, 123456789}, {1500000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(localPath("Song.mp3")).constData(), then, 0),
              0);

    fso.MoveFile(localPath("Song.mp3"), card.root() + "/Song.mp3");

    EXPECT_FALSE(QFile::exists(localPath("Song.mp3")));
    EXPECT_EQ(readTestFile(card.root() + "/Song.mp3"), song);
    const struct timespec kept = modificationTime(card.root() + "/Song.mp3");
    EXPECT_EQ(kept.tv_sec, then[1].tv_sec);
    EXPECT_EQ(kept.tv_nsec, then[1].tv_nsec);
    EXPECT_EQ(namesInFolder(card.root()), QStringList{"Song.mp3"});
}

// The room a failed copy took is free again: a file that fits still goes on.
TEST_F(VolumeMove, OntoAFullVolumeIsDiskFullAndLeavesNothingBehind) {
    ScratchVolume tmpfs = ScratchVolume::tmpfs(512);
    ScratchVolume fat = ScratchVolume::fat(2);
    QUAVEX_REQUIRE_MOUNTED(tmpfs);
    QUAVEX_REQUIRE_MOUNTED(fat);
    writeTestFile(tmpfs.root() + "/Old.mp3", patternBytes(300 * KiB, 2));
    struct Case {
        const ScratchVolume& volume;
        QByteArray song;
        QStringList before;
    };
    const Case cases[] = {{tmpfs, patternBytes(400 * KiB, 3), {"Old.mp3"}},
                          {fat, patternBytes(3 * MiB, 4), {}}};
    const QByteArray small = patternBytes(100 * KiB, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.volume.root().toStdString());
        writeTestFile(localPath("Song.mp3"), c.song);

        EXPECT_EQ(moveError(localPath("Song.mp3"), c.volume.root() + "/Song.mp3"),
                  ErrorNumber::DiskFull);

        EXPECT_EQ(readTestFile(localPath("Song.mp3")), c.song);
        EXPECT_EQ(namesInFolder(c.volume.root()), c.before);
        writeTestFile(localPath("Small.mp3"), small);
        fso.MoveFile(localPath("Small.mp3"), c.volume.root() + "/Small.mp3");
        EXPECT_EQ(readTestFile(c.volume.root() + "/Small.mp3"), small);
    }
}

TEST_F(VolumeMove, CaseOnlyCollisionOnACardIsRefusedAndReplacesNothing) {
    ScratchVolume player = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    ASSERT_TRUE(QDir(player.root()).mkdir("Music"));
    writeTestFile(player.root() + "/Song.mp3", "on the player");
    writeTestFile(player.root() + "/Music/SONG.MP3", "in a folder of the player");
    writeTestFile(localPath("SONG.mp3"), "on the disk");

    QString description;
    EXPECT_EQ(moveError(localPath("SONG.mp3"), player.root() + "/SONG.mp3", &description),
              ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(description, QString("\"SONG.mp3\" could not be moved to \"%1\": \"Song.mp3\", the "
                                   "same name in other letters, is already there.")
                               .arg(player.root()));
    writeTestFile(localPath("MUSIC"), "a song without an extension");
    EXPECT_EQ(moveError(localPath("MUSIC"), player.root() + "/MUSIC", &description),
              ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(description,
              QString("\"MUSIC\" could not be moved to \"%1\": a folder of that name is there.")
                  .arg(player.root()));
    // From here on the card's own lookup has been seen to ignore case.
    writeTestFile(localPath("Other.mp3"), "other");
    fso.MoveFile(localPath("Other.mp3"), player.root() + "/Other.mp3");
    EXPECT_EQ(moveError(localPath("SONG.mp3"), player.root() + "/song.MP3"),
              ErrorNumber::FileAlreadyExists);
    writeTestFile(player.root() + "/\u00c4rger.mp3", "umlaut on the player");
    writeTestFile(localPath("\u00e4rger.mp3"), "umlaut on the disk");
    EXPECT_EQ(moveError(localPath("\u00e4rger.mp3"), player.root() + "/\u00e4rger.mp3"),
              ErrorNumber::FileAlreadyExists);
    // Within the volume, where the move is a rename.
    EXPECT_EQ(moveError(player.root() + "/Music/SONG.MP3", player.root() + "/song.mp3"),
              ErrorNumber::FileAlreadyExists);
    // A file renamed to its own name in other letters meets itself: refused, not lost.
    EXPECT_EQ(moveError(player.root() + "/Song.mp3", player.root() + "/SONG.mp3"),
              ErrorNumber::FileAlreadyExists);

    EXPECT_EQ(readTestFile(player.root() + "/Song.mp3"), "on the player");
    EXPECT_EQ(readTestFile(player.root() + "/Music/SONG.MP3"), "in a folder of the player");
    EXPECT_EQ(readTestFile(localPath("SONG.mp3")), "on the disk");
    EXPECT_EQ(readTestFile(player.root() + "/\u00c4rger.mp3"), "umlaut on the player");
    EXPECT_EQ(namesInFolder(player.root()),
              QStringList({"Music", "Other.mp3", "Song.mp3", "\u00c4rger.mp3"}));
}

TEST_F(VolumeMove, OnACardANameIsCheckedWithoutListingTheFolderOnceTheLookupIsKnown) {
    ScratchVolume player = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    struct CountedListings : SystemCalls {
        int listFolder(const char* path, std::vector<FolderEntry>& entries) override {
            ++listings;
            return SystemCalls::listFolder(path, entries);
        }
        int listings = 0;
    };
    const auto calls = std::make_shared<CountedListings>();
    SystemFileSystem run(calls);
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        writeTestFile(localPath(name), name);

    run.MoveFile(localPath("a.mp3"), player.root() + "/a.mp3");
    const int listingsOfTheFirstMove = calls->listings;
    run.MoveFile(localPath("b.mp3"), player.root() + "/b.mp3");
    run.MoveFile(localPath("c.mp3"), player.root() + "/c.mp3");

    EXPECT_EQ(calls->listings, listingsOfTheFirstMove);
    EXPECT_EQ(readTestFile(player.root() + "/c.mp3"), "c.mp3");
}

// Music in subfolders walks a folder's own folders only: no link to one, no other volume.
TEST_F(VolumeMove, SubfoldersAreTheFoldersOwnAndNotLinksFilesOrOtherVolumes) {
    ASSERT_TRUE(QDir(local.path()).mkpath("B/Inner"));
    ASSERT_TRUE(QDir(local.path()).mkdir("A"));
    writeTestFile(localPath("file.mp3"), "f");
    ASSERT_TRUE(QFile::link(localPath("A"), localPath("LinkToA")));
    EXPECT_EQ(fso.GetSubfolders(local.path()), (std::vector<QString>{"A", "B"}));

    ScratchVolume volume = ScratchVolume::tmpfs(64);
    QUAVEX_REQUIRE_MOUNTED(volume);
    const QFileInfo mountPoint(volume.root());
    ASSERT_TRUE(mountPoint.isDir());
    const std::vector<QString> beside = fso.GetSubfolders(mountPoint.path());
    EXPECT_EQ(std::count(beside.begin(), beside.end(), mountPoint.fileName()), 0);
}

// exfat-fuse writes out the whole device at each flush, of a file or of a folder: a group of moves
// into many folders of a card (music in subfolders) flushes it once for the copies and once for
// the folders, as a group into one folder does.
TEST_F(VolumeMove, AGroupIntoManyFoldersOfACardFlushesTheDeviceOnceForCopiesAndOnceForFolders) {
    ScratchVolume player = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    struct CountedFlushes : SystemCalls {
        int fsync(int fd) override {
            struct stat status {};
            if (::fstat(fd, &status) == 0 && status.st_dev == card)
                ++flushes;
            return SystemCalls::fsync(fd);
        }
        dev_t card = 0;
        int flushes = 0;
    };
    const auto calls = std::make_shared<CountedFlushes>();
    struct stat root {};
    ASSERT_EQ(::stat(QFile::encodeName(player.root()).constData(), &root), 0);
    calls->card = root.st_dev;
    SystemFileSystem run(calls);
    const QStringList songs = {"A/1.mp3", "A/2.mp3", "B/3.mp3", "C/D/4.mp3"};
    for (const QString& song : songs) {
        writeTestFile(localPath(song.section('/', -1)), song.toUtf8());
        run.MakeSubfolders(player.root(), song.section('/', 0, -2));
    }
    const int flushesBefore = calls->flushes;

    for (const QString& song : songs)
        run.MoveInGroup(localPath(song.section('/', -1)), player.root() + "/" + song);
    run.SettleMoves();

    EXPECT_EQ(calls->flushes - flushesBefore, 2);
    for (const QString& song : songs)
        EXPECT_EQ(readTestFile(player.root() + "/" + song), song.toUtf8());
}

TEST_F(VolumeMove, ACardRefusedNameFailsBeforeAnythingIsWritten) {
    ScratchVolume player = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    const QStringList refused{"What?.mp3", "AUX.mp3", "Song.mp3.", "a\tb.mp3",
                              decodeFileName("b\xe9.mp3")};
    for (const QString& name : refused)
        writeTestFile(localPath(name), name.toUtf8());

    for (const QString& name : refused) {
        QString description;
        EXPECT_EQ(moveError(localPath(name), player.root() + "/" + name, &description),
                  ErrorNumber::BadFileName)
            << name.toStdString();
        EXPECT_TRUE(description.contains("\"" + name + "\"")) << description.toStdString();
        EXPECT_EQ(readTestFile(localPath(name)), name.toUtf8());
    }
    EXPECT_TRUE(namesInFolder(player.root()).isEmpty());
}

TEST_F(VolumeMove, FatCannotStoreAFileOfFourGibibytesAndExfatCan) {
    ScratchVolume fat = ScratchVolume::fat(4);
    ScratchVolume card = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(fat);
    QUAVEX_REQUIRE_MOUNTED(card);
    // Sparse files: their size is what counts, not their room on the disk.
    QFile big(localPath("Big.mp3"));
    QFile fits(localPath("Fits.mp3"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(MiB * 4096));
    ASSERT_TRUE(fits.open(QIODevice::WriteOnly) && fits.resize(MiB * 4096 - 1));

    EXPECT_EQ(whyVolumeCannotStore(volumeTraitsOf(fat.root()), big.fileName()),
              QStringLiteral("larger than 4 GiB"));
    EXPECT_EQ(whyVolumeCannotStore(volumeTraitsOf(fat.root()), fits.fileName()), QString());
    EXPECT_EQ(whyVolumeCannotStore(volumeTraitsOf(card.root()), big.fileName()), QString());
}

TEST_F(VolumeMove, NamesFatRefusesAreFineElsewhere) {
    ScratchVolume card = ScratchVolume::tmpfs(1024);
    QUAVEX_REQUIRE_MOUNTED(card);
    writeTestFile(localPath("What?.mp3"), "odd name");
    fso.MoveFile(localPath("What?.mp3"), card.root() + "/What?.mp3");
    EXPECT_EQ(readTestFile(card.root() + "/What?.mp3"), "odd name");
}

TEST_F(VolumeMove, WildcardStopsAtACollisionKeepingEarlierFilesMoved) {
    ScratchVolume card = ScratchVolume::tmpfs(1024);
    QUAVEX_REQUIRE_MOUNTED(card);
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        writeTestFile(localPath(name), QByteArray("disk ") + name);
    writeTestFile(card.root() + "/b.mp3", "card b");

    EXPECT_EQ(moveError(local.path() + "/*.*", card.root()), ErrorNumber::FileAlreadyExists);

    EXPECT_EQ(namesInFolder(card.root()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(readTestFile(card.root() + "/a.mp3"), "disk a.mp3");
    EXPECT_EQ(readTestFile(card.root() + "/b.mp3"), "card b");
    EXPECT_EQ(namesInFolder(local.path()), QStringList({"b.mp3", "c.mp3"}));
}

TEST_F(VolumeMove, WildcardFromAVolumeRootTakesEveryFileAndLeavesFolders) {
    ScratchVolume player = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    ASSERT_TRUE(QDir(player.root()).mkdir("Sub"));
    writeTestFile(player.root() + "/Sub/deep.mp3", "deep");
    for (const char* name : {"one.mp3", "README", "two.WMA"})
        writeTestFile(player.root() + "/" + name, name);

    fso.MoveFile(player.root() + "/*.*", local.path());

    EXPECT_EQ(namesInFolder(local.path()), QStringList({"README", "one.mp3", "two.WMA"}));
    EXPECT_EQ(readTestFile(localPath("two.WMA")), "two.WMA");
    EXPECT_EQ(namesInFolder(player.root()), QStringList{"Sub"});
    // Nothing left to match is a failure of its own.
    EXPECT_EQ(moveError(player.root() + "\\*.*", local.path()), ErrorNumber::FileNotFound);
}

TEST_F(VolumeMove, WithinACardRenamesWithoutHardLinks) {
    ScratchVolume player = ScratchVolume::exfat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    ASSERT_TRUE(QDir(player.root()).mkdir("Music"));
    writeTestFile(player.root() + "/Music/a.mp3", "a");
    writeTestFile(player.root() + "/b.mp3", "b");

    fso.MoveFile(player.root() + "/Music/a.mp3", player.root() + "/a.mp3");
    EXPECT_EQ(moveError(player.root() + "/a.mp3", player.root() + "/b.mp3"),
              ErrorNumber::FileAlreadyExists);

    EXPECT_EQ(readTestFile(player.root() + "/a.mp3"), "a");
    EXPECT_EQ(readTestFile(player.root() + "/b.mp3"), "b");
    EXPECT_TRUE(namesInFolder(player.root() + "/Music").isEmpty());
}

TEST_F(VolumeMove, ToADeviceThatIsGoneFailsAndKeepsTheSource) {
    ScratchVolume player = ScratchVolume::fat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    writeTestFile(localPath("Song.mp3"), "song");
    player.killDevice();

    QString description;
    EXPECT_EQ(moveError(localPath("Song.mp3"), player.root() + "/Song.mp3", &description),
              ErrorNumber::DeviceUnavailable)
        << description.toStdString();
    EXPECT_EQ(readTestFile(localPath("Song.mp3")), "song");
    EXPECT_EQ(fsoErrorOf([&] { fso.GetFolder(player.root()); }), ErrorNumber::DeviceUnavailable);
}
