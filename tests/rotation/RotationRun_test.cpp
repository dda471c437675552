#include "app/Form1.h"
#include "app/WindowFace.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/OwnTemporaries.h"
#include "fs/SystemCalls.h"
#include "fs/SystemFileSystem.h"
#include "fs/SystemVolumes.h"
#include "rotation/ClearingReport.h"
#include "rotation/HeldFiles.h"
#include "rotation/HeldLibrary.h"
#include "rotation/LeftOutFiles.h"
#include "rotation/MusicRotation.h"
#include "rotation/RotationMemory.h"
#include "rotation/RunFace.h"
#include "rotation/RunLock.h"
#include "rotation/SongOrigins.h"
#include "rotation/StatusBox.h"
#include "rotation/VanishedFolders.h"
#include "support/FolderVolumes.h"
#include "support/ForwardingFileSystem.h"
#include "support/MessageBoxes.h"
#include "support/OwnStateFolder.h"
#include "support/RotationWindow.h"
#include "support/ScratchVolume.h"
#include "support/ScriptedPrompter.h"
#include "support/ScriptedRandom.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString identicalText = QStringLiteral("The source and destination paths are identical!");
const QString warningText =
    QStringLiteral("Warning! Files will be REMOVED from the Hard Drive Music Directory that you "
                   "specified. Do you wish to continue?");
const QString complete = QStringLiteral("Program processing complete");
const QString movingBack = QStringLiteral("Moving original files back to base directory...");

const QString clearingMemory = QStringLiteral("Moving files from MP3 player's internal memory...");
const QString clearingCard = QStringLiteral("Moving files from MP3 player's external card...");
const QString aborted = QStringLiteral("Processing aborted");
// What a test writes into the status box to see that a run left it alone.
const QString earlier = QStringLiteral("earlier");

QString summary(int moved) {
    return QStringLiteral(" %1 files were moved to the MP3 player.").arg(moved);
}

// The status of a run that held files and returned them.
QString completed(int moved) {
    return summary(moved) + "\r\n" + movingBack + "\r\n" + complete;
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

// Hands every call to the real file-system object, except that the chosen single-file move fails
// with the given error number, as a file held open by another program would.
class FailingMoves : public ForwardingFileSystem {
public:
    // failedSource, when given, receives the source of the move that failed.
    FailingMoves(int failAt, std::int32_t number, QString* failedSource = nullptr)
        : m_failAt(failAt), m_number(number), m_failedSource(failedSource) {}

    void MoveFile(const QString& source, const QString& destination) override {
        if (!source.endsWith(QStringLiteral("*.*")) && ++m_singleMoves == m_failAt) {
            if (m_failedSource)
                *m_failedSource = source;
            throw AppError(m_number, QStringLiteral("Fso"), QStringLiteral("File in use"));
        }
        ForwardingFileSystem::MoveFile(source, destination);
    }

private:
    int m_failAt;
    std::int32_t m_number;
    QString* m_failedSource;
    int m_singleMoves = 0;
};

// The real system calls, except that "locked.mp3" cannot be opened, as a song without read
// permission (which a test running as root cannot otherwise have).
class UnreadableSong : public SystemCalls {
public:
    int open(const char* path, int flags, mode_t mode) override {
        if (QByteArray(path).endsWith("/locked.mp3")) {
            errno = EACCES;
            return -1;
        }
        return SystemCalls::open(path, flags, mode);
    }
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

// The run's warning box, with an OK button.
MessageRequest warningBox(const QString& text) {
    return {.text = text, .title = QStringLiteral("Warning!"), .icon = MessageIcon::Warning};
}

// What boxes() holds when exactly this one box was shown.
std::vector<MessageRequest> oneBox(const MessageRequest& only) {
    return {only};
}

std::vector<MessageRequest> oneWarning(const QString& text) {
    return oneBox(warningBox(text));
}

// ... when that box was the run's error, with an OK button.
std::vector<MessageRequest> oneError(const QString& text) {
    return oneBox({.text = text, .title = QStringLiteral("ERROR"), .icon = MessageIcon::Critical});
}

// A face without a window, as a console's would be: the folders and ticks it was given, the status
// as text, message boxes through a scripted prompter, and a count of its yields.
class PlainFace : public RunFace {
public:
    void replaceStatus(const QString& text) override { status = text; }
    void appendStatus(const QString& message) override { status += "\r\n" + message; }
    void showStatus() override {}
    void appendRunEnd(const QStringList& lines) override {
        for (const QString& line : lines)
            appendStatus(line);
    }
    QString statusText() const override { return status; }
    void setStatusColour(const QColor&) override {}
    void repaint() override {}
    QObject* paintedWindow() override { return nullptr; }
    QString musicFolder() const override { return music; }
    QString playerFolder(std::uint8_t which) const override { return players[which - 1]; }
    bool playerTicked(std::uint8_t which) const override { return ticked[which - 1]; }
    QString playerDrive(std::uint8_t) const override { return drive; }
    // Its folders are given; none waits for its drive.
    void openPlayerDrive(std::uint8_t, const QString&) override {}
    bool doNotWarn() const override { return false; }
    void refreshMusicPane() override {}
    void refreshPlayerPane(std::uint8_t) override {}
    void runStateChanged() override {}
    MessageAnswer ask(const MessageRequest& request) override { return prompter.ask(request); }
    void yieldEvents() override { ++yields; }

    QString drive, music, players[2];
    bool ticked[2] = {true, false};
    QString status;
    ScriptedPrompter prompter;
    int yields = 0;
};

class RotationRun : public testing::Test {
protected:
    RotationWindow w;
    const std::vector<MessageRequest>& boxes() const { return w.env.prompter->shown; }

    // A folder "Music" on the volume, made a drive the panes can open.
    QString musicFolderOn(const ScratchVolume& volume) {
        w.addDrive(volume.root());
        QString folder = volume.root() + QStringLiteral("/Music");
        EXPECT_TRUE(QDir().mkpath(folder));
        return folder;
    }
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
    EXPECT_EQ(w.statusText(), completed(0));
    EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 2"));
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 3"));
    EXPECT_EQ(w.form->txtOp2Tot->text(), QStringLiteral("Total: 0"));
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 255));
    EXPECT_TRUE(w.form->txtStatus->isVisible());
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
    EXPECT_FALSE(w.selectEnabledAtAYield);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.random->seeds, 2);

    // One yield per cleared folder, then one per attempt of the fill.
    ASSERT_EQ(statusAtYield.size(), 5);
    EXPECT_EQ(statusAtYield[0], clearingMemory);
    EXPECT_EQ(statusAtYield[1], clearingCard);
    const QRegularExpression line(
        QStringLiteral("^Space remaining:  \\d+MB\r\nMoving (a\\.mp3|b\\.mp3|c\\.WMA)\\.\\.\\.$"));
    for (int i = 2; i < 5; ++i)
        EXPECT_TRUE(line.match(statusAtYield[i]).hasMatch()) << statusAtYield[i].toStdString();
}

TEST(RunBelowItsFaces, AFaceWithoutAWindowGetsTheWholeRun) {
    const QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    PlainFace face;
    face.drive = tmp.path();
    face.music = tmp.path() + QStringLiteral("/Music");
    face.players[0] = tmp.path() + QStringLiteral("/Player");
    face.players[1] = tmp.path() + QStringLiteral("/Card");
    const QString holding = tmp.path() + QStringLiteral("/QUAVEXTemp");
    for (const QString& folder : {face.music, face.players[0], face.players[1]})
        ASSERT_TRUE(QDir().mkpath(folder));
    writeFiles(face.music, {"a.mp3", "b.wma"});
    writeFiles(face.players[0], {"old.mp3"});
    auto volumes = std::make_shared<FolderVolumes>();
    volumes->add(face.drive);
    MusicRotation run(
        face, {volumes, createSystemFileSystem, std::make_shared<ScriptedRandom>(), holding});
    const FileCensus before = censusOf({face.music, face.players[0], holding});

    run.Go();

    EXPECT_EQ(censusOf({face.music, face.players[0], holding}), before);
    EXPECT_EQ(namesInFolder(face.players[0]), QStringList({"QUAVEX.origins", "a.mp3", "b.wma"}));
    EXPECT_EQ(namesInFolder(face.music), QStringList({"old.mp3"}));
    EXPECT_EQ(face.statusText(), completed(2));
    EXPECT_EQ(face.prompter.shown.size(), 1u);
    EXPECT_EQ(face.prompter.shown.front().text, warningText);
    // One for the clearing, one per attempt of the fill.
    EXPECT_EQ(face.yields, 3);
    EXPECT_FALSE(run.RunInProgress);
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
    EXPECT_EQ(w.statusText(), completed(1));
    // The list keeps the name's bytes and shows the ones that are not text as U+FFFD.
    ASSERT_EQ(w.form->flIp->ListCount(), 1);
    EXPECT_EQ(w.form->flIp->List(0), latin1);
    EXPECT_EQ(w.form->flIp->model()->index(0, 0).data().toString(), QStringLiteral("b\uFFFD.mp3"));
}

