#include "fs/AppError.h"
#include "fs/DriveRoot.h"
#include "fs/FileNameCodec.h"
#include "fs/Module1.h"
#include "fs/MoveJournal.h"
#include "fs/SystemFileSystem.h"
#include "support/FileCensus.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
