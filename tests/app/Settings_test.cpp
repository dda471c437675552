#include "app/SettingsStore.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "support/MessageBoxes.h"
#include "support/PaneVisibility.h"
#include "support/RecordingBackend.h"
#include "support/StartupWindow.h"
#include "support/ThrownError.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class Settings : public testing::Test, public StartupWindow {};

TEST_F(Settings, ExitWritesTheSevenTextsInOrderAndTheNextStartRestoresThem) {
    touch(music("disk") + QStringLiteral("/song.mp3"));
    auto recorder = std::make_shared<RecordingBackend>(backend);
    backend = recorder;
    {
        auto form = start();
        form->Dir1->setPath(music("disk"));
        form->drvOp1->setDrive(root("player"));
        form->dirOp1->setPath(music("player"));
        form->drvOp2->setDrive(root("card"));
        form->dirOp2->setPath(music("card"));
        form->chkWarn->setValue(0);
        form->chk2->setValue(1);
        form->cmdExit->click();
    }
    // The seven, then the identities of the player folders' volumes and their ticks, in sections
    // of their own.
    EXPECT_EQ(recorder->written,
              (QStringList{"drvIp", "dirIp", "drvOp1", "dirOp1", "drvOp2", "dirOp2", "MvWarn",
                           "dirOp1", "dirOp2", "dirOp1", "dirOp2"}));
    EXPECT_EQ(recorder->read("QUAVEX", "Ticks", "dirOp2"), QStringLiteral("1"));
    EXPECT_EQ(stored("drvIp"), root("disk"));
    EXPECT_EQ(stored("dirIp"), music("disk"));
    EXPECT_EQ(stored("drvOp1"), root("player"));
    EXPECT_EQ(stored("dirOp1"), music("player"));
    EXPECT_EQ(stored("drvOp2"), root("card"));
    EXPECT_EQ(stored("dirOp2"), music("card"));
    EXPECT_EQ(stored("MvWarn"), QStringLiteral("0"));
    EXPECT_TRUE(settingsBytes().startsWith("[Settings]\n")) << settingsBytes().toStdString();

    auto again = start();
    EXPECT_EQ(again->Drive1->Drive(), root("disk"));
    EXPECT_EQ(again->Dir1->Path(), music("disk"));
    EXPECT_EQ(again->txtIpTot->text(), QStringLiteral("Total: 1"));
    EXPECT_EQ(again->drvOp1->Drive(), root("player"));
    EXPECT_EQ(again->dirOp1->Path(), music("player"));
    EXPECT_EQ(again->drvOp2->Drive(), root("card"));
    EXPECT_EQ(again->dirOp2->Path(), music("card"));
    EXPECT_EQ(again->chkWarn->Value(), 0);
}

TEST_F(Settings, FolderNamesOutsideAsciiAndWithCommasComeBackUnchanged) {
    const QString folder = root("player") + QStringLiteral("/Músik, Ålbum; «2»");
    QDir().mkpath(folder);
    {
        auto form = start();
        form->drvOp1->setDrive(root("player"));
        form->dirOp1->setPath(folder);
        form->cmdExit->click();
    }
    auto again = start();
    EXPECT_EQ(again->dirOp1->Path(), folder);
}

// Never the opening drive in its place, which a run would clear: the pane waits for the player.
TEST_F(Settings, UnpluggedPlayerIsWaitedForAndNeitherThePaneNorARunFallsBackToAnotherDrive) {
    store("drvOp1", root("player"));
    store("dirOp1", music("player"));
    store("drvOp2", root("card"));
    store("dirOp2", music("card"));
    store("MvWarn", "1");
    touch(music("disk") + QStringLiteral("/song.mp3"));
    touch(root("disk") + QStringLiteral("/system.txt"));
    // The folder is still there as a plain folder, as an emptied mount point would be.
    env.volumes->remove(root("player"));

    auto form = start();
    EXPECT_EQ(form->drvOp1->Drive(), root("player"));
    EXPECT_TRUE(form->drvOp1->currentText().endsWith(QStringLiteral(" - not plugged in")));
    EXPECT_TRUE(paneHidden(*form, 1));
    EXPECT_EQ(form->dirOp2->Path(), music("card"));
    EXPECT_EQ(form->chkWarn->Value(), 1);

    form->Dir1->setPath(music("disk"));
    form->chk1->setValue(1);
    form->SetGoButton();
    form->cmdGo->click();
    EXPECT_EQ(env.prompter->shown,
              (std::vector<MessageRequest>{
                  {QStringLiteral("The player \"%1\" is not plugged in (its drive %2 is not "
                                  "mounted). Plug it in and press Select again. Nothing was moved "
                                  "to or from it.")
                       .arg(music("player"), root("player")),
                   QStringLiteral("Warning!"), MessageIcon::Warning}}));
    EXPECT_TRUE(QFileInfo::exists(root("disk") + QStringLiteral("/system.txt")));
    form->cmdExit->click();
    EXPECT_EQ(stored("drvOp1"), root("player"));
    EXPECT_EQ(stored("dirOp1"), music("player"));

    // Plugged in and chosen again, it opens at its saved folder.
    form->show();
    env.volumes->add(root("player"), QStringLiteral("PLAYER"));
    form->drvOp1->setDrive(root("player"));
    EXPECT_EQ(form->dirOp1->Path(), music("player"));
    EXPECT_TRUE(paneShown(*form, 1));
}

