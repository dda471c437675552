#include "app/FolderList.h"
#include "fs/AppError.h"
#include "fs/SystemVolumes.h"
#include "support/FolderVolumes.h"
#include "support/ScratchVolume.h"

#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        return error.number();
    }
    return 0;
}

// Two "drives" (plain folders): the home disk and a player.
class FolderListTest : public testing::Test {
protected:
    FolderListTest() {
        QDir().mkpath(at("disk/Music/b"));
        QDir().mkpath(at("disk/Music/A"));
        QDir().mkpath(at("disk/Music/c"));
        QDir().mkpath(at("disk/Music/.hidden"));
        QDir().mkpath(at("player/Songs"));
        volumes->add(at("disk"));
        volumes->add(at("player"), QStringLiteral("PLAYER"));
        list = std::make_unique<FolderList>(volumes);
        list->setChangeHandler([this] {
            ++changes;
            seenInHandler = list->Path();
        });
    }

    QString at(const QString& relative) const { return tmp.path() + QLatin1Char('/') + relative; }

    QTemporaryDir tmp;
    std::shared_ptr<FolderVolumes> volumes = std::make_shared<FolderVolumes>();
    std::unique_ptr<FolderList> list;
    int changes = 0;
    QString seenInHandler;
};

TEST_F(FolderListTest, ShowsAncestorsFromTheRootThenSortedSubfolders) {
    QFile file(at("disk/Music/file.mp3"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(::symlink("A", QFile::encodeName(at("disk/Music/linked")).constData()), 0);
    list->setPath(at("disk/Music/"));

    EXPECT_EQ(list->Path(), at("disk/Music"));
    QStringList expected{QStringLiteral("/")};
    QString ancestor;
    for (const QString& part : at("disk/Music").split('/', Qt::SkipEmptyParts))
        expected.append(ancestor += '/' + part);
    for (const char* sub : {"A", "b", "c", "linked"})
        expected.append(at("disk/Music/") + sub);
    EXPECT_EQ(list->rowPaths(), expected);
    EXPECT_EQ(list->currentIndex().row(), expected.indexOf(at("disk/Music")));
    EXPECT_TRUE(list->uniformItemSizes());
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
    volumes->setCurrentFolder(at("player"), at("player/Songs"));
    list->setPath(at("player") + "/");
    EXPECT_EQ(list->Path(), at("player/Songs"));

    // A current folder that has gone since leaves the drive's root.
    volumes->setCurrentFolder(at("player"), at("player/Gone"));
    list->setPath(at("player"));
    EXPECT_EQ(list->Path(), at("player"));

    volumes->setCurrentFolder(at("disk"), at("disk/Music"));
    for (const char* text : {"C", "C:\\"}) {
        list->setPath(at("player/Songs"));
        list->setPath(QString::fromLatin1(text));
        EXPECT_EQ(list->Path(), at("disk/Music")) << text;
    }
}

TEST_F(FolderListTest, FoldersThatCannotBeOpenedFailBeforeAnythingChanges) {
    list->setPath(at("disk/Music"));
    const QStringList rows = list->rowPaths();
    changes = 0;
    QFile file(at("disk/file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));

    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("disk/none")); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(at("disk/file")); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { list->setPath(QString()); }), ErrorNumber::PathNotFound);
    volumes->setReadable(at("player"), false);
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

    // Enter on the root goes to the root itself, not to a drive's current folder.
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list.get(), Qt::Key_Return);
    EXPECT_EQ(list->Path(), QStringLiteral("/"));
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