// The internal memory is the whole drive, the card's folder one below its drive's root.
TEST_F(RotationRun, AnUnpluggedPlayerIsRefusedAndItsBareMountPointReceivesNothing) {
    ScratchVolume internal = ScratchVolume::exfat(8);
    ScratchVolume card = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(internal);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.volumes = std::make_shared<SystemVolumeProvider>();
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(internal.root(), {"old.mp3"});
    const QString cardMusic = card.root() + QStringLiteral("/Music");
    ASSERT_TRUE(QDir().mkpath(cardMusic));
    writeFiles(cardMusic, {"card.mp3"});
    w.choose(w.music(), internal.root(), cardMusic, true, true);
    internal.unmount();
    card.unmount();
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_TRUE(namesInFolder(internal.root()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(cardMusic));
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(
        boxes(),
        (std::vector<MessageRequest>{
            warningBox(QStringLiteral("The player \"%1\" is not plugged in (its drive is not "
                                      "mounted). Plug it in and press Select again. Nothing "
                                      "was moved to or from it.")
                           .arg(internal.root())),
            warningBox(QStringLiteral("The player \"%1\" is not plugged in (its drive %2 is not "
                                      "mounted). Plug it in and press Select again. Nothing "
                                      "was moved to or from it.")
                           .arg(cardMusic, card.root()))}));
    // Not a completion: the line says why, and the box keeps the colour of a run that fell short.
    EXPECT_EQ(w.statusText(),
              QStringLiteral("No player folder was filled: the player is not plugged in"));
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0));
}

// Removable drives take the first free mount point: the card there now is another one.
TEST_F(RotationRun, AnotherVolumeWhereThePlayerWasIsClearedOnlyWhenTheUserSaysSo) {
    ScratchVolume player = ScratchVolume::exfat(8);
    ScratchVolume backup = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(player);
    QUAVEX_REQUIRE_MOUNTED(backup);
    w.volumes = std::make_shared<SystemVolumeProvider>();
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(backup.root(), {"backup.txt"});
    w.choose(w.music(), player.root(), w.card(), true, false);
    const QString chosen = w.volumes->identityOf(player.root());
    const QString other = w.volumes->identityOf(backup.root());
    ASSERT_FALSE(chosen.isEmpty());
    ASSERT_NE(chosen, other);
    ASSERT_EQ(::mount(encodeFileName(backup.root()).constData(),
                      encodeFileName(player.root()).constData(), nullptr, MS_BIND, nullptr),
              0);
    const FileCensus before = w.census();

    w.pressSelect();

    const MessageRequest question{
        QStringLiteral("The drive %1 holds another volume than the one the player folder \"%1\" "
                       "was chosen on (%2 then, %3 now): perhaps another player or a backup "
                       "drive. Move its files to the temporary directory and fill it with music "
                       "all the same?")
            .arg(player.root(), chosen, other),
        QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::No};
    EXPECT_EQ(boxes(), oneBox(question));
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(player.root()), QStringList({"backup.txt"}));

    // So for a player the pane waited for since start: opening its drive chooses nothing, and
    // only its saved folder is its, never the root the pane falls back to.
    const QString savedFolder = player.root() + QStringLiteral("/Music");
    w.form->awaitPlayer(1, player.root(), savedFolder);
    w.env.prompter->shown.clear();
    w.pressSelect();
    EXPECT_EQ(boxes(), oneWarning(QStringLiteral("The player folder \"%1\" does not exist any "
                                                 "more: it was deleted or renamed after it was "
                                                 "opened. The run leaves it out. Nothing was "
                                                 "moved to or from it.")
                                      .arg(savedFolder)));
    w.form->awaitPlayer(1, player.root(), player.root());
    w.env.prompter->shown.clear();
    w.pressSelect();
    EXPECT_EQ(boxes(), oneBox(question));
    EXPECT_EQ(w.census(), before);

    w.env.prompter->answers = {MessageAnswer::Yes};
    w.pressSelect();
    EXPECT_EQ(w.namesIn(player.root()), QStringList({"a.mp3"}));
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("backup.txt")));
    // Once said, it is the pane's player.
    EXPECT_EQ(w.form->run().Players[0].volume, other);
    EXPECT_EQ(::umount2(encodeFileName(player.root()).constData(), 0), 0);
}

// A folder a run would empty of the user's own files is never a player's.
TEST_F(RotationRun, TheHomeFolderIsRefusedAsAPlayerFolder) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(w.player()));
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"letter.txt"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();
    qputenv("HOME", home);

    EXPECT_EQ(boxes(),
              oneWarning(QStringLiteral("The player folder \"%1\" is your home folder, not a "
                                        "folder of a player: a run would move every file in it to "
                                        "the temporary directory. Choose the player's folder and "
                                        "press Select again. Nothing was moved to or from it.")
                             .arg(w.player())));
    EXPECT_EQ(w.census(), before);
}