TEST_F(Settings, UnreadablePlayerDriveIsTakenAndItsPaneHidden) {
    store("drvOp1", root("player"));
    store("dirOp1", music("player"));
    store("drvOp2", root("card"));
    store("dirOp2", music("card"));
    env.volumes->setReadable(root("player"), false);

    auto form = start();
    EXPECT_EQ(form->drvOp1->Drive(), root("player"));
    EXPECT_TRUE(paneHidden(*form, 1));
    EXPECT_EQ(form->dirOp2->Path(), music("card"));
    EXPECT_TRUE(paneShown(*form, 2));
    EXPECT_EQ(form->chkWarn->Value(), 1);
}

TEST_F(Settings, DeletedMusicFolderLeavesTheDrivesCurrentFolderOpen) {
    const QString second = tmp.path() + QStringLiteral("/second");
    const QString albums = second + QStringLiteral("/Albums");
    QDir().mkpath(albums);
    touch(albums + QStringLiteral("/a.mp3"));
    touch(albums + QStringLiteral("/b.wma"));
    env.volumes->add(second);
    env.volumes->setCurrentFolder(second, albums);
    store("drvIp", second);
    store("dirIp", second + QStringLiteral("/Deleted"));

    auto form = start();
    EXPECT_EQ(form->Drive1->Drive(), second);
    EXPECT_EQ(form->Dir1->Path(), albums);
    EXPECT_EQ(form->flIp->Path(), albums);
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 2"));
}

// A pair saved while the folder list could still leave its drive: the drive list would name the
// player while a run empties a folder of the disk.
TEST_F(Settings, SavedFolderOffItsSavedDriveIsSkipped) {
    store("drvOp1", root("player"));
    store("dirOp1", music("disk"));
    store("drvOp2", root("card"));
    store("dirOp2", root("disk"));

    auto form = start();
    EXPECT_EQ(form->drvOp1->Drive(), root("player"));
    EXPECT_EQ(form->dirOp1->Path(), root("player"));
    EXPECT_EQ(form->flOp1->Path(), root("player"));
    EXPECT_EQ(form->drvOp2->Drive(), root("card"));
    EXPECT_EQ(form->dirOp2->Path(), root("card"));
}

TEST_F(Settings, WarningOptionTakesOnlyNumbersThatRoundToATickValue) {
    const std::pair<const char*, int> cases[] = {
        {"abc", 0}, {"70000", 0}, {"3", 0}, {"-1", 0}, {"", 0},    {"1.5", 2},
        {"0.5", 0}, {"2.5", 2},   {"2", 2}, {"0", 0},  {" 1 ", 1}, {"1e0", 1},
    };
    for (const auto& [text, value] : cases) {
        store("MvWarn", QString::fromLatin1(text));
        auto form = start();
        EXPECT_EQ(form->chkWarn->Value(), value) << '"' << text << '"';
    }
}

TEST(WarningOptionText, RoundsHalvesToEvenAndRefusesWhatIsNotA16BitNumber) {
    const std::pair<const char*, int> taken[] = {
        {"0.5", 0}, {"1.5", 2}, {"-2.5", -2}, {"1.49", 1}, {"32767.4", 32767}, {"-32768", -32768}};
    for (const auto& [text, value] : taken)
        EXPECT_EQ(tickValueFromText(QString::fromLatin1(text)), value) << text;
    const std::pair<const char*, std::int32_t> refused[] = {
        {"32767.5", ErrorNumber::Overflow}, {"-32769", ErrorNumber::Overflow},
        {"70000", ErrorNumber::Overflow},   {"1e9", ErrorNumber::Overflow},
        {"abc", ErrorNumber::TypeMismatch}, {"", ErrorNumber::TypeMismatch},
        {"nan", ErrorNumber::TypeMismatch}, {"inf", ErrorNumber::TypeMismatch},
        {"1 2", ErrorNumber::TypeMismatch}};
    for (const auto& [text, number] : refused)
        EXPECT_EQ(errorNumberOf([text = text] { tickValueFromText(QString::fromLatin1(text)); }),
                  number)
            << text;
}

TEST_F(Settings, CloseBoxLeavesTheStoredFileByteForByte) {
    store("drvOp1", root("player"));
    store("MvWarn", "1");
    const QByteArray before = settingsBytes();
    ASSERT_FALSE(before.isEmpty());

    auto form = start();
    form->drvOp1->setDrive(root("card"));
    form->chkWarn->setValue(0);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_EQ(quitCalls, 0);
}

TEST_F(Settings, ExitThatCannotWriteSaysSoAndStillEnds) {
    // A folder where the file should be: every write fails, as on a full or read-only disk.
    QDir().mkpath(settingsFile());
    auto form = start();
    form->cmdExit->click();

    EXPECT_EQ(quitCalls, 1);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(env.prompter->shown.size(), 1u);
    const MessageRequest& box = env.prompter->shown.front();
    EXPECT_EQ(box.icon, MessageIcon::Warning);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_TRUE(box.text.contains(settingsFile())) << box.text.toStdString();
}

} // namespace
