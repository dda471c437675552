#include "app/Form1.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/OwnTemporaries.h"
#include "fs/SystemFileSystem.h"
#include "fs/SystemVolumes.h"
#include "rotation/HeldFiles.h"
#include "rotation/StatusBox.h"
#include "support/ForwardingFileSystem.h"
#include "support/MessageBoxes.h"
#include "support/RotationWindow.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString identicalText = QStringLiteral("The source and destination paths are identical!");
const QString warningText =
    QStringLiteral("Warning! Files will be REMOVED from the Hard Drive Music Directory that you "
                   "specified. Do you wish to continue?");
const QString complete = QStringLiteral("Program processing complete");
const QString movingBack = QStringLiteral("Moving original files back to base directory...");

QString summary(int moved) {
    return QStringLiteral(" %1 files were moved to the MP3 player.").arg(moved);
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

// Hands every call to the real file-system object, except that the chosen single-file move fails
// with the given error number, as a file held open by another program would.
class FailingMoves : public ForwardingFileSystem {
public:
    FailingMoves(int failAt, std::int32_t number) : m_failAt(failAt), m_number(number) {}

    void MoveFile(const QString& source, const QString& destination) override {
        if (!source.endsWith(QStringLiteral("*.*")) && ++m_singleMoves == m_failAt)
            throw AppError(m_number, QStringLiteral("Fso"), QStringLiteral("File in use"));
        ForwardingFileSystem::MoveFile(source, destination);
    }

private:
    int m_failAt;
    std::int32_t m_number;
    int m_singleMoves = 0;
};

// The real file-system object, except that one folder cannot be listed.
class UnlistableFolder : public ForwardingFileSystem {
public:
    explicit UnlistableFolder(QString folder) : m_folder(std::move(folder)) {}

    FsFolder GetFolder(const QString& path) override {
        if (path == m_folder)
            throw AppError(ErrorNumber::DeviceIO, "Fso", "Device I/O error");
        return ForwardingFileSystem::GetFolder(path);
    }

private:
    QString m_folder;
};

// What boxes() holds when exactly this one box was shown.
std::vector<MessageRequest> oneBox(const MessageRequest& only) {
    return {only};
}

class RotationRun : public testing::Test {
protected:
    RotationWindow w;
    const std::vector<MessageRequest>& boxes() const { return w.env.prompter->shown; }
};

TEST_F(RotationRun, CompleteRunExchangesThePlayersFilesForMusicAndKeepsEveryFile) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.WMA", "readme.txt"});
    writeFiles(w.player(), {"old1.mp3", "list.m3u"});
    writeFiles(w.card(), {"old2.wma"});
    w.choose(w.music(), w.player(), w.card(), true, true);
    const FileCensus before = w.census();
    QStringList statusAtYield;
    w.onYield = [&](int) { statusAtYield.append(w.statusText()); };
    // Break outside a run has no visible effect, and the run clears the flag.
    w.form->cmdBreak->click();
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
    EXPECT_FALSE(w.form->txtStatus->isVisible());

    w.pressSelect();

    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.ownTemporaries().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    // The first fill takes every music file; the second sees only what the first left: none.
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3", "b.mp3", "c.WMA"}));
    EXPECT_TRUE(w.namesIn(w.card()).isEmpty());
    EXPECT_EQ(w.namesIn(w.music()),
              QStringList({"list.m3u", "old1.mp3", "old2.wma", "readme.txt"}));
    EXPECT_EQ(w.statusText(), summary(0) + "\r\n" + movingBack + "\r\n" + complete);
    EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 2"));
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 3"));
    EXPECT_EQ(w.form->txtOp2Tot->text(), QStringLiteral("Total: 0"));
    EXPECT_EQ(statusColour(*w.form), QColor(255, 255, 255));
    EXPECT_TRUE(w.form->txtStatus->isVisible());
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
    EXPECT_FALSE(w.selectEnabledAtAYield);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.random->seeds, 2);

    // One yield per cleared folder, then one per attempt of the fill.
    ASSERT_EQ(statusAtYield.size(), 5);
    EXPECT_EQ(statusAtYield[0],
              QStringLiteral("Moving files from MP3 player's internal memory..."));
    EXPECT_EQ(statusAtYield[1], QStringLiteral("Moving files from MP3 player's external card..."));
    const QRegularExpression line(
        QStringLiteral("^Space remaining:  \\d+MB\r\nMoving (a\\.mp3|b\\.mp3|c\\.WMA)\\.\\.\\.$"));
    for (int i = 2; i < 5; ++i)
        EXPECT_TRUE(line.match(statusAtYield[i]).hasMatch()) << statusAtYield[i].toStdString();
}

