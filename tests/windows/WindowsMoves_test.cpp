#include "fs/AppError.h"
#include "fs/DriveRoot.h"
#include "fs/FileNameCodec.h"
#include "fs/Module1.h"
#include "fs/MoveJournal.h"
#include "fs/SystemCalls.h"
#include "fs/SystemFileSystem.h"
#include "support/FileCensus.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
// Not windows.h, whose MoveFile would rename the file-system object's.
#include <fileapi.h>
#include <windef.h>

// Moves between two drive letters that are two volumes: scripts/test --windows maps the music
// drive to a folder of the local disk and the card drive to a small exFAT card, and names their
// letters in QUAVEX_TEST_MUSIC_DRIVE and QUAVEX_TEST_CARD_DRIVE ("M:", "P:").
namespace {

class WindowsMoves : public testing::Test {
protected:
    void SetUp() override {
        const QString music = qEnvironmentVariable("QUAVEX_TEST_MUSIC_DRIVE");
        const QString card = qEnvironmentVariable("QUAVEX_TEST_CARD_DRIVE");
        if (music.isEmpty() || card.isEmpty())
            GTEST_SKIP() << "no drive letters for two volumes were given";
        m_music = std::make_unique<QTemporaryDir>(music + "/quavex-XXXXXX");
        m_card = std::make_unique<QTemporaryDir>(card + "/quavex-XXXXXX");
        ASSERT_TRUE(m_music->isValid() && m_card->isValid());
    }

    QString music(const QString& name) const { return m_music->path() + "/" + name; }
    QString card(const QString& name) const { return m_card->path() + "/" + name; }

    std::int32_t moveError(const QString& source, const QString& destination) {
        try {
            fso->MoveFile(source, destination);
        } catch (const AppError& error) {
            return error.number();
        }
        return 0;
    }

    std::unique_ptr<FileSystemObject> fso = createSystemFileSystem();
    std::unique_ptr<QTemporaryDir> m_music;
    std::unique_ptr<QTemporaryDir> m_card;
};

} // namespace

TEST_F(WindowsMoves, EveryFileOfAFolderReachesTheOtherDriveOnce) {
    writeFiles(m_music->path(), {"One.mp3", "Two.mp3", "Drei Grüße.mp3"});
    const FileCensus before = censusOf({m_music->path(), m_card->path()});

    fso->MoveFile(m_music->path() + "/*.*", m_card->path());

    EXPECT_EQ(censusOf({m_music->path(), m_card->path()}), before);
    EXPECT_EQ(namesInFolder(m_card->path()), (QStringList{"Drei Grüße.mp3", "One.mp3", "Two.mp3"}));
    EXPECT_TRUE(ownTemporariesIn({m_music->path(), m_card->path()}).isEmpty());
}

