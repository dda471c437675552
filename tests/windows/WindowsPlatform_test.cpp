#include "app/HoldingFolder.h"
#include "app/QSettingsBackend.h"
#include "controls/DriveList.h"
#include "controls/DriveText.h"
#include "fs/DriveRoot.h"
#include "fs/Module1.h"
#include "fs/SystemVolumes.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
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
}

TEST(WindowsDrives, TheFirstLetterOfATextNamesTheDrive) {
    const SystemVolumeProvider volumes;
    EXPECT_EQ(driveNamedBy(volumes, "c: [SYSTEM]"), "C:/");
    EXPECT_EQ(driveNamedBy(volumes, "C:\\Music\\Old"), "C:/");
    EXPECT_FALSE(driveNamedBy(volumes, "1:\\").has_value());
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

TEST(WindowsSettings, AreWrittenToTheUsersRegistryKey) {
    const QString application =
        QStringLiteral("QUAVEX-test-%1").arg(QCoreApplication::applicationPid());
    const QString key = QStringLiteral("HKCU\\Software\\%1\\Settings").arg(application);
    QSettingsBackend settings;

    settings.write(application, "Settings", "MusicFolder", "C:\\Music\\New");

    EXPECT_TRUE(registryQuery(key, "MusicFolder").contains("MusicFolder REG_SZ C:\\Music\\New"))
        << registryQuery(key, "MusicFolder").toStdString();
    QProcess::execute(QStringLiteral("reg.exe"),
                      {QStringLiteral("delete"),
                       QStringLiteral("HKCU\\Software\\%1").arg(application),
                       QStringLiteral("/f")});
}