TEST_F(RotationRun, ANameThatIsNotTextIsClearedHeldAndRestoredByteForByte) {
    // Bytes of an old Latin-1 rip; the folders lie on the local disk, which keeps any bytes.
    const QString latin1 = decodeFileName("b\xe9.mp3");
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {latin1, decodeFileName("\xff.m3u")});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3"}));
    EXPECT_EQ(namesInFolder(w.music()), QStringList({latin1, decodeFileName("\xff.m3u")}));
    EXPECT_EQ(w.statusText(), summary(1) + "\r\n" + movingBack + "\r\n" + complete);
    // The list keeps the name's bytes and shows the ones that are not text as U+FFFD.
    ASSERT_EQ(w.form->flIp->ListCount(), 1);
    EXPECT_EQ(w.form->flIp->List(0), latin1);
    EXPECT_EQ(w.form->flIp->model()->index(0, 0).data().toString(), QStringLiteral("b\uFFFD.mp3"));
}

TEST_F(RotationRun, AnUnpluggedPlayerIsRefusedAndItsBareMountPointReceivesNothing) {
    ScratchVolume card = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.volumes = std::make_shared<SystemVolumeProvider>();
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(card.root(), {"old.mp3"});
    w.choose(w.music(), card.root(), w.card(), true, false);
    card.unmount();
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_TRUE(namesInFolder(card.root()).isEmpty());
    EXPECT_EQ(w.census(), before);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text,
              QStringLiteral("The player folder \"%1\" is not on the drive \"%1\", which is not "
                             "mounted; plug the player in or choose its drive again. Nothing in "
                             "that folder has been touched.")
                  .arg(card.root()));
    EXPECT_EQ(w.statusText(), "\r\n" + complete);
}

TEST_F(RotationRun, DrawsRangeOverTheWholeListAndATriedSlotIsDrawnAgainUntilAFreshOne) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    // 0.9 -> c; 0.0 -> a; then 0.0 -> a again (tried), 0.99 -> c (tried), 0.5 -> b.
    w.random->fractions = {0.9, 0.0, 0.0, 0.99, 0.5};
    QStringList moving;
    w.onYield = [&](int) { moving.append(w.statusText().section(QStringLiteral("Moving "), 1)); };

    w.pressSelect();

    EXPECT_EQ(moving, QStringList({"c.mp3...", "a.mp3...", "b.mp3..."}));
    // After the last candidate the loop ends without drawing again.
    EXPECT_EQ(w.random->draws, 5);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3", "b.mp3", "c.mp3"}));
}

TEST_F(RotationRun, OneCandidateAndEmptyPlayersGiveNoRestoreLine) {
    writeFiles(w.music(), {"only.mp3", "notes.txt"});
    w.choose(w.music(), w.player(), w.card(), true, true);

    w.pressSelect();

    EXPECT_EQ(w.random->draws, 1);
    EXPECT_EQ(w.yields, 1); // empty player folders do not yield
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"only.mp3"}));
    EXPECT_EQ(w.statusText(), summary(0) + "\r\n" + complete);
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_FALSE(w.form->cmdGo->isEnabled()); // no music is left in the music folder
}

TEST_F(RotationRun, IdenticalPathsInAnyLetterCaseEndTheRunBeforeAnythingIsTouched) {
    // Distinct folders on this file system, the same path to the check.
    const QString shouting = QFileInfo(w.music()).path() + QStringLiteral("/MUSIC");
    QDir().mkpath(shouting);
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.open();
    w.form->txtStatus->setPlainText(QStringLiteral("earlier"));

    for (const bool second : {false, true}) {
        w.env.prompter->shown.clear();
        w.choose(w.music(), second ? w.player() : shouting, second ? shouting : w.card(), true,
                 second);
        const FileCensus before = w.census();
        w.pressSelect();

        EXPECT_EQ(boxes(), oneBox({.text = identicalText,
                                   .title = QStringLiteral("ERROR"),
                                   .icon = MessageIcon::Critical}));
        EXPECT_EQ(w.census(), before);
        EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
        EXPECT_FALSE(QFileInfo::exists(w.holding()));
        EXPECT_EQ(w.form->txtStatus->toPlainText(), QStringLiteral("earlier"));
        EXPECT_TRUE(w.form->cmdGo->isEnabled());
    }
}

