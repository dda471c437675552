#include "app/ApplicationIdentity.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/SystemVolumes.h"
#include "support/StartupWindow.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class Startup : public testing::Test, public StartupWindow {};

TEST_F(Startup, FirstStartWithAnEmptyStorePutsEveryPaneOnTheHomeDriveWithoutTheWarning) {
    touch(music("disk") + QStringLiteral("/song.mp3"));
    env.volumes->setCurrentFolder(root("disk"), music("disk"));
    auto form = start();

    EXPECT_EQ(form->Drive1->Drive(), root("disk"));
    EXPECT_EQ(form->drvOp1->Drive(), root("disk"));
    EXPECT_EQ(form->drvOp2->Drive(), root("disk"));
    EXPECT_EQ(form->Dir1->Path(), music("disk"));
    EXPECT_EQ(form->chkWarn->Value(), 1);
    EXPECT_EQ(form->chk1->Value(), 0);
    EXPECT_EQ(form->chk2->Value(), 0);
    EXPECT_FALSE(form->cmdGo->isEnabled());
    EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 1"));
    EXPECT_EQ(form->txtOp1Tot->text(), QStringLiteral("Total: 1"));
    EXPECT_EQ(form->txtOp2Tot->text(), QStringLiteral("Total: 1"));
    // Reading an empty store leaves nothing behind.
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

// The same on the volumes of the system: the process's current folder, which is no volume root.
TEST_F(Startup, FirstStartOnTheSystemVolumesOpensTheMusicPaneOnTheCurrentFolder) {
    const QString savedFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(music("disk")));
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(tmp.path()));
    const QString current = QDir::currentPath();
    const auto volumes = std::make_shared<SystemVolumeProvider>();
    const QString homeRoot = volumes->homeVolumeRoot();
    Form1Services withSystemVolumes = services();
    withSystemVolumes.volumes = volumes;
    Form1 form(std::move(withSystemVolumes));
    form.Form_Load();
    QDir::setCurrent(savedFolder);
    qputenv("HOME", savedHome);

    EXPECT_EQ(form.Drive1->Drive(), homeRoot);
    EXPECT_EQ(form.Dir1->Path(), current);
}

TEST_F(Startup, CaptionNamesDescriptionVersionAndCompany) {
    auto form = start();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Tunequill, Vers. 1.0.0, From Larkspur Lane Software"));
}

TEST_F(Startup, LoadClearsTheStopFlag) {
    auto form = std::make_unique<Form1>(services());
    form->run().StopRequested = true;
    form->Form_Load();
    EXPECT_FALSE(form->run().StopRequested);
}

TEST_F(Startup, SelectIsEnabledAtLoadOnlyByTheRule) {
    touch(music("disk") + QStringLiteral("/song.mp3"));
    store("dirIp", music("disk"));
    auto form = std::make_unique<Form1>(services());
    form->chk2->setValue(1);
    form->Form_Load();
    EXPECT_TRUE(form->cmdGo->isEnabled());

    // With nothing restored that changes a pane, the load itself applies the rule, whatever the
    // button showed before.
    touch(root("disk") + QStringLiteral("/song.mp3"));
    for (const bool ticked : {false, true}) {
        SCOPED_TRACE(ticked ? "ticked" : "unticked");
        Form1Services fresh = services();
        fresh.settings.reset();
        auto unloaded = std::make_unique<Form1>(std::move(fresh));
        unloaded->chk2->setValue(ticked ? 1 : 0);
        unloaded->cmdGo->setEnabled(!ticked);
        unloaded->Form_Load();
        EXPECT_EQ(unloaded->cmdGo->isEnabled(), ticked);
    }
}

TEST(VersionText, NumbersCarryNoLeadingZerosOrBlanks) {
    ApplicationIdentity identity;
    identity.fileDescription = QStringLiteral("Tunequill");
    identity.companyName = QStringLiteral("Someone & Co");
    identity.major = 1;
    identity.minor = 5;
    identity.revision = 12;
    EXPECT_EQ(versionNumbers(identity), QStringLiteral("1.5.12"));
    EXPECT_EQ(windowCaption(identity),
              QStringLiteral("Tunequill, Vers. 1.5.12, From Someone & Co"));
    identity.major = 0;
    identity.minor = 0;
    identity.revision = 65535;
    EXPECT_EQ(versionNumbers(identity), QStringLiteral("0.0.65535"));
}

} // namespace
