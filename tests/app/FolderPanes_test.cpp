#include "app/Form1.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/SystemVolumes.h"
#include "support/FolderDrives.h"
#include "support/PaneVisibility.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class FolderPanes : public testing::Test, public FolderDrives {
protected:
    FolderPanes() : form(std::make_unique<Form1>(env.services())) { form->show(); }

    std::unique_ptr<Form1> form;
};

TEST_F(FolderPanes, MusicOfAnyLetterCaseCountsAndNothingElseDoes) {
    for (const char* name :
         {"a.mp3", "B.MP3", "c.Wma", "d.mP3", "e.mp3x", "f.mp4", "gmp3", "h.wav", "readme.txt"})
        touch(music("disk") + QLatin1Char('/') + QLatin1String(name));
    QDir().mkpath(music("disk") + QStringLiteral("/folder.mp3"));

    form->Dir1->setPath(music("disk"));
    EXPECT_EQ(form->flIp->Path(), music("disk"));
    EXPECT_EQ(form->flIp->ListCount(), 4);
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 4"));

    const QString onlyFolders = root("disk") + QStringLiteral("/folders");
    QDir().mkpath(onlyFolders + QStringLiteral("/x.mp3"));
    form->Dir1->setPath(onlyFolders);
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 0"));
}

TEST_F(FolderPanes, DriveThenFolderThenListThenTotalFollowEachOther) {
    touch(root("player") + QStringLiteral("/one.mp3"));
    touch(music("player") + QStringLiteral("/two.mp3"));
    touch(music("player") + QStringLiteral("/three.wma"));

    form->drvOp1->setDrive(root("player"));
    EXPECT_EQ(form->dirOp1->Path(), root("player"));
    EXPECT_EQ(form->flOp1->Path(), root("player"));
    EXPECT_EQ(form->txtOp1Tot->text(), QStringLiteral("Total: 1"));

    form->dirOp1->setPath(music("player"));
    EXPECT_EQ(form->flOp1->Path(), music("player"));
    EXPECT_EQ(form->txtOp1Tot->text(), QStringLiteral("Total: 2"));

    // A drive opens its current folder, not necessarily its root.
    env.volumes->setCurrentFolder(root("card"), music("card"));
    touch(music("card") + QStringLiteral("/c.mp3"));
    form->drvOp2->setDrive(root("card"));
    EXPECT_EQ(form->dirOp2->Path(), music("card"));
    EXPECT_EQ(form->txtOp2Tot->text(), QStringLiteral("Total: 1"));
    // The other panes are untouched.
    EXPECT_EQ(form->txtOp1Tot->text(), QStringLiteral("Total: 2"));
}

TEST_F(FolderPanes, TotalsDoNotFollowTheDiskUntilTheNextRefresh) {
    form->Dir1->setPath(music("disk"));
    touch(music("disk") + QStringLiteral("/late.mp3"));
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 0"));
    Form1::RefreshTotal(form->flIp, form->txtIpTot);
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 1"));
}

TEST_F(FolderPanes, SelectNeedsATickedPlayerFolderAndMusicOnTheHardDrive) {
    form->Dir1->setPath(music("disk"));
    struct Case {
        int chk1, chk2;
        bool music;
        bool enabled;
    };
    const Case cases[] = {
        {0, 0, false, false}, {1, 0, false, false}, {0, 1, false, false},
        {1, 1, false, false}, {0, 0, true, false},  {1, 0, true, true},
        {0, 1, true, true},   {1, 1, true, true},   {2, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chk1 << c.chk2 << c.music);
        QFile::remove(music("disk") + QStringLiteral("/song.mp3"));
        if (c.music)
            touch(music("disk") + QStringLiteral("/song.mp3"));
        form->flIp->Refresh();
        form->chk1->setValue(c.chk1);
        form->chk2->setValue(c.chk2);
        form->SetGoButton();
        EXPECT_EQ(form->cmdGo->isEnabled(), c.enabled);
    }
}

TEST_F(FolderPanes, TickBoxClicksAndFolderChangesReapplyTheSelectRule) {
    touch(music("disk") + QStringLiteral("/song.mp3"));
    form->Dir1->setPath(music("disk"));
    form->SetGoButton();
    ASSERT_FALSE(form->cmdGo->isEnabled());

    const QString op1Total = form->txtOp1Tot->text();
    form->chk2->click();
    EXPECT_TRUE(form->cmdGo->isEnabled());
    EXPECT_EQ(form->txtOp1Tot->text(), op1Total);
    form->chk2->click();
    EXPECT_FALSE(form->cmdGo->isEnabled());

    form->chk1->click();
    EXPECT_TRUE(form->cmdGo->isEnabled());
    form->Dir1->setPath(root("disk"));
    EXPECT_FALSE(form->cmdGo->isEnabled());
    form->Dir1->setPath(music("disk"));
    EXPECT_TRUE(form->cmdGo->isEnabled());

    form->run().RunInProgress = true;
    form->SetGoButton();
    EXPECT_FALSE(form->cmdGo->isEnabled());
}