TEST_F(RotationRun, AnUntickedPaneOnTheMusicFolderIsIgnoredAndBothPanesMayShareAFolder) {
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(w.player(), {"p1.mp3", "p2.txt"});
    w.choose(w.music(), w.player(), w.music(), true, false);
    const FileCensus before = w.census();
    w.pressSelect();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(w.namesIn(w.music()), QStringList({"p1.mp3", "p2.txt"}));

    // Both panes on the player folder, both ticked: the second clearing finds it empty.
    w.choose(w.music(), w.player(), w.player(), true, true);
    w.pressSelect();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p1.mp3"}));
    EXPECT_EQ(w.namesIn(w.music()), QStringList({"a.mp3", "b.mp3", "p2.txt"}));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_EQ(w.statusText(), summary(0) + "\r\n" + movingBack + "\r\n" + complete);
}

TEST_F(RotationRun, TheWarningAsksFirstAndADeclinedWarningTouchesNothing) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false, false);
    w.form->txtStatus->setPlainText(QStringLiteral("earlier"));
    setStatusColour(*w.form, QColor(255, 255, 0));
    const FileCensus before = w.census();
    w.env.prompter->answers = {MessageAnswer::No};

    w.pressSelect();

    const MessageRequest warning{.text = warningText,
                                 .title = QStringLiteral("Warning!"),
                                 .icon = MessageIcon::None,
                                 .buttons = MessageButtons::YesNo,
                                 .defaultButton = MessageAnswer::Yes};
    EXPECT_EQ(boxes(), oneBox(warning));
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_EQ(w.form->txtStatus->toPlainText(), QStringLiteral("earlier"));
    EXPECT_EQ(statusColour(*w.form), QColor(255, 255, 0));
    EXPECT_TRUE(w.form->cmdGo->isEnabled());

    // Yes (the default) runs, and the box turns white again.
    w.pressSelect();
    EXPECT_EQ(boxes(), (std::vector<MessageRequest>{warning, warning}));
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3"}));
    EXPECT_EQ(statusColour(*w.form), QColor(255, 255, 255));
}

