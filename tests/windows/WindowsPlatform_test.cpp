#include "app/HoldingFolder.h"
#include "controls/DriveList.h"
#include "controls/DriveText.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/DriveRoot.h"
#include "fs/FolderLock.h"
#include "fs/Module1.h"
#include "fs/SystemVolumes.h"
#include "support/OptionsByHand.h"
#include "support/StartupWindow.h"
#include "support/TestRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// What the program does differently on Windows: drive letters and their texts, the registry, the
// holding folder, free space by the drive's first three characters.
namespace {

// What reg.exe (Windows' own, Wine's under Wine) finds under the key: its lines, trimmed.
QString registryQuery(const QString& key, const QString& value) {
    QProcess reg;
    reg.start(QStringLiteral("reg.exe"),
              {QStringLiteral("query"), key, QStringLiteral("/v"), value});
    reg.waitForFinished();
    return QString::fromLocal8Bit(reg.readAllStandardOutput()).simplified();
}

class WindowsSettings : public testing::Test, public StartupWindow {};

} // namespace

TEST(WindowsDrives, AreDriveLettersShownAsInTheDriveListsOfWindows) {
    const SystemVolumeProvider volumes;
    const std::vector<Volume> drives = volumes.volumes();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().root.size(), 3);
    EXPECT_TRUE(drives.front().root.endsWith(QLatin1String(":/")));
    EXPECT_EQ(volumes.homeVolumeRoot(), QDir::homePath().left(1).toUpper() + ":/");
    EXPECT_EQ(DriveList::volumeText({"E:/", "PLAYER"}, false), "e: [PLAYER]");
    EXPECT_EQ(DriveList::volumeText({"C:/", ""}, true), "c:");
    EXPECT_EQ(driveRootText("C:/"), "c:\\");
}

TEST(WindowsDrives, TheFirstLetterOfATextNamesTheDrive) {
    const SystemVolumeProvider volumes;
    EXPECT_EQ(driveNamedBy(volumes, "c: [SYSTEM]"), "C:/");
    EXPECT_EQ(driveNamedBy(volumes, "C:\\Music\\Old"), "C:/");
    EXPECT_FALSE(driveNamedBy(volumes, "1:\\").has_value());
    // A folder list opens a drive's current folder for the drive alone, never for its folders.
    EXPECT_EQ(driveAloneNamedBy(volumes, "c:"), "C:/");
    EXPECT_EQ(driveAloneNamedBy(volumes, "c:\\"), "C:/");
    EXPECT_FALSE(driveAloneNamedBy(volumes, "C:\\Music\\Old").has_value());
}

TEST(WindowsDrives, EachDriveKeepsItsOwnCurrentFolder) {
    const SystemVolumeProvider volumes;
    const QString here = QDir::cleanPath(QCoreApplication::applicationDirPath());
    ASSERT_TRUE(QDir::setCurrent(here));
    const QString drive = here.left(1).toUpper() + ":/";
    EXPECT_EQ(volumes.currentFolder(drive).toUpper(), here.toUpper());
}

TEST(WindowsPlaces, HoldingFolderAndFreeSpaceAreThoseOfDriveC) {
    EXPECT_EQ(defaultHoldingFolder(), "C:\\QUAVEXTemp");
    EXPECT_EQ(driveRootOf("C:\\Music\\Old"), "C:\\");
    EXPECT_GT(DiskFreeKB(driveRootOf("C:\\Music\\Old")), 0);
}

TEST_F(WindowsSettings, ExitWritesTheSevenToTheUsersRegistryKeyAndTheNextStartRestoresThem) {
    const QString folder = root("player") + QStringLiteral("/Old Music, Album");
    QDir().mkpath(folder);
    {
        auto form = start();
        form->Dir1->setPath(music("disk"));
        form->drvOp1->setDrive(root("player"));
        form->dirOp1->setPath(folder);
        form->drvOp2->setDrive(root("card"));
        form->dirOp2->setPath(music("card"));
        form->chkWarn->setValue(0);
        form->cmdExit->click();
    }
    const QString key = testUserKey() + QStringLiteral("\\Software\\QUAVEX\\Settings");
    const std::pair<const char*, QString> written[] = {
        {"drvIp", root("disk")},        {"dirIp", music("disk")},
        {"drvOp1", root("player")},     {"dirOp1", folder},
        {"drvOp2", root("card")},       {"dirOp2", music("card")},
        {"MvWarn", QStringLiteral("0")}};
    for (const auto& [name, value] : written) {
        const QString line = QStringLiteral("%1 REG_SZ %2")
                                 .arg(QLatin1String(name), QDir::toNativeSeparators(value));
        EXPECT_TRUE(registryQuery(key, QLatin1String(name)).contains(line))
            << registryQuery(key, QLatin1String(name)).toStdString();
    }

    auto again = start();
    EXPECT_EQ(again->Dir1->Path(), music("disk"));
    EXPECT_EQ(again->dirOp1->Path(), folder);
    EXPECT_EQ(again->dirOp2->Path(), music("card"));
    EXPECT_EQ(again->chkWarn->Value(), 0);
}

TEST_F(WindowsSettings, OkWritesTheOptionsToTheirOwnRegistryKeyAndTheNextStartRestoresThem) {
    {
        auto form = start();
        chooseOptions(*form, [](OptionsDialog& dialog) { dialog.megabytesFree->setValue(250); });
    }
    const QString key = testUserKey() + QStringLiteral("\\Software\\QUAVEX\\Options");
    for (const char* line :
         {"RotationMemory REG_SZ 1", "MegabytesFree REG_SZ 250", "MusicTypes REG_SZ mp3;wma"}) {
        const QString name = QString::fromLatin1(line).section(QLatin1Char(' '), 0, 0);
        EXPECT_TRUE(registryQuery(key, name).contains(QLatin1String(line)))
            << registryQuery(key, name).toStdString();
    }
    EXPECT_EQ(start()->CurrentOptions.megabytesFree, 250);
}

TEST_F(WindowsSettings, AFolderSavedWithTheDriveLetterInSmallLettersOpens) {
    store("drvIp", QDir::toNativeSeparators(root("disk")).toLower());
    store("dirIp", QDir::toNativeSeparators(music("disk")).replace(0, 1, "c"));

    auto form = start();
    EXPECT_EQ(form->Drive1->Drive(), root("disk"));
    EXPECT_EQ(form->Dir1->Path(), music("disk"));
}

TEST(WindowsFolderLock, HoldsTheFolderUnderEverySpellingOfItsPath) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FolderLock first(folder.path());
    ASSERT_TRUE(first.take());
    {
        FolderLock second(QDir::toNativeSeparators(folder.path()).toLower());
        EXPECT_FALSE(second.take());
    }
    FolderLock other(QCoreApplication::applicationDirPath());
    EXPECT_TRUE(other.take());
}
