#include "fs/AppError.h"
#include "fs/FatNames.h"
#include "fs/FileNameCodec.h"
#include "fs/MoveJournal.h"
#include "fs/OwnTemporaries.h"
#include "fs/StorableFiles.h"
#include "support/LocalFolderTest.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <utility>

// The folder services and the rules on names, on the local disk.
namespace {

using FolderServices = LocalFolderTest;

} // namespace

TEST_F(FolderServices, GetFolderListsEachFileOnceButNotFoldersLinksOrOurTemporaries) {
    ASSERT_TRUE(QDir(local.path()).mkdir("Sub"));
    writeTestFile(localPath("Sub/inner.mp3"), "inner");
    writeTestFile(localPath("b.mp3"), "b");
    writeTestFile(localPath(".hidden"), "h");
    writeTestFile(localPath("Ünïcode.WMA"), "u");
    writeTestFile(localPath(newOwnTemporaryName()), "half a copy");
    ASSERT_TRUE(QFile::link(localPath("b.mp3"), localPath("link.mp3")));

    const FsFolder folder = fso.GetFolder(local.path());

    QStringList names;
    for (const FsFile& file : folder.Files)
        names << file.Name;
    EXPECT_EQ(names, QStringList({".hidden", "b.mp3", "Ünïcode.WMA"}));
    EXPECT_EQ(folder.Path, local.path());
}