TEST_F(RotationRun, APlayerFolderDeletedBeforeSelectIsLeftOutWithOneBox) {
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(w.card(), {"c.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, true);
    ASSERT_TRUE(QDir(w.player()).removeRecursively());
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(boxes(),
              oneWarning(QStringLiteral("The player folder \"%1\" does not exist any more: it "
                                        "was deleted or renamed after it was opened. The run "
                                        "leaves it out. Nothing was moved to or from it.")
                             .arg(w.player())));
    EXPECT_FALSE(QFileInfo::exists(w.player()));
    EXPECT_EQ(w.namesIn(w.card()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.statusText(),
              completed(2) + "\r\nThe internal memory was left out: the folder does not exist any "
                             "more.");
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 255));
}

// A drive unplugged mid-run: nothing lands anywhere else, and the user is told once, plainly,
// after the run's completion line too.
TEST(DriveUnpluggedMidRun, NothingLandsElsewhereAndTheRunSaysWhatReachedThePlayer) {
    struct Case {
        const char* what;
        bool musicOnTheCard; // else the player is the card's root folder
        int unplugAtYield;   // the clearing yields first, then each attempt of the fill
        int moved;
        QString said;
        // The line before: a player that was never filled makes the run say so, not complete.
        QString ended;
        // What the run says after it, once the held files went back; empty when it says the same.
        QString closing;
    };
    const QString nothingFilled =
        QStringLiteral("No player folder was filled: the player was unplugged during the run");
    const Case cases[] = {
        {"player during its clearing", false, 1, 0,
         "The player \"%1\" was unplugged during the run: 0 of its files were moved to the "
         "temporary directory, the rest are still on the player.",
         nothingFilled,
         "The player \"%1\" was unplugged during the run: its files are still on it."},
        // The fill's first three moves still wait to settle together when the player goes.
        {"player during its fill",
         false,
         5,
         0,
         "The player \"%1\" was unplugged during the run: 0 files reached it, the rest are still "
         "in the Hard Drive Music Directory.",
         complete,
         {}},
        {"music drive during the fill",
         true,
         2,
         1,
         "The Hard Drive Music Directory \"%2\" went away during the run (its drive may have been "
         "unplugged): 1 file reached the player, the rest are still in that folder.",
         complete,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RotationWindow w;
        ScratchVolume card = ScratchVolume::exfat(16);
        QUAVEX_REQUIRE_MOUNTED(card);
        w.volumes = std::make_shared<SystemVolumeProvider>();
        const QString music = c.musicOnTheCard ? card.root() + QStringLiteral("/Music") : w.music();
        const QString player = c.musicOnTheCard ? w.player() : card.root();
        ASSERT_TRUE(QDir().mkpath(music));
        writeFiles(music, {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3", "6.mp3", "7.mp3"});
        // The player holds a file to clear where the card is the player.
        if (!c.musicOnTheCard)
            writeFiles(player, {"old.mp3"});
        w.onYield = [&](int n) {
            if (n == c.unplugAtYield)
                card.unmount();
        };
        w.open();
        w.choose(music, player, w.card(), true, false);

        w.pressSelect();

        const auto placed = [&](const QString& text) {
            return QString(text).replace(QStringLiteral("%1"), player).replace("%2", music);
        };
        EXPECT_EQ(w.env.prompter->shown.size(), 1u);
        EXPECT_TRUE(!w.env.prompter->shown.empty() &&
                    w.env.prompter->shown[0].text == placed(c.said));
        EXPECT_TRUE(w.statusText().endsWith(c.ended + QStringLiteral("\r\n") +
                                            placed(c.closing.isEmpty() ? c.said : c.closing)))
            << w.statusText().toStdString();
        // The bare mount point received nothing, and no file is anywhere but where it was or
        // where it was sent.
        EXPECT_TRUE(w.namesIn(card.root()).isEmpty());
        EXPECT_TRUE(w.ownTemporaries().isEmpty());
        if (c.musicOnTheCard)
            EXPECT_EQ(w.namesIn(player).size(), c.moved);
        else
            EXPECT_EQ(w.namesIn(music).size(), 7 - c.moved + (c.unplugAtYield > 1 ? 1 : 0));
        EXPECT_FALSE(QFileInfo::exists(w.holding()));
    }
}

TEST(DriveUnpluggedMidRun, ACardUnpluggedAfterItsClearingIsNotSaidToBeUntouched) {
    RotationWindow w;
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.volumes = std::make_shared<SystemVolumeProvider>();
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(card.root(), {"old.mp3"});
    // Yields: the card's clearing, then the first fill's attempts; the card goes during those.
    w.onYield = [&](int n) {
        if (n == 2)
            card.unmount();
    };
    w.open();
    w.choose(w.music(), w.player(), card.root(), true, true);

    w.pressSelect();

    ASSERT_EQ(w.env.prompter->shown.size(), 1u);
    EXPECT_EQ(w.env.prompter->shown[0].text,
              QStringLiteral("The player \"%1\" is not plugged in (its drive is not mounted). Plug "
                             "it in and press Select again. Its files were moved to the temporary "
                             "directory before and go back to the Hard Drive Music Directory; no "
                             "music was moved to it.")
                  .arg(card.root()));
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("old.mp3")));
    EXPECT_TRUE(w.namesIn(card.root()).isEmpty());
}

TEST_F(RotationRun, DrawsRangeOverTheWholeListAndATriedSlotIsDrawnAgainUntilAFreshOne) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    // 0.9 -> c; 0.0 -> a; then 0.0 -> a again (tried), 0.99 -> c (tried), 0.5 -> b.
    w.random->fractions = {0.9, 0.0, 0.0, 0.99, 0.5};
    std::vector<QStringList> onThePlayer;
    w.onYield = [&](int) { onThePlayer.push_back(w.namesIn(w.player())); };

    w.pressSelect();

    // Each attempt yields before its move.
    EXPECT_EQ(onThePlayer, (std::vector<QStringList>{{}, {"c.mp3"}, {"a.mp3", "c.mp3"}}));
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
    w.form->txtStatus->setPlainText(earlier);

    for (const bool second : {false, true}) {
        w.env.prompter->shown.clear();
        w.choose(w.music(), second ? w.player() : shouting, second ? shouting : w.card(), true,
                 second);
        const FileCensus before = w.census();
        w.pressSelect();

        EXPECT_EQ(boxes(), oneError(identicalText));
        EXPECT_EQ(w.census(), before);
        EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
        EXPECT_FALSE(QFileInfo::exists(w.holding()));
        EXPECT_EQ(w.form->txtStatus->toPlainText(), earlier);
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
    // The unticked pane on the music folder shows it as it is now.
    ASSERT_EQ(w.form->flOP2->ListCount(), 1);
    EXPECT_EQ(w.form->flOP2->List(0), QStringLiteral("p1.mp3"));

    // Both panes on the player folder, both ticked: the second clearing finds it empty.
    w.choose(w.music(), w.player(), w.player(), true, true);
    w.pressSelect();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p1.mp3"}));
    EXPECT_EQ(w.namesIn(w.music()), QStringList({"a.mp3", "b.mp3", "p2.txt"}));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_EQ(w.statusText(), completed(0));
}

TEST_F(RotationRun, TheWarningAsksFirstAndADeclinedWarningTouchesNothing) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false, false);
    w.form->txtStatus->setPlainText(earlier);
    w.form->face().setStatusColour(QColor(255, 255, 0));
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
    EXPECT_EQ(w.form->txtStatus->toPlainText(), earlier);
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0));
    EXPECT_TRUE(w.form->cmdGo->isEnabled());

    // Yes (the default) runs, and the box turns white again.
    w.pressSelect();
    EXPECT_EQ(boxes(), (std::vector<MessageRequest>{warning, warning}));
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3"}));
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 255));
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
    EXPECT_EQ(statusAtYield[1], clearingCard);
    EXPECT_TRUE(statusAtYield[2].startsWith(QStringLiteral("Space remaining: ")));
    EXPECT_EQ(w.statusText(), aborted);
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

    EXPECT_EQ(w.statusText(), aborted + "\r\nThe player's previous files are waiting in " +
                                  w.holding() +
                                  "; the next run moves them into the Hard Drive Music Directory.");
    EXPECT_EQ(w.namesIn(w.player()).size(), 1);
    EXPECT_EQ(sorted(w.namesIn(w.holding())), QStringList({"p1.mp3", "p2.txt"}));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.form->cmdGo->isEnabled());

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

TEST_F(RotationRun, HeldFilesGoBackToTheMusicFolderOfTheRunThatHeldThem) {
    const QString other = w.music() + QStringLiteral(" B");
    ASSERT_TRUE(QDir().mkpath(other));
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(other, {"x.mp3", "y.mp3"});
    // Break at the first attempt of the next run, after its clearing.
    const auto breakAtTheFirstAttempt = [&] {
        w.onYield = [&, first = w.yields + 1](int n) {
            if (n == first + 1)
                w.form->cmdBreak->click();
        };
    };

    // Stopped in a run from the first music folder, then run from the second.
    writeFiles(w.player(), {"p1.mp3", "p2.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    breakAtTheFirstAttempt();
    w.pressSelect();
    w.choose(other, w.player(), w.card(), true, false);
    w.onYield = {};
    w.pressSelect();
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("p1.mp3")));
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("p2.mp3")));
    EXPECT_TRUE(w.statusText().endsWith(
        complete + QStringLiteral("\r\n2 files from an earlier run went back to their own Hard "
                                  "Drive Music Directory %1")
                       .arg(w.music())))
        << w.statusText().toStdString();

    // Stopped in a run from the second, whose folder is then gone: they stay held, said so.
    writeFiles(other, {"z.mp3"});
    Form1::RefreshTotal(w.form->flIp, w.form->txtIpTot);
    w.form->SetGoButton();
    breakAtTheFirstAttempt();
    w.pressSelect();
    const QStringList held = w.namesIn(w.holding());
    ASSERT_FALSE(held.isEmpty());
    ASSERT_TRUE(QDir().rename(other, other + QStringLiteral(" moved")));
    w.choose(w.music(), w.player(), w.card(), true, false);
    w.onYield = {};
    const QStringList onThePlayer = w.namesIn(w.player());
    w.pressSelect();
    EXPECT_EQ(boxes(), oneWarning(QStringLiteral("%1 files from an earlier run belong to the "
                                                 "Hard Drive Music Directory %2, which is "
                                                 "not there now. They are kept in the "
                                                 "temporary directory %3. Nothing else has "
                                                 "been done.")
                                      .arg(held.size())
                                      .arg(other, w.holding())));
    EXPECT_EQ(w.namesIn(w.holding()), held);
    EXPECT_EQ(w.namesIn(w.player()), onThePlayer);
}

