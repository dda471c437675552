#include "controls/DriveList.h"
#include "fs/AppError.h"
#include "fs/SystemVolumes.h"
#include "support/ScratchVolume.h"
#include "support/ThrownError.h"
#include "support/WatchedList.h"

#include <QAbstractItemView>
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

    // The text of a folder drive's item: its label, two spaces and its root in brackets.
    QString item(const char* name, const char* label) const {
        return QStringLiteral("%1  (%2)").arg(QLatin1String(label), root(name));
    }

    // Opening the list as the user does: QComboBox offers it publicly.
    void reopen() {
        QComboBox* combo = list.get();
        combo->showPopup();
        combo->hidePopup();
    }
};

TEST_F(DriveListTest, ShowsEveryVolumeWithItsLabelAndStartsOnTheHomeVolume) {
    EXPECT_EQ(shownItems(),
              (QStringList{item("disk", "Home"), item("player", "PLAYER"), item("card", "CARD")}));
    EXPECT_EQ(list->Drive(), root("disk"));
    EXPECT_EQ(list->currentText(), item("disk", "Home"));
    // A long item is elided in the middle; its whole text is its tooltip.
    EXPECT_EQ(list->toolTip(), item("disk", "Home"));
    EXPECT_EQ(list->itemData(1, Qt::ToolTipRole).toString(), item("player", "PLAYER"));
    EXPECT_EQ(list->view()->textElideMode(), Qt::ElideMiddle);
}

TEST_F(DriveListTest, SettingADriveRunsTheHandlerOnceNestedAndOnlyOnChange) {
    list->setDrive(root("player") + "/");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seenInHandler, root("player"));
    EXPECT_EQ(list->Drive(), root("player"));
    EXPECT_EQ(list->currentText(), item("player", "PLAYER"));

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
        // Named in the failure box as the control the user sees.
        EXPECT_EQ(error->source(), QStringLiteral("Drive chooser:"));
        EXPECT_TRUE(error->description().startsWith("Device unavailable"));
        EXPECT_TRUE(error->description().contains(text));
    }
    EXPECT_EQ(list->Drive(), root("card"));
    EXPECT_EQ(list->currentText(), item("card", "CARD"));
    EXPECT_EQ(changes, 0);
}

TEST_F(DriveListTest, OpeningTheListReadsTheVolumesAgainAndKeepsAVanishedChoice) {
    list->setDrive(root("player"));
    env.volumes->remove(root("player"));
    // A volume without a label shows its folder's name; two of the same label, their roots.
    QDir().mkpath(root("stick"));
    env.volumes->add(root("stick"));
    QDir().mkpath(root("card2"));
    env.volumes->add(root("card2"), QStringLiteral("CARD"));

    reopen();
    EXPECT_EQ(shownItems(),
              (QStringList{item("disk", "Home"), item("card", "CARD"), item("stick", "stick"),
                           item("card2", "CARD"), item("player", "PLAYER")}));
    EXPECT_EQ(list->Drive(), root("player"));
    EXPECT_EQ(list->currentText(), item("player", "PLAYER"));

    list->setDrive(root("stick"));
    EXPECT_EQ(list->Drive(), root("stick"));
    reopen();
    EXPECT_EQ(shownItems(), (QStringList{item("disk", "Home"), item("card", "CARD"),
                                         item("stick", "stick"), item("card2", "CARD")}));

    // A drive unplugged while the list is open cannot be chosen: the chooser stays where it was.
    changes = 0;
    env.volumes->remove(root("card2"));
    const int gone = list->findText(item("card2", "CARD"));
    list->setCurrentIndex(gone);
    Q_EMIT list->activated(gone);
    EXPECT_EQ(list->Drive(), root("stick"));
    EXPECT_EQ(list->currentText(), item("stick", "stick"));
    EXPECT_EQ(changes, 0);
}

TEST_F(DriveListTest, AChoiceTheHandlerCannotApplyGoesBackToThePreviousDrive) {
    list->setChangeHandler([this] {
        ++changes;
        if (list->Drive() == root("card"))
            throw AppError(ErrorNumber::DeviceUnavailable, "test", "no medium");
    });
    const int card = list->findText(item("card", "CARD"));
    ASSERT_GE(card, 0);
    list->setCurrentIndex(card);
    Q_EMIT list->activated(card);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->Drive(), root("disk"));
    EXPECT_EQ(list->currentText(), item("disk", "Home"));

    const int player = list->findText(item("player", "PLAYER"));
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
    EXPECT_TRUE(list.currentText().endsWith("  (" + player.root() + ")"))
        << list.currentText().toStdString();
}

} // namespace