TEST_F(RotationRun, BreakDuringTheClearingLetsTheCardWriteItsMessageAndTheFillAbort) {
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    writeFiles(w.card(), {"c.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, true);
    const FileCensus before = w.census();
    QStringList statusAtYield;
    w.onYield = [&](int n) {
        statusAtYield.append(w.statusText());
        if (n == 1)
            w.form->cmdBreak->click();
    };

    w.pressSelect();

    ASSERT_EQ(statusAtYield.size(), 3);
    EXPECT_EQ(statusAtYield[0],
              QStringLiteral("Moving files from MP3 player's internal memory..."));
    EXPECT_EQ(statusAtYield[1], QStringLiteral("Moving files from MP3 player's external card..."));
    EXPECT_TRUE(statusAtYield[2].startsWith(QStringLiteral("Space remaining: ")));
    EXPECT_EQ(w.statusText(), QStringLiteral("Processing aborted"));
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
    EXPECT_EQ(w.namesIn(w.card()), QStringList({"c.mp3"}));
    EXPECT_TRUE(QFileInfo(w.holding()).isDir());
    EXPECT_TRUE(w.form->cmdGo->isEnabled());

    // The flag is cleared by the next run, which goes through.
    w.onYield = nullptr;
    w.pressSelect();
    EXPECT_TRUE(w.statusText().endsWith(complete));
    EXPECT_EQ(w.census(), before);
}

TEST_F(RotationRun, BreakDuringAFillKeepsTheHeldFilesForTheNextRunWhichReturnsThemFirst) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    writeFiles(w.player(), {"p1.mp3", "p2.txt"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();
    w.onYield = [&](int n) {
        if (n == 3) // clearing, first attempt, second attempt
            w.form->cmdBreak->click();
    };

    w.pressSelect();

    EXPECT_EQ(w.statusText(), QStringLiteral("Processing aborted"));
    EXPECT_EQ(w.namesIn(w.player()).size(), 1);
    EXPECT_EQ(sorted(w.namesIn(w.holding())), QStringList({"p1.mp3", "p2.txt"}));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
    EXPECT_FALSE(w.statusText().contains(complete));

    // The next run puts the held files into the music folder before it touches the player.
    QStringList musicAtFirstYield;
    QStringList heldAtFirstYield;
    w.onYield = [&](int n) {
        if (n == 4) {
            musicAtFirstYield = w.namesIn(w.music());
            heldAtFirstYield = w.namesIn(w.holding());
        }
    };
    w.pressSelect();
    EXPECT_TRUE(musicAtFirstYield.contains(QStringLiteral("p1.mp3")));
    EXPECT_TRUE(musicAtFirstYield.contains(QStringLiteral("p2.txt")));
    EXPECT_TRUE(heldAtFirstYield.isEmpty());
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.census(), before);
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
}

TEST_F(RotationRun, LeftoversThatCannotBeReturnedAreReportedAndThePlayersAreNotTouched) {
    writeFiles(w.music(), {"a.mp3", "same.txt"});
    writeFiles(w.player(), {"p.mp3"});
    QDir().mkpath(w.holding());
    writeFiles(w.holding(), {"held.mp3", "same.txt"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(
        boxes(),
        oneBox({.text = QStringLiteral(
                            "1 files from an earlier run could not be moved back to the Hard Drive "
                            "Music Directory %1. They are kept in %2. Nothing else has been done.")
                            .arg(w.music(), w.holding()),
                .title = QStringLiteral("Warning!"),
                .icon = MessageIcon::Warning}));
    EXPECT_EQ(w.yields, 0);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"same.txt"}));
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("held.mp3")));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
}

TEST_F(RotationRun, AHoldingFolderThatCannotBeListedStopsTheRunBeforeThePlayers) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    QDir().mkpath(w.holding());
    w.createFileSystem = [&] { return std::make_unique<UnlistableFolder>(w.holding()); };
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.pressSelect();

    EXPECT_EQ(boxes(),
              oneBox({.text = QStringLiteral("The holding folder %1 cannot be read, so files from "
                                             "an earlier run may be kept there. Nothing has been "
                                             "moved.")
                                  .arg(w.holding()),
                      .title = QStringLiteral("Warning!"),
                      .icon = MessageIcon::Warning}));
    EXPECT_EQ(w.yields, 0);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
}

TEST_F(RotationRun, ANameTakenInTheMusicFolderStopsTheRestoreAndTheKeptFilesAreReported) {
    writeFiles(w.music(), {"a.mp3", "m.txt"});
    writeFiles(w.player(), {"b.mp3", "m.txt", "z.txt"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.ownTemporaries().isEmpty());
    const QStringList kept = w.namesIn(w.holding());
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_TRUE(kept.contains(QStringLiteral("m.txt")));
    EXPECT_EQ(w.statusText(), summary(1) + "\r\n" + movingBack + "\r\n" + complete + "\r\n" +
                                  stillHeldLine(kept.size(), w.holding()));
    EXPECT_EQ(boxes(), oneBox({.text = stillHeldMessage(kept, w.holding()),
                               .title = QStringLiteral("Warning!"),
                               .icon = MessageIcon::Warning}));
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
}

TEST(KeptFilesWarning, NamesTheFirstFiveAndTheFolder) {
    EXPECT_EQ(stillHeldMessage({"a.mp3", "b.txt"}, "/h"),
              "2 files could not be moved back to the Hard Drive Music Directory and are kept in "
              "/h:\na.mp3\nb.txt");
    const QString many = stillHeldMessage({"1", "2", "3", "4", "5", "6"}, "/h");
    EXPECT_TRUE(many.startsWith("6 files could not"));
    EXPECT_TRUE(many.endsWith(":\n1\n2\n3\n4\n5\n..."));
    EXPECT_EQ(stillHeldLine(3, "/h"), "3 files could not be moved back and are kept in /h");
}

TEST_F(RotationRun, AFileSystemObjectThatCannotBeMadeEndsTheRunWithAMessage) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.createFileSystem = []() -> std::unique_ptr<FileSystemObject> {
        throw AppError(ErrorNumber::DeviceIO, "Fso", "Cannot create object");
    };
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.pressSelect();

    EXPECT_EQ(boxes(), oneBox({.text = QStringLiteral("The file system service could not be "
                                                      "started (Cannot create object). Nothing "
                                                      "has been moved."),
                               .title = QStringLiteral("ERROR"),
                               .icon = MessageIcon::Critical}));
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_FALSE(w.form->RunInProgress);
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
}