// Two people share one card, each with an account of their own (a window, a state folder and a
// holding folder): whoever clears the card, each song goes back to the music folder it came
// from, also when a run was stopped while it held them.
TEST_F(RotationRun, TwoMusicFoldersSharingOneCardNeverCrossTheirSongs) {
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    const QString onCard = musicFolderOn(card);
    RotationWindow bee;
    bee.addDrive(card.root());
    const QTemporaryDir beeState;
    const auto pressAsBee = [&] {
        OwnStateFolder::asUserOf(beeState.path(), [&] { bee.pressSelect(); });
    };
    writeFiles(w.music(), {"a1.mp3", "Caf\u00e9 2.mp3", "a3.wma"});
    writeFiles(bee.music(), {"b1.mp3", "b2.mp3"});
    const FileCensus before = censusOf({w.music(), bee.music(), onCard});
    const QStringList aSongs = w.namesIn(w.music());

    // The card's record says where each song came from; the pane does not list it.
    w.choose(w.music(), onCard, w.card(), true, false);
    w.pressSelect();
    EXPECT_EQ(w.namesIn(onCard), aSongs);
    EXPECT_EQ(readTestFile(onCard + "/QUAVEX.origins"),
              QStringLiteral("QUAVEX song origins 1\nCaf%C3%A9 2.mp3\t%1\na1.mp3\t%1\na3.wma\t%1\n")
                  .arg(w.music())
                  .toUtf8());
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 3"));

    // The other's run is stopped while it holds the first one's songs; its next run returns them.
    bee.choose(bee.music(), onCard, bee.card(), true, false);
    bee.onYield = [&](int n) {
        if (n == 2) // the clearing, then the first attempt of the fill
            bee.form->cmdBreak->click();
    };
    pressAsBee();
    ASSERT_EQ(bee.namesIn(bee.holding()), aSongs);
    bee.onYield = {};
    pressAsBee();
    EXPECT_EQ(bee.statusText(), summary(2) + "\r\n" + complete +
                                    "\r\n3 files from an earlier run went back to " +
                                    "their own Hard Drive Music Directory " + w.music());
    EXPECT_EQ(w.namesIn(w.music()), aSongs);
    EXPECT_EQ(w.namesIn(onCard), QStringList({"b1.mp3", "b2.mp3"}));

    // The first one's next run returns the other's songs to the other's music folder, where they
    // count as out in that library's memory.
    Form1::RefreshTotal(w.form->flIp, w.form->txtIpTot);
    w.form->SetGoButton();
    w.pressSelect();
    EXPECT_EQ(w.statusText(), completed(3) +
                                  "\r\n2 files went back to their own Hard Drive Music Directory " +
                                  bee.music());
    EXPECT_EQ(w.namesIn(bee.music()), QStringList({"b1.mp3", "b2.mp3"}));
    EXPECT_EQ(w.namesIn(onCard), aSongs);
    EXPECT_TRUE(w.namesIn(w.music()).isEmpty());
    EXPECT_EQ(RotationMemory(bee.music()).outCount(), 2u);
    EXPECT_EQ(censusOf({w.music(), bee.music(), onCard}), before);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(bee.env.prompter->shown.empty());
}

// A song without a line of its own came with the fill that had begun when a kill stopped it; a
// recorded music folder that is gone, refuses the song or is a path of another system is passed
// over for the run's music folder.
TEST_F(RotationRun, ASongGoesHomeOnlyToItsOwnMusicFolderThatIsThereAndTakesIt) {
    ScratchVolume card = ScratchVolume::exfat(16);
    ScratchVolume closed = ScratchVolume::tmpfs(256);
    QUAVEX_REQUIRE_MOUNTED(card);
    QUAVEX_REQUIRE_MOUNTED(closed);
    ASSERT_TRUE(closed.makeReadOnly());
    const QString onCard = musicFolderOn(card);
    const QString home = w.music() + QStringLiteral(" A");
    ASSERT_TRUE(QDir().mkpath(home));
    writeFiles(onCard, {"killed.mp3", "gone.mp3", "closed.mp3", "windows.mp3"});
    writeTestFile(onCard + "/QUAVEX.origins", "QUAVEX song origins 1\n\t" + home.toUtf8() +
                                                  "\ngone.mp3\t/nowhere/Music\nclosed.mp3\t" +
                                                  closed.root().toUtf8() +
                                                  "\nwindows.mp3\tE:%5CMusic\n");
    writeFiles(w.music(), {"new.mp3"});
    w.choose(w.music(), onCard, w.card(), true, false);

    w.pressSelect();

    EXPECT_EQ(w.namesIn(home), QStringList({"killed.mp3"}));
    EXPECT_EQ(w.namesIn(w.music()), QStringList({"closed.mp3", "gone.mp3", "windows.mp3"}));
    EXPECT_EQ(w.statusText(),
              completed(1) + "\r\n1 file went back to its own Hard Drive Music Directory " + home);
    EXPECT_EQ(readTestFile(onCard + "/QUAVEX.origins"),
              QStringLiteral("QUAVEX song origins 1\nnew.mp3\t%1\n").arg(w.music()).toUtf8());
    EXPECT_TRUE(boxes().empty());
}

// A file of the record's name that is none of ours is never replaced, nor moved; the run goes on
// as without a record.
TEST_F(RotationRun, AFileOfTheRecordsNameThatIsNoRecordIsLeftAsItIs) {
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    const QString onCard = musicFolderOn(card);
    writeTestFile(onCard + "/QUAVEX.origins", "my own notes");
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(onCard, {"p.mp3"});
    w.choose(w.music(), onCard, w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(w.statusText(), completed(2));
    EXPECT_EQ(w.namesIn(onCard), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.ownTemporaries().isEmpty());
    EXPECT_EQ(readTestFile(onCard + "/QUAVEX.origins"), "my own notes");
    EXPECT_TRUE(boxes().empty());
}

// The fill's last record cannot be written on a card it has filled to the last byte: the line
// written before its first move, that a fill from the music folder has begun, stands for its songs.
TEST_F(RotationRun, ACardFilledToTheLastByteStillKnowsWhereItsSongsCameFrom) {
    ScratchVolume card = ScratchVolume::tmpfs(256);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.addDrive(card.root());
    // Three songs and the record's page fill the card.
    for (const char* name : {"a1.mp3", "a2.mp3", "a3.mp3", "a4.mp3"})
        writeFile(w.music() + "/" + name, 84 * KiB);
    const QString other = w.music() + QStringLiteral(" B");
    ASSERT_TRUE(QDir().mkpath(other));
    writeFiles(other, {"b.mp3"});
    w.choose(w.music(), card.root(), w.card(), true, false);
    w.pressSelect();
    ASSERT_EQ(w.namesIn(card.root()).size(), 3);
    EXPECT_EQ(readTestFile(card.root() + "/QUAVEX.origins"),
              "QUAVEX song origins 1\n\t" + w.music().toUtf8() + "\n");
    EXPECT_TRUE(w.ownTemporaries().isEmpty());

    w.choose(other, card.root(), w.card(), true, false);
    w.pressSelect();

    EXPECT_EQ(w.namesIn(w.music()).size(), 4);
    EXPECT_EQ(w.namesIn(card.root()), QStringList({"b.mp3"}));
    EXPECT_EQ(w.statusText(), completed(1) +
                                  "\r\n3 files went back to their own Hard Drive Music Directory " +
                                  w.music());
}

TEST_F(RotationRun, WhatIsNotAFileInTheHoldingFolderIsNamedWithWhereItIs) {
    writeFiles(w.music(), {"a.mp3"});
    ASSERT_TRUE(QDir().mkpath(w.holding() + QStringLiteral("/sub")));
    writeFiles(w.holding() + QStringLiteral("/sub"), {"deep.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.pressSelect();

    EXPECT_TRUE(w.statusText().endsWith(
        complete + QStringLiteral("\r\n1 item in the temporary directory %1 is not a file and "
                                  "stayed there: sub")
                       .arg(w.holding())))
        << w.statusText().toStdString();
    EXPECT_TRUE(QFileInfo::exists(w.holding() + QStringLiteral("/sub/deep.mp3")));
}

// Held by a run of ours with music in subfolders, since turned off: they still go back.
TEST_F(RotationRun, FilesOurRunHeldInSubfoldersGoBackWhenTheOptionIsOff) {
    writeFiles(w.music(), {"a.mp3"});
    ASSERT_TRUE(QDir().mkpath(w.holding() + QStringLiteral("/Album")));
    writeFiles(w.holding() + QStringLiteral("/Album"), {"deep.mp3"});
    ASSERT_TRUE(recordHeldFilesLibrary(*createSystemFileSystem(), w.holding(), w.music()));
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.pressSelect();

    EXPECT_TRUE(QFileInfo::exists(w.music() + QStringLiteral("/Album/deep.mp3")));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_FALSE(heldFilesLibrary(*createSystemFileSystem(), w.holding()));
}

// A run that can neither make nor read its holding folder, or cannot start the file system
// service, says why in one box before the first yield and leaves every file where it was.
TEST(RunThatCannotStart, SaysWhyInOneBoxAndMovesNothing) {
    struct Case {
        const char* what;
        std::function<void(RotationWindow&)> arrange;
        std::vector<MessageRequest> (*box)(const QString&);
        QString said; // %1 is the holding folder
    };
    const Case cases[] = {
        {"holding folder cannot be made",
         [](RotationWindow& w) { writeTestFile(w.holding(), "a file where the folder belongs"); },
         oneError,
         "The temporary directory %1 cannot be used. The folder \"%1\" could not be made: a file "
         "of that name is in the way. Nothing has been moved."},
        {"holding folder cannot be listed",
         [](RotationWindow& w) {
             QDir().mkpath(w.holding());
             w.createFileSystem = [&w] { return std::make_unique<UnlistableFolder>(w.holding()); };
         },
         oneWarning,
         "The temporary directory %1 cannot be read, so files from an earlier run may be kept "
         "there. "
         "Nothing has been moved."},
        {"file system service cannot start",
         [](RotationWindow& w) {
             w.createFileSystem = []() -> std::unique_ptr<FileSystemObject> {
                 throw AppError(ErrorNumber::DeviceIO, "Fso", "Cannot create object");
             };
         },
         oneError,
         "The file system service could not be started (Cannot create object). Nothing has been "
         "moved."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RotationWindow w;
        writeFiles(w.music(), {"a.mp3"});
        writeFiles(w.player(), {"p.mp3"});
        c.arrange(w);
        w.choose(w.music(), w.player(), w.card(), true, false);
        const FileCensus before = w.census();
        const bool held = QFileInfo::exists(w.holding());

        w.pressSelect();

        EXPECT_EQ(w.env.prompter->shown,
                  c.box(QString(c.said).replace(QStringLiteral("%1"), w.holding())));
        EXPECT_EQ(w.yields, 0);
        EXPECT_EQ(w.statusText(),
                  QStringLiteral("The run stopped before it touched the player folders."));
        EXPECT_EQ(w.census(), before);
        EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
        EXPECT_EQ(QFileInfo::exists(w.holding()), held);
        EXPECT_FALSE(w.form->run().RunInProgress);
        EXPECT_TRUE(w.form->cmdGo->isEnabled());
    }
}

TEST_F(RotationRun, LeftoversThatCannotBeReturnedAreReportedAndThePlayersAreNotTouched) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    QDir().mkpath(w.holding());
    writeFiles(w.holding(), {"held.mp3", "same.txt"});
    ASSERT_TRUE(recordHeldFilesLibrary(*createSystemFileSystem(), w.holding(), w.music()));
    w.createFileSystem = [] { return std::make_unique<FailingMoves>(2, ErrorNumber::DeviceIO); };
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(
        boxes(),
        oneWarning(
            QStringLiteral("1 file from an earlier run could not be moved back to the Hard Drive "
                           "Music Directory %1. It is kept in the temporary directory %2. Nothing "
                           "else has been done.")
                .arg(w.music(), w.holding())));
    EXPECT_EQ(w.yields, 0);
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"p.mp3"}));
    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"same.txt"}));
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("held.mp3")));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
}