TEST_F(FolderPanes, UnreadablePlayerDriveHidesExactlyTheFiveDependentsAndKeepsTheirState) {
    touch(music("disk") + QStringLiteral("/song.mp3"));
    touch(music("player") + QStringLiteral("/held.mp3"));
    form->Dir1->setPath(music("disk"));
    form->drvOp1->setDrive(root("player"));
    form->dirOp1->setPath(music("player"));
    form->chk1->click();
    ASSERT_TRUE(form->cmdGo->isEnabled());

    env.volumes->setReadable(root("card"), false);
    form->drvOp1->setDrive(root("card"));

    EXPECT_TRUE(paneHidden(*form, 1));
    EXPECT_TRUE(form->drvOp1->isVisible());
    EXPECT_TRUE(form->Label3->isVisible());
    EXPECT_EQ(form->drvOp1->Drive(), root("card"));
    EXPECT_EQ(form->dirOp1->Path(), music("player"));
    EXPECT_EQ(form->flOp1->ListCount(), 1);
    EXPECT_EQ(form->txtOp1Tot->text(), QStringLiteral("Total: 1"));
    EXPECT_EQ(form->chk1->Value(), 1);
    EXPECT_TRUE(env.prompter->shown.empty());
    // The hidden ticked box still counts for Select.
    form->SetGoButton();
    EXPECT_TRUE(form->cmdGo->isEnabled());
    // The other player pane is not affected.
    EXPECT_TRUE(paneShown(*form, 2));

    form->drvOp1->setDrive(root("disk"));
    EXPECT_TRUE(paneShown(*form, 1));
    EXPECT_EQ(form->dirOp1->Path(), root("disk"));
    EXPECT_EQ(form->txtOp1Tot->text(), QStringLiteral("Total: 0"));
}

TEST_F(FolderPanes, UnreadableHardDriveGoesBackToTheDriveItsFolderIsOn) {
    touch(music("disk") + QStringLiteral("/song.mp3"));
    form->Drive1->setDrive(root("disk"));
    form->Dir1->setPath(music("disk"));
    env.volumes->setReadable(root("card"), false);

    form->Drive1->setDrive(root("card"));

    EXPECT_EQ(form->Drive1->Drive(), root("disk"));
    EXPECT_EQ(form->Dir1->Path(), music("disk"));
    EXPECT_EQ(form->flIp->Path(), music("disk"));
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 1"));
    EXPECT_TRUE(env.prompter->shown.empty());
    EXPECT_TRUE(form->Dir1->isVisible());
}

// A player whose device stopped answering: a FAT image whose fusefat process was killed.
TEST(PlayerPaneOnRealVolumes, DeadPlayerHidesThePaneAndALivePlayerShowsItAgain) {
    ScratchVolume dead = ScratchVolume::fat(2);
    QUAVEX_REQUIRE_MOUNTED(dead);
    ScratchVolume live = ScratchVolume::fat(2);
    QUAVEX_REQUIRE_MOUNTED(live);
    touch(live.root() + QStringLiteral("/one.mp3"));
    touch(live.root() + QStringLiteral("/two.WMA"));
    dead.killDevice();

    WindowTestServices env;
    Form1Services services = env.services();
    services.volumes = std::make_shared<SystemVolumeProvider>();
    Form1 form(services);
    form.show();
    form.drvOp2->setDrive(live.root());
    ASSERT_EQ(form.txtOp2Tot->text(), QStringLiteral("Total: 2"));

    form.drvOp2->setDrive(dead.root());
    EXPECT_EQ(form.drvOp2->Drive(), dead.root());
    EXPECT_FALSE(form.dirOp2->isVisible());
    EXPECT_FALSE(form.flOP2->isVisible());
    EXPECT_EQ(form.dirOp2->Path(), live.root());
    EXPECT_EQ(form.txtOp2Tot->text(), QStringLiteral("Total: 2"));
    EXPECT_TRUE(env.prompter->shown.empty());

    touch(live.root() + QStringLiteral("/three.mp3"));
    form.drvOp2->setDrive(live.root());
    EXPECT_TRUE(form.dirOp2->isVisible());
    EXPECT_TRUE(form.txtOp2Tot->isVisible());
    EXPECT_EQ(form.txtOp2Tot->text(), QStringLiteral("Total: 3"));
}

} // namespace