TEST_F(RotationRun, AnotherMoveErrorIsShownWithItsNumberThenTheSummaryAndTheRunGoesOn) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    for (const std::int32_t number : {70, -5}) {
        w.createFileSystem = [number] { return std::make_unique<FailingMoves>(2, number); };
        w.open();
        w.choose(w.music(), w.player(), w.card(), true, false);
        w.env.prompter->shown.clear();
        const FileCensus before = w.census();
        QString statusWhenShown;
        w.env.prompter->whileShown = [&](const MessageRequest&) {
            statusWhenShown = w.statusText();
        };

        w.pressSelect();

        EXPECT_EQ(boxes(),
                  oneBox({.text = number > 0 ? QStringLiteral("Error #  70; Fso File in use")
                                             : QStringLiteral("Error # -5; Fso File in use"),
                          .title = QStringLiteral("Error"),
                          .icon = MessageIcon::None}));
        EXPECT_TRUE(statusWhenShown.startsWith(QStringLiteral("Space remaining: ")));
        EXPECT_EQ(w.statusText(), summary(1) + "\r\n" + movingBack + "\r\n" + complete);
        EXPECT_EQ(w.census(), before);
        EXPECT_EQ(statusColour(*w.form), QColor(255, 255, 255));
    }
}

TEST_F(RotationRun, ANameTakenOnThePlayerMidFillIsAMoveErrorAndNothingIsReplaced) {
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();
    // Another program writes a file under the name the fill is about to move.
    w.onYield = [&](int n) {
        if (n == 1) {
            const QString name = w.statusText().section(QStringLiteral("Moving "), 1).chopped(3);
            writeFile(w.player() + QLatin1Char('/') + name, 7);
        }
    };

    w.pressSelect();

    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(boxes()[0].text.startsWith(QStringLiteral("Error #  58; Fso ")))
        << boxes()[0].text.toStdString();
    EXPECT_TRUE(w.statusText().startsWith(summary(0)));
    const FileCensus after = w.census();
    EXPECT_EQ(after.size(), before.size() + 1);
    for (const auto& file : before)
        EXPECT_EQ(after.count(file), before.count(file)) << file.first.toStdString();
}

TEST_F(RotationRun, OurStaleTemporariesAreRemovedFromTheFoldersTheRunTouches) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();
    QDir().mkpath(w.holding());
    for (const QString& folder : {w.music(), w.player(), w.holding()})
        writeFile(folder + QLatin1Char('/') + newOwnTemporaryName(), 100);
    ASSERT_EQ(w.ownTemporaries().size(), 3);

    w.pressSelect();

    EXPECT_TRUE(w.ownTemporaries().isEmpty());
    EXPECT_EQ(w.census(), before);
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
}

TEST_F(RotationRun, SelectStaysDisabledAndASecondRunCannotStartMidRun) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    writeFiles(w.card(), {"q.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, true);
    const FileCensus before = w.census();
    int yieldsSeenBySecondRun = 0;
    w.onYield = [&](int n) {
        // Whatever applies the Select rule mid-run, Select stays disabled.
        w.form->chk2->click();
        w.form->chk2->click();
        w.form->SetGoButton();
        EXPECT_FALSE(w.form->cmdGo->isEnabled()) << "at yield " << n;
        if (n == 2) {
            const int at = w.yields;
            w.form->cmdGo_Click();
            yieldsSeenBySecondRun = w.yields - at;
        }
    };

    w.pressSelect();

    EXPECT_EQ(yieldsSeenBySecondRun, 0);
    EXPECT_FALSE(w.selectEnabledAtAYield);
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.statusText().endsWith(complete));
    EXPECT_FALSE(w.form->RunInProgress);
}