TEST_F(RotationRun, AHeldFileThatCannotBeMovedStaysHeldWhileTheOthersGoBackAndIsReported) {
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"b.mp3", "m.txt", "z.txt"});
    // The fill's move is the first; m.txt is the second file the restore moves.
    w.createFileSystem = [] { return std::make_unique<FailingMoves>(3, ErrorNumber::DeviceIO); };
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.ownTemporaries().isEmpty());
    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"m.txt"}));
    EXPECT_EQ(w.namesIn(w.music()), QStringList({"b.mp3", "z.txt"}));
    EXPECT_EQ(w.statusText(), completed(1) + "\r\n" +
                                  "1 file could not be moved back and is kept in the temporary "
                                  "directory " +
                                  w.holding());
    EXPECT_EQ(boxes(), oneWarning("1 file could not be moved back to the Hard Drive Music "
                                  "Directory and is kept in the temporary directory " +
                                  w.holding() + ":\nm.txt"));
    EXPECT_TRUE(w.form->cmdGo->isEnabled());
}

// A music folder on an exFAT volume, as on a card reader: names clash in any letter case and
// FAT's characters are refused.
TEST_F(RotationRun, EveryHeldFileGoesBackAndAClashNeverBlocksTheNextRun) {
    ScratchVolume disk = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(disk);
    const QString music = musicFolderOn(disk);
    writeTestFile(music + "/Notes.TXT", "the music folder's notes");
    writeTestFile(music + "/notes (2).txt", "older notes");
    writeTestFile(music + "/cover.jpg", "one cover");
    writeTestFile(music + "/a.mp3", "music a");
    writeTestFile(w.player() + "/notes.txt", "the player's notes");
    writeTestFile(w.player() + "/cover.jpg", "one cover");
    writeTestFile(w.player() + "/CON.mp3", "a device name");
    writeTestFile(w.player() + "/what?.m3u", "a list");
    writeTestFile(w.player() + "/p.mp3", "player p");
    // An earlier version's run was killed after copying left.mp3 back but before deleting the
    // held copy; its record is beside the holding folder, and its NOTES.txt meets the music
    // folder's notes.
    QDir().mkpath(w.holding());
    writeTestFile(w.holding() + ".library", encodeFileName(music));
    writeTestFile(w.holding() + "/left.mp3", "left over");
    writeTestFile(music + "/left.mp3", "left over");
    writeTestFile(w.holding() + "/NOTES.txt", "the earlier run's notes");
    w.choose(music, w.player(), w.card(), true, false);
    std::multiset<QByteArray> contents;
    for (const auto& file : w.census())
        contents.insert(file.second);

    w.pressSelect();

    // Nothing lost: every content is still there, the two duplicates once only.
    std::multiset<QByteArray> after;
    for (const auto& file : w.census())
        after.insert(file.second);
    for (const char* copy : {"one cover", "left over"})
        contents.erase(
            contents.find(QCryptographicHash::hash(QByteArray(copy), QCryptographicHash::Sha256)));
    EXPECT_EQ(after, contents);
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_FALSE(QFileInfo::exists(w.holding() + ".library"));
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.mp3", "left.mp3"}));
    EXPECT_EQ(w.namesIn(music),
              QStringList({"CON_.mp3", "NOTES (3).txt", "Notes.TXT", "cover.jpg", "notes (2).txt",
                           "notes (4).txt", "p.mp3", "what_.m3u"}));
    EXPECT_EQ(readTestFile(music + "/NOTES (3).txt"), "the earlier run's notes");
    EXPECT_EQ(readTestFile(music + "/notes (4).txt"), "the player's notes");
    EXPECT_EQ(readTestFile(music + "/CON_.mp3"), "a device name");
    // The completion line comes right after the return's line; what the run adds follows it.
    EXPECT_EQ(w.statusText(), completed(2) + "\r\n" +
                                  "1 file from an earlier run went back to the Hard Drive Music "
                                  "Directory under a new name: NOTES (3).txt\r\n"
                                  "3 files went back to the Hard Drive Music Directory under new "
                                  "names: CON_.mp3, notes (4).txt, what_.m3u");
    // Without scrolling, the user sees that the run completed and the start of the next line.
    const QPlainTextEdit* box = w.form->txtStatus;
    EXPECT_EQ(box->cursorForPosition(QPoint(1, 1)).block().text(), complete);
    const QTextCursor next(box->document()->findBlockByNumber(3));
    EXPECT_LE(box->cursorRect(next).bottom(), box->viewport()->height());
    EXPECT_TRUE(boxes().empty());

    // The next run is not held up by anything the first one met.
    w.pressSelect();
    EXPECT_TRUE(w.statusText().endsWith(complete));
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"CON_.mp3", "p.mp3"}));
}

// The card is exFAT; its clearing meets a name the internal memory's clearing has just held.
TEST_F(RotationRun, AClearingThatEndsEarlyIsSaidAndTheRunGoesOn) {
    ScratchVolume volume = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(volume);
    const QString card = musicFolderOn(volume);
    writeFiles(w.music(), {"m.mp3"});
    writeTestFile(w.player() + "/same.mp3", "the internal memory's");
    writeTestFile(card + "/a.mp3", "card a");
    writeTestFile(card + "/same.mp3", "the card's");
    writeTestFile(card + "/z.mp3", "card z");
    w.choose(w.music(), w.player(), card, true, true);
    const FileCensus before = w.census();
    QString statusWhenWarned;
    w.env.prompter->whileShown = [&](const MessageRequest&) { statusWhenWarned = w.statusText(); };

    w.pressSelect();

    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(card), QStringList({"same.mp3", "z.mp3"}));
    EXPECT_EQ(w.namesIn(w.player()), QStringList({"m.mp3"}));
    ASSERT_EQ(boxes().size(), 1u);
    const QString reason = boxes()[0].text.section(QLatin1Char('\n'), 1, 1);
    EXPECT_TRUE(reason.contains(QStringLiteral("same.mp3"))) << reason.toStdString();
    EXPECT_EQ(boxes()[0],
              warningBox("The MP3 player folder " + card + " could not be cleared completely.\n" +
                         reason + "\n\n1 of its files is now in the temporary directory " +
                         w.holding() +
                         ", and 2 are still on the player. The run goes on, and new music is "
                         "added beside the files still there."));
    const QString uncleared = "The MP3 player folder " + card +
                              " was not cleared completely: 1 file in the temporary directory, 2 "
                              "files still on the player";
    EXPECT_TRUE(statusWhenWarned.endsWith(uncleared));
    // Once the run is over, the held file is back in the music folder.
    EXPECT_EQ(w.statusText(), completed(0) + "\r\nThe MP3 player folder " + card +
                                  " was not cleared completely: 2 files are still on the player; 1 "
                                  "of its files went back to the Hard Drive Music Directory. "
                                  "\"same.mp3\" could not be moved to \"" +
                                  w.holding() + "\": a file of that name already exists.");
}