TEST_F(WindowsMoves, ANameInOtherLettersIsNeverReplacedOnEitherDrive) {
    writeTestFile(music("Song.mp3"), patternBytes(100 * KiB, 1));
    writeTestFile(music("Other.mp3"), patternBytes(10 * KiB, 4));
    writeTestFile(card("SONG.MP3"), patternBytes(50 * KiB, 2));

    EXPECT_EQ(moveError(music("Song.mp3"), card("Song.mp3")), ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(moveError(music("Other.mp3"), music("SONG.mp3")), ErrorNumber::FileAlreadyExists);

    EXPECT_EQ(readTestFile(music("Song.mp3")), patternBytes(100 * KiB, 1));
    EXPECT_EQ(readTestFile(music("Other.mp3")), patternBytes(10 * KiB, 4));
    EXPECT_EQ(readTestFile(card("SONG.MP3")), patternBytes(50 * KiB, 2));
}

TEST_F(WindowsMoves, OntoAFullCardIsDiskFullAndLeavesTheSourceAlone) {
    const qint64 song = 64 * MiB;
    writeTestFile(music("Big.mp3"), patternBytes(song, 3));

    EXPECT_EQ(moveError(music("Big.mp3"), card("Big.mp3")), ErrorNumber::DiskFull);

    EXPECT_EQ(readTestFile(music("Big.mp3")), patternBytes(song, 3));
    EXPECT_TRUE(namesInFolder(m_card->path()).isEmpty());
}

// What the status line shows as "Space remaining": the card holds 32 MiB, of which its file system
// keeps a little, so a figure in bytes or in megabytes would fall outside.
TEST_F(WindowsMoves, TheCardsFreeSpaceIsCountedInKilobytes) {
    const qint64 free = DiskFreeKB(driveRootOf(m_card->path()));
    EXPECT_GT(free, 24 * 1024);
    EXPECT_LE(free, 32 * 1024);
}

TEST_F(WindowsMoves, AGroupSettlesOnTheCardAndAKilledOneIsCompletedAtTheNextStart) {
    writeFiles(m_music->path(), {"One.mp3", "Two.mp3", "Three.mp3"});
    const FileCensus before = censusOf({m_music->path(), m_card->path()});

    for (const char* name : {"One.mp3", "Two.mp3", "Three.mp3"})
        fso->MoveInGroup(music(name), card(name));
    fso->SettleMoves();

    EXPECT_EQ(fso->SettledMoves(), 3);
    EXPECT_EQ(censusOf({m_music->path(), m_card->path()}), before);
    EXPECT_TRUE(namesInFolder(m_music->path()).isEmpty());
    EXPECT_FALSE(QFile::exists(moveJournal()));

    // Killed between the publication on the card and the deletion of the source; a different
    // file under the other name is not the copy, and its source stays.
    writeTestFile(music("Four.mp3"), patternBytes(300 * KiB, 5));
    writeTestFile(card("Four.mp3"), patternBytes(300 * KiB, 5));
    writeTestFile(music("Five.mp3"), patternBytes(300 * KiB, 6));
    writeTestFile(card("Five.mp3"), patternBytes(300 * KiB, 7));
    // Recorded one after the other: the second line goes after the first.
    recordMoves({{encodeFileName(music("Four.mp3")), encodeFileName(card("Four.mp3"))}});
    recordMoves({{encodeFileName(music("Five.mp3")), encodeFileName(card("Five.mp3"))}});
    completeInterruptedMoves();

    EXPECT_FALSE(QFile::exists(music("Four.mp3")));
    EXPECT_EQ(readTestFile(card("Four.mp3")), patternBytes(300 * KiB, 5));
    EXPECT_EQ(readTestFile(music("Five.mp3")), patternBytes(300 * KiB, 6));
    EXPECT_EQ(readTestFile(card("Five.mp3")), patternBytes(300 * KiB, 7));
}

// The root of a FAT or exFAT card that holds nothing lists no "." or "..": Windows then answers
// "file not found". scripts/test --windows names an empty drive in QUAVEX_TEST_EMPTY_DRIVE.
TEST_F(WindowsMoves, AnEmptyDriveRootIsAnEmptyFolderThatTakesAFile) {
    const QString empty = qEnvironmentVariable("QUAVEX_TEST_EMPTY_DRIVE");
    if (empty.isEmpty())
        GTEST_SKIP() << "no empty drive was given";
    const QString root = empty + "/";
    writeTestFile(music("Song.mp3"), patternBytes(100 * KiB, 1));

    EXPECT_TRUE(fso->GetFolder(root).Files.empty());
    EXPECT_EQ(moveError(music("Song.mp3"), root + "Song.mp3"), 0);

    EXPECT_EQ(readTestFile(root + "Song.mp3"), patternBytes(100 * KiB, 1));
    EXPECT_EQ(moveError(root + "Song.mp3", music("Song.mp3")), 0);
    EXPECT_TRUE(namesInFolder(root).isEmpty());
}

// A read-only song (ripped from a CD) moves whole: its source goes, and its copy is read-only
// too. Z:\dev\shm is another volume, one that keeps the attribute.
TEST_F(WindowsMoves, AReadOnlySongMovesAndItsCopyStaysReadOnly) {
    QTemporaryDir other(QStringLiteral("Z:/dev/shm/quavex-XXXXXX"));
    ASSERT_TRUE(other.isValid());
    const QString song = music("Ripped.mp3");
    const QString copy = other.path() + "/Ripped.mp3";
    writeTestFile(song, patternBytes(100 * KiB, 2));
    ASSERT_TRUE(QFile::setPermissions(song, QFile::ReadOwner | QFile::ReadUser));

    EXPECT_EQ(moveError(song, copy), 0);

    EXPECT_FALSE(QFile::exists(song));
    EXPECT_EQ(readTestFile(copy), patternBytes(100 * KiB, 2));
    EXPECT_FALSE(QFileInfo(copy).isWritable());
    EXPECT_EQ(moveError(copy, song), 0);
    EXPECT_TRUE(namesInFolder(other.path()).isEmpty());
}

// A song another program holds without sharing its deletion (a player playing it) is that song's
// own failure, on one drive and across two, and nothing of it is left where it was to go; once
// let go, it moves.
TEST_F(WindowsMoves, ASongInUseStaysWhereItIsUntilItIsLetGo) {
    const QString song = music("Playing.mp3");
    writeTestFile(song, patternBytes(100 * KiB, 3));
    QProcess holder;
    holder.start(QCoreApplication::applicationDirPath() + "/hold_file.exe",
                 {QDir::toNativeSeparators(song)});
    ASSERT_TRUE(holder.waitForReadyRead(30000));

    for (const QString& destination : {music("Moved.mp3"), card("Playing.mp3")}) {
        try {
            fso->MoveFile(song, destination);
            ADD_FAILURE() << "the move succeeded";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.onlyThisFile());
            EXPECT_TRUE(error.description().contains("it is in use by another program"))
                << error.description().toStdString();
        }
    }
    EXPECT_EQ(namesInFolder(m_music->path()), QStringList{"Playing.mp3"});
    EXPECT_TRUE(namesInFolder(m_card->path()).isEmpty());

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_EQ(moveError(song, card("Playing.mp3")), 0);
    EXPECT_EQ(readTestFile(card("Playing.mp3")), patternBytes(100 * KiB, 3));
}

