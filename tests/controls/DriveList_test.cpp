#include "controls/DriveList.h"
#include "fs/AppError.h"
#include "fs/SystemVolumes.h"
#include "support/ScratchVolume.h"
#include "support/ThrownError.h"
#include "support/WatchedList.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class DriveListTest : public WatchedList<DriveList, &DriveList::Drive> {
protected:
    QStringList shownItems() const {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items.append(list->itemText(i));
        return items;
    }

    // Opening the list as the user does: QComboBox offers it publicly.
    void reopen() {
        QComboBox* combo = list.get();
        combo->showPopup();
        combo->hidePopup();
    }
};

TEST_F(DriveListTest, ShowsEveryVolumeWithItsLabelAndStartsOnTheHomeVolume) {
    EXPECT_EQ(shownItems(), (QStringList{root("disk") + " [DISK]", root("player") + " [PLAYER]",
                                         root("card") + " [CARD]"}));
    EXPECT_EQ(list->Drive(), root("disk"));
    EXPECT_EQ(list->currentText(), root("disk") + " [DISK]");
}

TEST_F(DriveListTest, SettingADriveRunsTheHandlerOnceNestedAndOnlyOnChange) {
    list->setDrive(root("player") + "/");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seenInHandler, root("player"));
    EXPECT_EQ(list->Drive(), root("player"));
    EXPECT_EQ(list->currentText(), root("player") + " [PLAYER]");

    list->setDrive(root("player"));
    EXPECT_EQ(changes, 1);
}

TEST_F(DriveListTest, DriveLetterTextsNameTheHomeVolume) {
    for (const char* text : {"C", "c:", "C:\\", "D:/", "z"}) {
        list->setDrive(root("card"));
        list->setDrive(QString::fromLatin1(text));
        EXPECT_EQ(list->Drive(), root("disk")) << text;
    }
}

TEST_F(DriveListTest, AnUnknownDriveFailsBeforeAnythingChanges) {
    list->setDrive(root("card"));
    changes = 0;
    for (const QString& text :
         {root("nothing"), root("card") + "/sub", QString(), QStringLiteral("C:\\x")}) {
        const std::optional<AppError> error = thrownError([&] { list->setDrive(text); });
        ASSERT_TRUE(error) << "accepted " << text.toStdString();
        EXPECT_EQ(error->number(), ErrorNumber::DeviceUnavailable);
        EXPECT_TRUE(error->description().startsWith("Device unavailable"));
        EXPECT_TRUE(error->description().contains(text));
    }
    EXPECT_EQ(list->Drive(), root("card"));
    EXPECT_EQ(list->currentText(), root("card") + " [CARD]");
    EXPECT_EQ(changes, 0);
}

TEST_F(DriveListTest, OpeningTheListReadsTheVolumesAgainAndKeepsAVanishedChoice) {
    list->setDrive(root("player"));
    env.volumes->remove(root("player"));
    // A volume without a label shows its root alone.
    QDir().mkpath(root("stick"));
    env.volumes->add(root("stick"));

    reopen();
    EXPECT_EQ(shownItems(), (QStringList{root("disk") + " [DISK]", root("card") + " [CARD]",
                                         root("stick"), root("player") + " [PLAYER]"}));
    EXPECT_EQ(list->Drive(), root("player"));
    EXPECT_EQ(list->currentText(), root("player") + " [PLAYER]");

    list->setDrive(root("stick"));
    EXPECT_EQ(list->Drive(), root("stick"));
    reopen();
    EXPECT_EQ(shownItems(),
              (QStringList{root("disk") + " [DISK]", root("card") + " [CARD]", root("stick")}));
}

TEST_F(DriveListTest, AChoiceTheHandlerCannotApplyGoesBackToThePreviousDrive) {
    list->setChangeHandler([this] {
        ++changes;
        if (list->Drive() == root("card"))
            throw AppError(ErrorNumber::DeviceUnavailable, "test", "no medium");
    });
    const int card = list->findText(root("card") + " [CARD]");
    ASSERT_GE(card, 0);
    list->setCurrentIndex(card);
    Q_EMIT list->activated(card);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->Drive(), root("disk"));
    EXPECT_EQ(list->currentText(), root("disk") + " [DISK]");

    const int player = list->findText(root("player") + " [PLAYER]");
    list->setCurrentIndex(player);
    Q_EMIT list->activated(player);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list->Drive(), root("player"));
}

// Whether a drive can be read is for the pane to find out: a player whose device died can still
// be chosen, and is still shown.
TEST(DriveListOnFat, APlayerWhoseDeviceDiedCanStillBeChosen) {
    ScratchVolume player = ScratchVolume::fat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    DriveList list(std::make_shared<SystemVolumeProvider>());
    EXPECT_GE(list.findData(player.root()), 0);

    player.killDevice();
    list.setDrive(player.root() + "/");
    EXPECT_EQ(list.Drive(), player.root());
    EXPECT_EQ(list.currentText(), player.root());
}

} // namespace