// The same clearing, but the held file of the card cannot go back: it is said to be held.
TEST_F(RotationRun, AFileOfAClearingThatEndedEarlyIsNeverSaidToHaveGoneBackWhileItStaysHeld) {
    ScratchVolume volume = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(volume);
    const QString card = musicFolderOn(volume);
    writeFiles(w.music(), {"m.mp3"});
    writeFiles(w.player(), {"same.mp3"});
    writeFiles(card, {"a.mp3", "same.mp3", "z.mp3"});
    // The first move is the fill's, the second the return of the card's a.mp3.
    w.createFileSystem = [] { return std::make_unique<FailingMoves>(2, ErrorNumber::DeviceIO); };
    w.choose(w.music(), w.player(), card, true, true);

    w.pressSelect();

    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"a.mp3"}));
    EXPECT_TRUE(w.statusText().contains("The MP3 player folder " + card +
                                        " was not cleared completely: 1 file in the temporary "
                                        "directory, 2 files still on the player. "))
        << w.statusText().toStdString();
}

// Two copies of the program share one holding folder.
TEST_F(RotationRun, OneRunAtATimeAcrossCopiesAndALockLeftByADeadCopyIsTakenOver) {
    RotationWindow other;
    other.shareHoldingFolder(w.holding());
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(w.player(), {"p1.mp3", "p2.txt"});
    writeFiles(other.music(), {"x.mp3"});
    writeFiles(other.player(), {"q.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    other.choose(other.music(), other.player(), other.card(), true, false);
    const QString lockFile = RunLock::path();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(lockFile).path()));
    QByteArray lock;
    {
        QLockFile live(lockFile);
        ASSERT_TRUE(live.tryLock(0));
        lock = readTestFile(lockFile);
    }
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 deadPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    writeTestFile(lockFile, QByteArray::number(deadPid) + lock.mid(lock.indexOf('\n')));
    const FileCensus before = w.census();
    const FileCensus otherBefore = censusOf({other.music(), other.player()});
    QStringList heldBeforeOther;
    QStringList heldAfterOther;
    FileCensus otherDuring;
    w.onYield = [&](int n) {
        if (n != 2) // the first attempt of the fill: the player's files are held
            return;
        heldBeforeOther = w.namesIn(w.holding());
        other.pressSelect();
        heldAfterOther = w.namesIn(w.holding());
        otherDuring = censusOf({other.music(), other.player()});
    };

    w.pressSelect();

    EXPECT_EQ(other.env.prompter->shown,
              oneWarning(QStringLiteral("Another copy of QUAVEX is in the middle of a run. "
                                        "Wait for its run to end, then press Select again. "
                                        "Nothing has been moved.")));
    EXPECT_EQ(heldBeforeOther, QStringList({"p1.mp3", "p2.txt"}));
    EXPECT_EQ(heldAfterOther, heldBeforeOther);
    EXPECT_EQ(otherDuring, otherBefore);
    EXPECT_TRUE(other.form->cmdGo->isEnabled());
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(w.statusText().endsWith(complete));
    EXPECT_EQ(w.census(), before);
    EXPECT_FALSE(QFileInfo::exists(lockFile));

    // Once the first run has ended, the other copy runs.
    other.pressSelect();
    EXPECT_TRUE(other.statusText().endsWith(complete));
    EXPECT_EQ(other.namesIn(other.player()), QStringList({"x.mp3"}));
    EXPECT_EQ(censusOf({other.music(), other.player()}), otherBefore);
}

// Two users of one computer share one holding folder, each with a state folder of their own.
TEST_F(RotationRun, AnotherUsersHeldFilesStayHeldAndTwoUsersNeverRunOnOneHoldingFolder) {
    RotationWindow other;
    other.shareHoldingFolder(w.holding());
    const QTemporaryDir otherState;
    const auto pressAsOther = [&] {
        OwnStateFolder::asUserOf(otherState.path(), [&] { other.pressSelect(); });
    };
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(w.player(), {"p1.mp3", "p2.mp3"});
    writeFiles(other.music(), {"x.mp3"});
    writeFiles(other.player(), {"q.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    other.choose(other.music(), other.player(), other.card(), true, false);
    const FileCensus before = w.census();
    const FileCensus otherBefore = censusOf({other.music(), other.player()});
    // Stopped before it held anything, the other user's run keeps no claim on the folder.
    other.onYield = [&](int) { other.form->cmdBreak->click(); };
    pressAsOther();
    other.onYield = {};
    ASSERT_EQ(censusOf({other.music(), other.player()}), otherBefore);
    w.onYield = [&](int n) {
        if (n != 2) // the first attempt of the fill: the player's files are held
            return;
        pressAsOther();
        w.form->cmdBreak->click();
    };

    w.pressSelect();

    EXPECT_EQ(other.env.prompter->shown,
              oneWarning(QStringLiteral("The temporary directory %1 is in use by a run of QUAVEX "
                                        "of another user of this computer. Wait until its run "
                                        "has ended, then press Select again. Nothing has been "
                                        "moved.")
                             .arg(w.holding())));
    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"p1.mp3", "p2.mp3"}));

    // The files this user's stopped run holds never go into the other user's music.
    other.env.prompter->shown.clear();
    pressAsOther();
    EXPECT_EQ(other.env.prompter->shown,
              oneWarning(QStringLiteral("2 files in the temporary directory %1 were not held by a "
                                        "run of yours: they may be another user's of this "
                                        "computer, whose next run of QUAVEX moves them back. "
                                        "They are kept there. Nothing else has been done.")
                             .arg(w.holding())));
    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"p1.mp3", "p2.mp3"}));
    EXPECT_EQ(censusOf({other.music(), other.player()}), otherBefore);

    // This user's next run returns them.
    w.onYield = {};
    w.pressSelect();
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    EXPECT_EQ(w.census(), before);
}