// The clearing and the fill on their own, as the run calls them.
class RunSteps : public RotationRun {
protected:
    RunSteps() {
        w.open();
        w.form->Fso = createSystemFileSystem();
        QDir().mkpath(w.holding());
    }
};

TEST_F(RunSteps, ClearingMovesEveryFileWhateverItsTypeAndLeavesSubfolders) {
    writeFiles(w.player(), {"list.m3u", "cover.jpg"});
    QDir().mkpath(w.player() + QStringLiteral("/Albums"));
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.form->ClearPlayer(1);

    EXPECT_EQ(w.statusText(), QStringLiteral("Files moved to temporary directory..."));
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 0"));
    EXPECT_TRUE(w.namesIn(w.player()).isEmpty());
    EXPECT_TRUE(QFileInfo(w.player() + QStringLiteral("/Albums")).isDir());
    EXPECT_EQ(sorted(w.namesIn(w.holding())), QStringList({"cover.jpg", "list.m3u"}));
    EXPECT_EQ(w.yields, 1);
}

TEST_F(RunSteps, AnEmptyPlayerFolderIsLeftAloneWithoutLookingAtTheStopFlag) {
    w.choose(w.music(), w.player(), w.card(), true, true);
    w.form->txtStatus->setPlainText(QStringLiteral("earlier"));
    w.form->StopRequested = true;
    w.form->ClearPlayer(2);
    EXPECT_EQ(w.form->txtStatus->toPlainText(), QStringLiteral("earlier"));
    EXPECT_EQ(w.yields, 0);

    // A folder with files writes its message, and the stop flag then keeps its files in place.
    writeFiles(w.card(), {"c.mp3"});
    w.form->ClearPlayer(2);
    EXPECT_EQ(w.statusText(), QStringLiteral("Moving files from MP3 player's external card..."));
    EXPECT_EQ(w.namesIn(w.card()), QStringList({"c.mp3"}));
}

TEST_F(RunSteps, AClearingThatMeetsANameAlreadyHeldStopsAtThatFile) {
    writeFiles(w.holding(), {"b.mp3"});
    writeFiles(w.card(), {"a.mp3", "b.mp3", "c.mp3"});
    w.choose(w.music(), w.player(), w.card(), false, true);
    const FileCensus before = w.census();

    EXPECT_THROW(w.form->ClearPlayer(2), AppError);

    EXPECT_EQ(w.statusText(), QStringLiteral("Moving files from MP3 player's external card..."));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.namesIn(w.card()).contains(QStringLiteral("b.mp3")));
}

TEST_F(RunSteps, OnlyNamesEndingInAMusicExtensionOfAnyCaseAreCandidates) {
    writeFiles(w.music(), {"a.Mp3", "b.wma", "c.mp3x", "d.mp4", "emp3", "f.MP3", "g.WmA", "mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.form->FillPlayer(1);

    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.Mp3", "b.wma", "f.MP3", "g.WmA"}));
    EXPECT_EQ(w.statusText(), summary(4));
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 4"));
    EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 0"));
}

TEST_F(RunSteps, NoCandidatesMovesNothingAndReportsZero) {
    writeFiles(w.music(), {"readme.txt"});
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.form->FillPlayer(1);

    EXPECT_EQ(w.statusText(), summary(0));
    EXPECT_EQ(w.random->draws, 0);
    EXPECT_EQ(w.random->seeds, 1);
    EXPECT_EQ(w.yields, 0);
}

TEST_F(RunSteps, AMusicFolderThatCannotBeReadFailsBeforeTheFirstAttempt) {
    writeFiles(w.music(), {"a.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    ASSERT_TRUE(QDir(w.music()).removeRecursively());

    EXPECT_THROW(w.form->FillPlayer(1), AppError);
    EXPECT_EQ(w.statusText(), QStringLiteral("Randomly selecting files from the hard drive, and "
                                             "copying them to the MP3 Player..."));
    EXPECT_EQ(w.yields, 0);
    EXPECT_EQ(w.random->draws, 0);
}

} // namespace