// Windows' own hidden system files stay on the folder they describe; only the music moves.
TEST_F(WindowsMoves, DesktopIniAndThumbsDbStayWhereTheyAre) {
    writeFiles(m_music->path(), {"desktop.ini", "Thumbs.db", "Old.mp3"});
    for (const char* name : {"desktop.ini", "Thumbs.db"})
        ASSERT_TRUE(SetFileAttributesW(QDir::toNativeSeparators(music(name)).toStdWString().c_str(),
                                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    EXPECT_EQ(fso->GetFolder(m_music->path()).Files.size(), 1u);
    fso->MoveFile(m_music->path() + "/*.*", m_card->path());

    EXPECT_EQ(namesInFolder(m_card->path()), QStringList{"Old.mp3"});
    EXPECT_EQ(namesInFolder(m_music->path()), (QStringList{"Thumbs.db", "desktop.ini"}));
}

// A song whose path is longer than Windows' old limit of 260 characters moves like any other.
TEST_F(WindowsMoves, ASongWithAPathOver260CharactersMoves) {
    QString folder = m_music->path();
    while (folder.size() < 300)
        folder += "/" + QString(60, QLatin1Char('a'));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeTestFile(folder + "/Long.mp3", patternBytes(100 * KiB, 4));

    EXPECT_EQ(fso->GetFolder(folder).Files.size(), 1u);
    EXPECT_EQ(moveError(folder + "/Long.mp3", card("Long.mp3")), 0);

    EXPECT_EQ(readTestFile(card("Long.mp3")), patternBytes(100 * KiB, 4));
    EXPECT_FALSE(QFile::exists(folder + "/Long.mp3"));
}

namespace {

// A file flushed after it was renamed fails, as where its folder entry cannot be written.
class FailingFlushAfterPublication : public SystemCalls {
public:
    int renameNoReplace(const char* from, const char* to) override {
        const int result = SystemCalls::renameNoReplace(from, to);
        m_published = result == 0;
        return result;
    }
    int fsync(int fd) override {
        struct stat status {};
        if (m_published && SystemCalls::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
            errno = EIO;
            return -1;
        }
        return SystemCalls::fsync(fd);
    }

private:
    bool m_published = false;
};

} // namespace

// On FAT only a file's own flush writes its folder entry: a copy is flushed again once published,
// before its source goes, and one that cannot be is taken back.
TEST_F(WindowsMoves, APublishedCopyIsFlushedBeforeItsSourceGoes) {
    writeTestFile(music("Song.mp3"), patternBytes(100 * KiB, 5));
    SystemFileSystem faulty(std::make_shared<FailingFlushAfterPublication>());

    EXPECT_THROW(faulty.MoveFile(music("Song.mp3"), card("Song.mp3")), AppError);

    EXPECT_EQ(readTestFile(music("Song.mp3")), patternBytes(100 * KiB, 5));
    EXPECT_TRUE(namesInFolder(m_card->path()).isEmpty());
}