TEST_F(RotationRun, OnePlayerFolderIsFilledByOneRunAtATimeAcrossUsers) {
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    // Another user: a holding folder and a state folder, and so a run lock, of their own; the
    // same card.
    RotationWindow other;
    const QTemporaryDir otherState;
    w.addDrive(card.root());
    other.addDrive(card.root());
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(other.music(), {"x.mp3", "y.mp3"});
    writeFiles(card.root(), {"old.mp3"});
    w.choose(w.music(), card.root(), w.card(), true, false);
    other.choose(other.music(), card.root(), other.card(), true, false);
    const FileCensus otherBefore = censusOf({other.music()});
    FileCensus cardDuring;
    w.onYield = [&](int n) {
        if (n != 2)
            return;
        cardDuring = censusOf({card.root()});
        OwnStateFolder::asUserOf(otherState.path(), [&] { other.pressSelect(); });
    };

    w.pressSelect();

    EXPECT_EQ(other.env.prompter->shown,
              oneWarning(QStringLiteral("The player folder \"%1\" is being filled by another "
                                        "copy of QUAVEX, perhaps another user's. Wait until "
                                        "its run has ended, then press Select again. Nothing "
                                        "has been moved.")
                             .arg(card.root())));
    EXPECT_EQ(censusOf({other.music()}), otherBefore);
    EXPECT_EQ(w.namesIn(card.root()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_TRUE(w.namesIn(w.music()).contains(QStringLiteral("old.mp3")));
    // Once the run has ended, the folder is free.
    OwnStateFolder::asUserOf(otherState.path(), [&] { other.pressSelect(); });
    EXPECT_EQ(other.namesIn(card.root()), QStringList({"x.mp3", "y.mp3"}));
}

TEST(RunLockOnAFullDisk, SaysTheDiskIsFullAndMovesNothing) {
    ScratchVolume home = ScratchVolume::tmpfs(256);
    QUAVEX_REQUIRE_MOUNTED(home);
    RotationWindow w;
    // The user's state folder, where the lock is, on the volume.
    const QString state = home.root() + QStringLiteral("/state");
    ASSERT_TRUE(QDir().mkpath(state + QStringLiteral("/quavex")));
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.open();
    w.choose(w.music(), w.player(), w.card(), true, false);
    const FileCensus before = w.census();
    // Fills the volume to its last byte.
    QFile filler(home.root() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();

    OwnStateFolder::asUserOf(state, [&] { w.pressSelect(); });

    EXPECT_EQ(w.env.prompter->shown,
              oneWarning(QStringLiteral("The lock file %1/quavex/run.lock, which keeps two runs "
                                        "from working at once, could not be made: the disk is "
                                        "full. Nothing has been moved.")
                             .arg(state)));
    EXPECT_EQ(w.census(), before);
}

// The texts whose counts the runs above meet only in one number.
TEST(RunTexts, CountsReadInPlainEnglishAndListTheFirstFiveNames) {
    const std::pair<QString, QString> texts[] = {
        {stillHeldMessage({"a.mp3", "b.txt"}, "/h"),
         "2 files could not be moved back to the Hard Drive Music Directory and are kept in the "
         "temporary directory /h:\na.mp3\nb.txt"},
        {stillHeldMessage({"1", "2", "3", "4", "5", "6"}, "/h"),
         "6 files could not be moved back to the Hard Drive Music Directory and are kept in the "
         "temporary directory /h:\n1\n2\n3\n4\n5\n..."},
        {stillHeldLine(3, "/h"),
         "3 files could not be moved back and are kept in the temporary directory /h"},
        {renamedLine({"1", "2", "3", "4", "5", "6"}, HeldBy::ThisRun),
         "6 files went back to the Hard Drive Music Directory under new names: 1, 2, 3, 4, 5, ..."},
        {renamedLine({"a (2).mp3"}, HeldBy::ThisRun),
         "1 file went back to the Hard Drive Music Directory under a new name: a (2).mp3"},
        {ownFoldersLine({{"/a", 3}, {"/b", 2}, {"/run", 4}}, "/run", HeldBy::AnEarlierRun),
         "5 files from an earlier run went back to their own Hard Drive Music Directories: 3 to "
         "/a, 2 to /b"},
        {unclearedLine("/p", 0, 1),
         "The MP3 player folder /p was not cleared completely: 0 files in the temporary "
         "directory, 1 file still on the player"},
        {playerUnpluggedDuringClearing("/p", 1),
         "The player \"/p\" was unplugged during the run: 1 of its files was moved to the "
         "temporary directory, the rest are still on the player."},
        {unclearedClosingLine("/p", 1, 1, "Why.", true),
         "The MP3 player folder /p was not cleared completely: 1 file is still on the player; 1 of "
         "its files went back to the Hard Drive Music Directory. Why."},
        {playerUnpluggedDuringClearing("/p", 1, true),
         "The player \"/p\" was unplugged during the run: 1 of its files was moved back to the "
         "Hard "
         "Drive Music Directory, the rest are still on the player."},
        {leftOutLine({{"CON.mp3", "a reserved name", true}}),
         "1 music file was left in the Hard Drive Music Directory: the player cannot store it "
         "(CON.mp3: a reserved name). Rename it to include it."},
        {unclearedMessage("/p", "Disk I/O error", 2, 1, "/h"),
         "The MP3 player folder /p could not be cleared completely.\nDisk I/O error\n\n2 of its "
         "files are now in the temporary directory /h, and 1 is still on the player. The run "
         "goes on, and new music is added beside the files still there."},
    };
    for (const auto& [text, expected] : texts)
        EXPECT_EQ(text, expected);
}

TEST(SongOriginsRecord, AnyNameRoundTripsAndARecordOfAnotherFormReadsAsNone) {
    SongOrigins origins;
    origins.fillBegun = QStringLiteral("/home/a/Music");
    origins.songs.insert(QStringLiteral("sub/tab\there 100%.mp3"),
                         decodeFileName("/home/b/\xe9t\xe9\nMusic"));
    origins.songs.insert(QStringLiteral("line\r\nbreak.mp3"), QStringLiteral("C:\\Music"));
    EXPECT_EQ(parseSongOrigins(formatSongOrigins(origins)), origins);
    for (const char* other :
         {"", "QUAVEX song origins 2\na.mp3\t/m\n", "QUAVEX song origins 1\na.mp3 /m\n"})
        EXPECT_FALSE(parseSongOrigins(other)) << other;
}

TEST_F(RotationRun, AnotherMoveErrorIsShownWithItsNumberThenTheSummaryAndTheRunGoesOn) {
    writeFiles(w.music(), {"a.mp3", "b.mp3", "c.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    for (const std::int32_t number : {70, -5}) {
        QString failedSource;
        w.createFileSystem = [number, &failedSource] {
            return std::make_unique<FailingMoves>(2, number, &failedSource);
        };
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
        // The box comes with the text of the attempt that failed.
        EXPECT_TRUE(statusWhenShown.startsWith(QStringLiteral("Space remaining: ")));
        EXPECT_TRUE(
            statusWhenShown.endsWith("Moving " + QFileInfo(failedSource).fileName() + "..."))
            << statusWhenShown.toStdString();
        EXPECT_EQ(w.statusText(),
                  completed(1) + "\r\nThe internal memory was not filled completely. File in use.");
        EXPECT_EQ(w.census(), before);
        EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 255));
    }
}

TEST_F(RotationRun, AMusicFolderThatCannotBeReadIsSaidAfterTheRunThoughNoBoxCame) {
    writeFiles(w.music(), {"a.mp3"});
    w.createFileSystem = [this] { return std::make_unique<UnlistableFolder>(w.music()); };
    w.open();
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.pressSelect();

    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.statusText(), "Randomly selecting files from the hard drive, and copying them to "
                              "the MP3 Player...\r\n" +
                                  complete +
                                  "\r\nThe internal memory was not filled. Device I/O error.");
}

TEST_F(RotationRun, AFileThatFailsOnItsOwnIsLeftOutNamedAndTheFillGoesOn) {
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    const QString player = musicFolderOn(card);
    // A folder on the player named like a song stays there through the clearing.
    ASSERT_TRUE(QDir().mkpath(player + QStringLiteral("/Dir.mp3")));
    // The disk tells these two names apart; the card does not.
    writeFiles(w.music(), {"a.mp3", "b.mp3", "song.mp3", "SONG.mp3", "Dir.mp3", "locked.mp3"});
    w.createFileSystem = [] {
        return std::make_unique<SystemFileSystem>(std::make_shared<UnreadableSong>());
    };
    w.open();
    w.choose(w.music(), player, w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(player).size(), 3);
    const QStringList lines = w.statusText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], summary(3));
    EXPECT_EQ(lines[1], complete);
    const QString start = QStringLiteral(
        "3 music files could not be moved and stayed in the Hard Drive Music Directory: ");
    ASSERT_TRUE(lines[2].startsWith(start)) << lines[2].toStdString();
    QStringList named = lines[2].mid(start.size()).toLower().split(QStringLiteral(", "));
    named.sort();
    EXPECT_EQ(named, QStringList({"dir.mp3 (its name is taken on the player)",
                                  "locked.mp3 (it cannot be read)",
                                  "song.mp3 (its name is taken on the player)"}));
}

