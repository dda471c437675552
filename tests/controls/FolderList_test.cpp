#include "controls/FolderList.h"
#include "fs/AppError.h"
#include "fs/SystemVolumes.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"
#include "support/ThrownError.h"
#include "support/WatchedList.h"

#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Folders on the folder drives: three subfolders and a hidden one in the disk's Music folder.
class FolderListTest : public WatchedList<FolderList, &FolderList::Path> {
protected:
    FolderListTest() {
        for (const char* sub : {"b", "A", "c", ".hidden"})
            QDir().mkpath(at("disk/Music/") + sub);
        QDir().mkpath(at("player/Songs"));
    }

    QString at(const QString& relative) const { return tmp.path() + QLatin1Char('/') + relative; }
};

TEST_F(FolderListTest, ShowsTheDrivesRootThenTheFoldersDownToTheOpenOneThenSortedSubfolders) {
    touch(at("disk/Music/file.mp3"));
    ASSERT_EQ(::symlink("A", QFile::encodeName(at("disk/Music/linked")).constData()), 0);
    // A card mounted inside the disk is opened by choosing its drive, not from the disk's list.
    QDir().mkpath(at("disk/Music/card"));
    env.volumes->add(at("disk/Music/card"), QStringLiteral("CARD2"));
    list->setPath(at("disk/Music/"));

    EXPECT_EQ(list->Path(), at("disk/Music"));
    QStringList expected{at("disk"), at("disk/Music")};
    for (const char* sub : {"A", "b", "c", "linked"})
        expected.append(at("disk/Music/") + sub);
    EXPECT_EQ(list->rowPaths(), expected);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), at("disk"));
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_TRUE(list->uniformItemSizes());

    list->setPath(at("disk/Music/card"));
    EXPECT_EQ(list->rowPaths(), QStringList{at("disk/Music/card")});
}

TEST_F(FolderListTest, SettingAFolderRunsTheHandlerOnceNestedAndOnlyOnChange) {
    list->setPath(at("disk/Music"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seenInHandler, at("disk/Music"));
    list->setPath(at("disk/Music/"));
    list->setPath(at("disk/Music/b/.."));
    EXPECT_EQ(changes, 1);
}

TEST_F(FolderListTest, ADriveTextOpensThatDrivesCurrentFolder) {
    env.volumes->setCurrentFolder(at("player"), at("player/Songs"));
    list->setPath(at("player") + "/");
    EXPECT_EQ(list->Path(), at("player/Songs"));

    // A current folder that has gone since leaves the drive's root.
    env.volumes->setCurrentFolder(at("player"), at("player/Gone"));
    list->setPath(at("player"));
    EXPECT_EQ(list->Path(), at("player"));

    env.volumes->setCurrentFolder(at("disk"), at("disk/Music"));
    for (const char* text : {"C", "C:\\"}) {
        list->setPath(at("player"));
        list->setPath(QString::fromLatin1(text));
        EXPECT_EQ(list->Path(), at("disk/Music")) << text;
    }
}

TEST_F(FolderListTest, FoldersThatCannotBeOpenedFailBeforeAnythingChanges) {
    list->setPath(at("disk/Music"));
    const QStringList rows = list->rowPaths();
    changes = 0;
    touch(at("disk/file"));

    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("disk/none")); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("disk/file")); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(QString()); }), ErrorNumber::PathNotFound);
    // Above the drive's root, another drive, and a volume mounted inside the drive are other
    // disks than the one the list is on.
    EXPECT_EQ(errorNumberOf([&] { list->setPath(tmp.path()); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("player/Songs")); }), ErrorNumber::PathNotFound);
    QDir().mkpath(at("disk/Music/b/inner"));
    env.volumes->add(at("disk/Music/b"));
    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("disk/Music/b/inner")); }),
              ErrorNumber::PathNotFound);
    env.volumes->setReadable(at("player"), false);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("player")); }), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("player/Songs")); }),
              ErrorNumber::DeviceUnavailable);

    EXPECT_EQ(list->Path(), at("disk/Music"));
    EXPECT_EQ(list->rowPaths(), rows);
    EXPECT_EQ(changes, 0);
}

TEST_F(FolderListTest, DoubleClickAndEnterOpenTheItem) {
    list->setPath(at("disk/Music"));
    list->show();
    const int sub = int(list->rowPaths().indexOf(at("disk/Music/b")));
    const QModelIndex item = list->model()->index(sub, 0);
    Q_EMIT list->doubleClicked(item);
    EXPECT_EQ(list->Path(), at("disk/Music/b"));

    // Enter on the top row goes to the drive's root itself, not to the drive's current folder.
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list.get(), Qt::Key_Return);
    EXPECT_EQ(list->Path(), at("disk"));
    EXPECT_EQ(changes, 3);

    // A folder that went away since it was listed leaves the list where it was.
    list->setPath(at("disk/Music"));
    ASSERT_TRUE(QDir(at("disk/Music/c")).removeRecursively());
    const int gone = int(list->rowPaths().indexOf(at("disk/Music/c")));
    Q_EMIT list->doubleClicked(list->model()->index(gone, 0));
    EXPECT_EQ(list->Path(), at("disk/Music"));
}

TEST(FolderListOnFat, AVolumeWhoseDeviceDiedCannotBeOpened) {
    ScratchVolume player = ScratchVolume::fat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    ASSERT_TRUE(QDir().mkpath(player.root() + "/Music"));
    auto volumes = std::make_shared<SystemVolumeProvider>();
    FolderList list(volumes);
    list.setPath(player.root());
    EXPECT_EQ(list.Path(), player.root());
    EXPECT_EQ(list.rowPaths().last(), player.root() + "/Music");

    player.killDevice();
    EXPECT_EQ(errorNumberOf([&] { list.setPath(player.root() + "/Music"); }),
              ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(errorNumberOf([&] { list.setPath(player.root() + "/"); }),
              ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(list.Path(), player.root());
}

} // namespace