TEST_F(FolderServices, MissingFoldersFailWithPathNotFound) {
    EXPECT_FALSE(fso.FolderExists(localPath("none")));
    writeTestFile(localPath("file"), "x");
    EXPECT_FALSE(fso.FolderExists(localPath("file")));
    EXPECT_TRUE(fso.FolderExists(local.path()));
    EXPECT_EQ(fsoErrorOf([&] { fso.GetFolder(localPath("none")); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(moveError(localPath("file"), localPath("none/file")), ErrorNumber::PathNotFound);
    EXPECT_EQ(moveError(localPath("none/*.*"), local.path()), ErrorNumber::PathNotFound);
    EXPECT_EQ(moveError(localPath("gone.mp3"), localPath("x.mp3")), ErrorNumber::FileNotFound);
}

TEST_F(FolderServices, CreateAndDeleteFolder) {
    const QString holding = localPath("QUAVEXTemp");
    fso.CreateFolder(holding + "/");
    EXPECT_TRUE(fso.FolderExists(holding));
    EXPECT_EQ(fsoErrorOf([&] { fso.CreateFolder(holding); }), ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(fsoErrorOf([&] { fso.CreateFolder(localPath("none/deeper")); }),
              ErrorNumber::PathNotFound);

    writeTestFile(holding + "/held.mp3", "held");
    EXPECT_EQ(fsoErrorOf([&] { fso.DeleteFolder(holding); }), ErrorNumber::PathFileAccess);
    EXPECT_EQ(readTestFile(holding + "/held.mp3"), "held");

    ASSERT_TRUE(QFile::remove(holding + "/held.mp3"));
    fso.DeleteFolder(holding);
    EXPECT_FALSE(fso.FolderExists(holding));
    EXPECT_EQ(fsoErrorOf([&] { fso.DeleteFolder(holding); }), ErrorNumber::PathNotFound);
}

TEST_F(FolderServices, SameVolumeMoveNeverReplaces) {
    writeTestFile(localPath("a.mp3"), "a");
    writeTestFile(localPath("b.mp3"), "b");
    EXPECT_EQ(moveError(localPath("a.mp3"), localPath("b.mp3")), ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(moveError(localPath("a.mp3"), localPath("a.mp3")), ErrorNumber::FileAlreadyExists);
    // Letter case tells names apart on this volume.
    fso.MoveFile(localPath("a.mp3"), localPath("B.mp3"));
    EXPECT_EQ(readTestFile(localPath("b.mp3")), "b");
    EXPECT_EQ(readTestFile(localPath("B.mp3")), "a");
    // Folders are not files to move.
    ASSERT_TRUE(QDir(local.path()).mkdir("Sub"));
    EXPECT_EQ(moveError(localPath("Sub"), localPath("Sub2")), ErrorNumber::FileNotFound);
    EXPECT_TRUE(fso.FolderExists(localPath("Sub")));
}

TEST_F(FolderServices, WildcardWithEitherSeparatorMovesEveryFileWithOrWithoutADot) {
    ASSERT_TRUE(QDir(local.path()).mkpath("from/Sub"));
    ASSERT_TRUE(QDir(local.path()).mkdir("to"));
    for (const char* name : {"one.mp3", "NoDot", "two.wma"})
        writeTestFile(localPath("from/") + name, name);
    const QString stale = localPath("from/") + newOwnTemporaryName();
    writeTestFile(stale, "stale");

    fso.MoveFile(localPath("from\\*.*"), localPath("to/"));

    EXPECT_EQ(namesInFolder(localPath("to")), QStringList({"NoDot", "one.mp3", "two.wma"}));
    EXPECT_EQ(readTestFile(localPath("to/NoDot")), "NoDot");
    ASSERT_EQ(namesInFolder(localPath("from")).size(), 2);
    EXPECT_EQ(moveError(localPath("from/*.*"), localPath("to")), ErrorNumber::FileNotFound);
    EXPECT_TRUE(QFile::remove(stale));
    EXPECT_EQ(namesInFolder(localPath("from")), QStringList{"Sub"});
}

TEST_F(FolderServices, DeleteDuplicateDeletesOnlyAnotherFileWithTheSameBytes) {
    ASSERT_TRUE(QDir(local.path()).mkdir("music"));
    const QByteArray song = patternBytes(3 * MiB + 5, 1);
    QByteArray lastByteDiffers = song;
    lastByteDiffers.back() = static_cast<char>(lastByteDiffers.back() + 1);
    writeTestFile(localPath("music/same.mp3"), song);
    writeTestFile(localPath("music/other.mp3"), lastByteDiffers);
    writeTestFile(localPath("held.mp3"), song);

    EXPECT_FALSE(fso.DeleteDuplicate(localPath("held.mp3"), localPath("music/other.mp3")));
    // A path is never a duplicate of itself, by the same path or through a link to its folder.
    ASSERT_TRUE(QFile::link(local.path(), localPath("music/again")));
    EXPECT_FALSE(fso.DeleteDuplicate(localPath("held.mp3"), localPath("held.mp3")));
    EXPECT_FALSE(fso.DeleteDuplicate(localPath("held.mp3"), localPath("music/again/held.mp3")));
    EXPECT_EQ(readTestFile(localPath("held.mp3")), song);

    EXPECT_TRUE(fso.DeleteDuplicate(localPath("held.mp3"), localPath("music/same.mp3")));
    EXPECT_FALSE(QFile::exists(localPath("held.mp3")));
    EXPECT_EQ(readTestFile(localPath("music/same.mp3")), song);
    // Names are the bytes the folder gave, also where they are not text.
    const QString notText = localPath(decodeFileName("held\xe9.mp3"));
    writeTestFile(notText, song);
    EXPECT_TRUE(fso.DeleteDuplicate(notText, localPath("music/same.mp3")));
    EXPECT_TRUE(namesInFolder(local.path()).filter("held").isEmpty());
}

TEST(FatNames, RefusesWhatFatRefusesAndNothingElse) {
    const QStringList refused{"a<b",
                              "a>b",
                              "a:b",
                              "a\"b",
                              "a\\b",
                              "a|b",
                              "a?b",
                              "a*b",
                              "tab\there",
                              "Song.",
                              "Song ",
                              "CON",
                              "con.mp3",
                              "Aux.tar.gz",
                              "NUL .mp3",
                              "PRN",
                              "COM1.wma",
                              "lpt9",
                              "COM¹.mp3",
                              "lpt³",
                              "CONIN$",
                              "conout$.txt",
                              QString(256, 'x'),
                              ""};
    for (const QString& name : refused)
        EXPECT_FALSE(fatNameProblem(name).isEmpty()) << name.toStdString();
    const QStringList taken{"Song.mp3",    ".hidden",        "CONSOLE.mp3",
                            "COM10.mp3",   "LPT0.mp3",       "My Song (live).mp3",
                            "Ünïcode.wma", QString(255, 'x')};
    for (const QString& name : taken)
        EXPECT_EQ(fatNameProblem(name), QString()) << name.toStdString();
    EXPECT_EQ(fatNameProblem("AUX.mp3"), QStringLiteral("\"AUX\" is a reserved device name"));
}

TEST(FileNameCodec, EveryNameComesBackByteForByteAndOnlyTextReadsAsText) {
    struct Case {
        QByteArray bytes;
        bool text;
    };
    const Case cases[] = {
        {"Song.mp3", true},
        {"\xc3\x9cn\xc3\xaf"
         "code.wma",
         true},
        // A character beyond U+FFFF whose second half lies where escapes do.
        {"\xf0\x9f\x82\x80.mp3", true},
        {"\xef\xbb\xbf"
         "bom.mp3",
         true}, // Qt's reading drops the mark
        {"b\xe9.mp3", false},
        {"\xff\xfe", false},
        {"\xc0\xaf", false},                    // overlong "/"
        {"\xed\xb2\x80", false},                // an encoded surrogate
        {"\xf4\x90\x80\x80", false},            // beyond U+10FFFF
        {"cut \xe2\x82 short\xe2\x82", false}}; // truncated, mid-name and at the end
    const VolumeTraits card{true, true};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const QString name = decodeFileName(c.bytes);
        EXPECT_EQ(encodeFileName(name), c.bytes);
        EXPECT_EQ(holdsUndecodableBytes(name), !c.text);
        EXPECT_EQ(nameProblemOn(card, name).isEmpty(), c.text);
        EXPECT_EQ(nameProblemOn(VolumeTraits{}, name), QString());
        EXPECT_EQ(displayedFileName(name), c.text ? name : QString::fromUtf8(c.bytes));
    }
}

TEST(OwnTemporaries, NamesAreRecognisedAndNeverMusic) {
    const QString name = newOwnTemporaryName();
    EXPECT_TRUE(isOwnTemporaryName(name));
    EXPECT_NE(name, newOwnTemporaryName());
    EXPECT_FALSE(name.endsWith(".mp3", Qt::CaseInsensitive));
    EXPECT_FALSE(name.endsWith(".wma", Qt::CaseInsensitive));
    EXPECT_FALSE(isOwnTemporaryName(".~quavex-.part.mp3"));
    EXPECT_FALSE(isOwnTemporaryName("song.part"));
}

TEST(OwnTemporaries, TheJournalKeepsFoldersThatAreAbsentButOnlyTheNewestOnes) {
    QByteArray lines;
    for (int i = 0; i < 300; ++i)
        lines += QByteArray("/absent-card-") + QByteArray::number(i) + "/.~quavex-1-\n";
    QDir().mkpath(QFileInfo(ownTemporariesJournal()).path());
    writeTestFile(ownTemporariesJournal(), lines);

    removeRecordedTemporaries();

    const QList<QByteArray> kept = readTestFile(ownTemporariesJournal()).trimmed().split('\n');
    ASSERT_EQ(kept.size(), 256);
    EXPECT_EQ(kept.front(), "/absent-card-44/.~quavex-1-");
    EXPECT_EQ(kept.back(), "/absent-card-299/.~quavex-1-");
    QFile::remove(ownTemporariesJournal());
}

// What a killed run left in the journal of moves: a source goes only where its published copy
// holds the same bytes; a copy whose source is gone is published, never removed; a move whose
// source's or destination's folder is away is kept for a later start, also past a later run.
TEST_F(FolderServices, AnInterruptedMoveDeletesTheSourceOnlyBesideAWholeCopy) {
    ASSERT_TRUE(QDir(local.path()).mkpath("Player"));
    struct Move {
        const char* name;
        const char* published;
        bool sourceStays;
    };
    const Move moves[] = {{"same.mp3", "same bytes", false},
                          {"other.mp3", "other bytes", true},
                          {"unpublished.mp3", nullptr, true}};
    std::vector<RecordedMove> recorded;
    for (const Move& move : moves) {
        writeTestFile(localPath(move.name), "same bytes");
        if (move.published)
            writeTestFile(localPath("Player/") + move.name, move.published);
        recorded.push_back({QFile::encodeName(localPath(move.name)),
                            QFile::encodeName(localPath("Player/") + move.name)});
    }
    // Copies whose sources are gone: one is published; the other's name was taken meanwhile.
    const QByteArray player = QFile::encodeName(localPath("Player"));
    const QString copy = localPath("Player/") + recordedTemporaryName(player);
    const QString kept = localPath("Player/") + recordedTemporaryName(player);
    const QString stranded = localPath("Player/") + recordedTemporaryName(player);
    writeTestFile(copy, "lost publication");
    writeTestFile(kept, "only copy");
    writeTestFile(stranded, "source's drive away");
    writeTestFile(localPath("Player/taken.mp3"), "another file");
    for (const auto& [name, temporary] : {std::pair{"deleted.mp3", copy}, {"taken.mp3", kept}})
        recorded.push_back({QFile::encodeName(localPath(name)),
                            QFile::encodeName(localPath("Player/") + name),
                            QFile::encodeName(temporary)});
    const RecordedMove away{QFile::encodeName(localPath("other.mp3")), "/absent-card/other.mp3"};
    recorded.push_back(away);
    recorded.push_back({"/absent-music/away.mp3", QFile::encodeName(localPath("Player/away.mp3")),
                        QFile::encodeName(stranded)});
    recordMoves(recorded);

    completeInterruptedMoves();
    removeRecordedTemporaries();

    for (const Move& move : moves)
        EXPECT_EQ(QFile::exists(localPath(move.name)), move.sourceStays) << move.name;
    EXPECT_EQ(readTestFile(localPath("Player/same.mp3")), "same bytes");
    EXPECT_EQ(readTestFile(localPath("Player/deleted.mp3")), "lost publication");
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(readTestFile(kept), "only copy");
    EXPECT_FALSE(QFile::exists(localPath("Player/away.mp3")));
    const QByteArray left = readTestFile(moveJournal());
    EXPECT_EQ(left.count('\n'), 3);
    EXPECT_TRUE(left.contains(away.source + " /absent-card/other.mp3\n")) << left.toStdString();
    // A run forgets its own moves once they have settled, never those the start kept.
    recordMoves({{"/music/settled.mp3", "/player/settled.mp3"}});
    forgetRecordedMoves();
    EXPECT_EQ(readTestFile(moveJournal()), left);
    removeRecordedTemporaries();
    EXPECT_EQ(readTestFile(kept), "only copy");
    EXPECT_EQ(readTestFile(stranded), "source's drive away");
    QFile::remove(moveJournal());
    QFile::remove(ownTemporariesJournal());
}