// The four names differ only in letter case, which the card does not tell apart; drawn into one
// group, they clash only when the group is published. Each clash is that song's own.
TEST_F(RotationRun, SongsWhoseNamesClashOnlyOnTheCardAreLeftOutAloneAndTheRestArrive) {
    ScratchVolume card = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.addDrive(card.root());
    writeFiles(w.music(), {"Song.mp3", "song.mp3", "SONG.MP3", "sOnG.mp3", "0.mp3", "1.mp3",
                           "2.mp3", "3.mp3", "4.mp3", "5.mp3", "6.mp3", "7.mp3", "8.mp3", "9.mp3"});
    w.choose(w.music(), card.root(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.namesIn(card.root()).size(), 11);
    EXPECT_EQ(w.namesIn(w.music()), QStringList({"Song.mp3", "sOnG.mp3", "song.mp3"}));
    EXPECT_EQ(w.statusText(),
              summary(11) + "\r\n" + complete +
                  "\r\n3 music files could not be moved and stayed in the Hard Drive Music "
                  "Directory: song.mp3 (its name is taken on the player), sOnG.mp3 (its name is "
                  "taken on the player), Song.mp3 (its name is taken on the player)");
}

// A song whose source cannot be deleted is not left in two places: its copy goes again. The
// volumes are read-only tmpfs mounts, which refuse even root.
TEST(ReadOnlyFolder, EverySongStaysWhereItWasOnceAndTheRunSaysWhatItDidNotDo) {
    const QString readOnly =
        QStringLiteral("because the drive is read-only (write-protected or mounted read-only); its "
                       "copy was removed again, so it stayed where it was.");
    for (const bool musicReadOnly : {true, false}) {
        SCOPED_TRACE(musicReadOnly ? "music folder" : "player folder");
        RotationWindow w;
        ScratchVolume volume = ScratchVolume::tmpfs(1024);
        QUAVEX_REQUIRE_MOUNTED(volume);
        w.addDrive(volume.root());
        const QString music = musicReadOnly ? volume.root() : w.music();
        const QString player = musicReadOnly ? w.player() : volume.root();
        writeFiles(music, {"a.mp3"});
        if (!musicReadOnly)
            writeFiles(player, {"old.mp3"});
        ASSERT_TRUE(volume.makeReadOnly());
        w.choose(music, player, w.card(), true, false);
        const FileCensus before = w.census();

        w.pressSelect();

        EXPECT_EQ(w.census(), before);
        EXPECT_EQ(w.namesIn(music), QStringList({"a.mp3"}));
        const QString notFilled =
            musicReadOnly
                ? "\"a.mp3\" could not be moved to \"" + player +
                      "\": it could not be deleted from \"" + music + "\" " + readOnly
                : "\"a.mp3\" could not be moved to \"" + player +
                      "\": the drive is read-only (write-protected or mounted read-only).";
        ASSERT_FALSE(w.env.prompter->shown.empty());
        EXPECT_EQ(w.env.prompter->shown.back(),
                  (MessageRequest{.text = "Error #  70; File transfer: " + notFilled,
                                  .title = QStringLiteral("Error"),
                                  .icon = MessageIcon::None}));
        const QString notCleared =
            "\r\nThe MP3 player folder " + player +
            " was not cleared completely: 1 file is still on the player. \"old.mp3\" could not "
            "be moved to \"" +
            w.holding() + "\": it could not be deleted from \"" + player + "\" " + readOnly;
        EXPECT_EQ(w.statusText(), summary(0) + "\r\n" + complete +
                                      (musicReadOnly ? QString() : notCleared) +
                                      "\r\nThe internal memory was not filled. " + notFilled);
    }
}

TEST_F(RotationRun, OnlyTemporariesRecordedAsOursAreRemovedAndAUsersLookalikeMovesLikeAnyFile) {
    ScratchVolume card = ScratchVolume::exfat(16);
    QUAVEX_REQUIRE_MOUNTED(card);
    const QString player = musicFolderOn(card);
    writeFiles(w.music(), {"a.mp3"});
    writeFiles(player, {"p.mp3"});
    w.choose(w.music(), player, w.card(), true, false);
    QDir().mkpath(w.holding());
    const FileCensus before = w.census();
    QStringList recorded;
    for (const QString& folder : {w.music(), player, w.holding()}) {
        recorded.append(folder + QLatin1Char('/') +
                        recordedTemporaryName(QFile::encodeName(folder)));
        writeFile(recorded.back(), 100);
    }
    // Recorded on a card that is not plugged in now: kept in the journal for a later start.
    const QString unplugged = w.card() + QStringLiteral("/Gone");
    recordedTemporaryName(QFile::encodeName(unplugged));
    // The user's files named like ours, one of them with the very start this process records:
    // each is a file like any other, cleared from the player and returned with the rest.
    const QString lookalike = QStringLiteral(".~quavex-%1-my-notes.part").arg(getpid());
    const std::pair<QString, QByteArray> notes[] = {
        {w.music() + QStringLiteral("/.~quavex-ideas.part"), "notes in the music folder"},
        {player + QStringLiteral("/.~quavex-notes.part"), "notes on the player"},
        {player + QLatin1Char('/') + lookalike, "notes named like a temporary of ours"}};
    FileCensus expected = before;
    for (const auto& [path, bytes] : notes) {
        writeTestFile(path, bytes);
        expected.emplace(QFileInfo(path).fileName(),
                         QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
    }

    w.pressSelect();

    EXPECT_TRUE(w.ownTemporaries().isEmpty()) << w.ownTemporaries().join(' ').toStdString();
    EXPECT_EQ(w.census(), expected);
    EXPECT_TRUE(w.namesIn(w.music()).contains(lookalike));
    EXPECT_FALSE(QFileInfo::exists(w.holding()));
    // The journal still names the unplugged card's folder, for a later start.
    const QByteArray journal = readTestFile(ownTemporariesJournal());
    EXPECT_TRUE(
        journal.contains(QFile::encodeName(unplugged + "/.~quavex-").toPercentEncoding("/")))
        << journal.toStdString();
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
    EXPECT_FALSE(w.form->run().RunInProgress);
}

// The clearing and the fill on their own, as the run calls them.
class RunSteps : public RotationRun {
protected:
    RunSteps() {
        w.open();
        w.form->run().Fso = createSystemFileSystem();
        QDir().mkpath(w.holding());
    }
};

TEST_F(RunSteps, ClearingMovesEveryFileWhateverItsTypeAndLeavesSubfolders) {
    writeFiles(w.player(), {"list.m3u", "cover.jpg"});
    QDir().mkpath(w.player() + QStringLiteral("/Albums"));
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.form->run().ClearPlayer(1);

    EXPECT_EQ(w.statusText(), QStringLiteral("Files moved to temporary directory..."));
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 0"));
    EXPECT_TRUE(w.namesIn(w.player()).isEmpty());
    EXPECT_TRUE(QFileInfo(w.player() + QStringLiteral("/Albums")).isDir());
    EXPECT_EQ(sorted(w.namesIn(w.holding())), QStringList({"cover.jpg", "list.m3u"}));
    EXPECT_EQ(w.yields, 1);
}

TEST_F(RunSteps, TheStatusBoxShowsItsLastLineAfterEveryAppend) {
    w.form->face().replaceStatus(QStringLiteral("first"));
    for (int line = 1; line <= 30; ++line) {
        w.form->face().appendStatus(QStringLiteral("line %1").arg(line));
        const QScrollBar* scroll = w.form->txtStatus->verticalScrollBar();
        EXPECT_EQ(scroll->value(), scroll->maximum()) << "after line " << line;
    }
    EXPECT_GT(w.form->txtStatus->verticalScrollBar()->maximum(), 0);
}

TEST_F(RunSteps, AnEmptyPlayerFolderIsLeftAloneWithoutLookingAtTheStopFlag) {
    w.choose(w.music(), w.player(), w.card(), true, true);
    w.form->txtStatus->setPlainText(earlier);
    w.form->run().StopRequested = true;
    w.form->run().ClearPlayer(2);
    EXPECT_EQ(w.form->txtStatus->toPlainText(), earlier);
    EXPECT_EQ(w.yields, 0);

    // A folder with files writes its message, and the stop flag then keeps its files in place.
    writeFiles(w.card(), {"c.mp3"});
    w.form->run().ClearPlayer(2);
    EXPECT_EQ(w.statusText(), clearingCard);
    EXPECT_EQ(w.namesIn(w.card()), QStringList({"c.mp3"}));
}

TEST_F(RunSteps, AClearingThatMeetsANameAlreadyHeldStopsAtThatFile) {
    writeFiles(w.holding(), {"b.mp3"});
    writeFiles(w.card(), {"a.mp3", "b.mp3", "c.mp3"});
    w.choose(w.music(), w.player(), w.card(), false, true);
    const FileCensus before = w.census();

    EXPECT_THROW(w.form->run().ClearPlayer(2), AppError);

    EXPECT_EQ(w.statusText(), clearingCard);
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.namesIn(w.card()).contains(QStringLiteral("b.mp3")));
}

TEST_F(RunSteps, OnlyNamesEndingInAMusicExtensionOfAnyCaseAreCandidates) {
    writeFiles(w.music(), {"a.Mp3", "b.wma", "c.mp3x", "d.mp4", "emp3", "f.MP3", "g.WmA", "mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.form->run().FillPlayer(1);

    EXPECT_EQ(w.namesIn(w.player()), QStringList({"a.Mp3", "b.wma", "f.MP3", "g.WmA"}));
    EXPECT_EQ(w.statusText(), summary(4));
    EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 4"));
    EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 0"));
}

TEST_F(RunSteps, NoCandidatesMovesNothingAndReportsZero) {
    writeFiles(w.music(), {"readme.txt"});
    w.choose(w.music(), w.player(), w.card(), true, false);

    w.form->run().FillPlayer(1);

    EXPECT_EQ(w.statusText(), summary(0));
    EXPECT_EQ(w.random->draws, 0);
    EXPECT_EQ(w.random->seeds, 1);
    EXPECT_EQ(w.yields, 0);
}

TEST_F(RunSteps, AMusicFolderThatCannotBeReadFailsBeforeTheFirstAttempt) {
    writeFiles(w.music(), {"a.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, false);
    ASSERT_TRUE(QDir(w.music()).removeRecursively());

    EXPECT_THROW(w.form->run().FillPlayer(1), AppError);
    EXPECT_EQ(w.statusText(), QStringLiteral("Randomly selecting files from the hard drive, and "
                                             "copying them to the MP3 Player..."));
    EXPECT_EQ(w.yields, 0);
    EXPECT_EQ(w.random->draws, 0);
}

} // namespace
