#include "app/HoldingFolder.h"
#include "controls/DriveList.h"
#include "controls/DriveText.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/DriveRoot.h"
#include "fs/FolderLock.h"
#include "fs/Module1.h"
#include "fs/SystemVolumes.h"
#include "fs/Win32Files.h"
#include "support/OptionsByHand.h"
#include "support/StartupWindow.h"
#include "support/TestRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <tuple>
#include <windows.h>

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

// A card reader whose card was taken out keeps its letter: scripts/test --windows names in
// QUAVEX_TEST_ABSENT_DRIVE a letter whose folder is not there, as Wine has it.
TEST(WindowsDrives, ADriveLetterWithoutItsMediumIsNotPluggedIn) {
    const QString absent = qEnvironmentVariable("QUAVEX_TEST_ABSENT_DRIVE");
    if (absent.isEmpty())
        GTEST_SKIP() << "no drive without its medium was given";
    EXPECT_EQ(SystemVolumeProvider().placeOf(absent + "/Music", absent + "/"),
              FolderPlace::NotMounted);
}

// What Windows answers, in the words of the seam's POSIX contract: a file in use, a full FAT root
// or folder, a quota, a card reader without its card, a name the drive refuses (never a volume
// that refuses renames without replacing), a cloud file that could not be downloaded.
TEST(WindowsAnswers, EachWindowsErrorReadsAsWhatHappened) {
    const std::pair<unsigned long, int> answers[] = {{ERROR_SHARING_VIOLATION, EBUSY},
                                                     {ERROR_LOCK_VIOLATION, EBUSY},
                                                     {ERROR_DELETE_PENDING, EBUSY},
                                                     {ERROR_CANNOT_MAKE, ENOSPC},
                                                     {1295, EDQUOT},
                                                     {ERROR_NOT_READY, ENOMEDIUM},
                                                     {ERROR_NO_MEDIA_IN_DRIVE, ENOMEDIUM},
                                                     {ERROR_INVALID_NAME, EILSEQ},
                                                     {388, ENOLINK},
                                                     {ERROR_ACCESS_DENIED, EACCES}};
    for (const auto& [error, expected] : answers)
        EXPECT_EQ(errnoForWindowsError(error), expected) << error;
}

// Only symbolic links and junctions are links: a OneDrive file is the file it shows.
TEST(WindowsAnswers, OnlyNameSurrogatesAreLinks) {
    constexpr unsigned long Reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    constexpr unsigned long CloudFile = IO_REPARSE_TAG_CLOUD_6;
    constexpr unsigned long HiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const std::tuple<unsigned long, unsigned long, WindowsEntry> entries[] = {
        {Reparse, IO_REPARSE_TAG_SYMLINK, WindowsEntry::Link},
        {Reparse | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_MOUNT_POINT, WindowsEntry::Link},
        {Reparse | FILE_ATTRIBUTE_OFFLINE, CloudFile, WindowsEntry::File},
        {Reparse | FILE_ATTRIBUTE_DIRECTORY, CloudFile, WindowsEntry::Folder},
        {HiddenSystem | FILE_ATTRIBUTE_ARCHIVE, 0, WindowsEntry::Other},
        {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, 0, WindowsEntry::File}};
    for (const auto& [attributes, tag, expected] : entries)
        EXPECT_EQ(windowsEntryOf(attributes, tag), expected) << attributes << " " << tag;
}

TEST(WindowsAnswers, EveryPathGoesToWindowsWithTheLongPathPrefix) {
    const QString here = QDir::toNativeSeparators(QDir::currentPath());
    const std::pair<QString, QString> paths[] = {
        {"C:/Music/Song.mp3", R"(\\?\C:\Music\Song.mp3)"},
        // A name that ends in a dot or a space is the file's own, never trimmed.
        {"C:/Music/Song. ", R"(\\?\C:\Music\Song. )"},
        {R"(C:\Music\Old\..\Song.mp3)", R"(\\?\C:\Music\Song.mp3)"},
        {R"(\\server\share\Song.mp3)", R"(\\?\UNC\server\share\Song.mp3)"},
        {R"(\\?\C:\Song.mp3)", R"(\\?\C:\Song.mp3)"},
        {"Song.mp3", R"(\\?\)" + here + R"(\Song.mp3)"}};
    for (const auto& [path, expected] : paths)
        EXPECT_EQ(extendedLengthPath(path), expected);
}

// The program's manifest lets it reach paths beyond 260 characters and asks for no elevation.
TEST(WindowsAnswers, TheProgramsManifestAsksForLongPathsAsTheUser) {
    const HMODULE program = LoadLibraryExW(QString(QUAVEX_PROGRAM).toStdWString().c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const QByteArray manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                              static_cast<qsizetype>(SizeofResource(program, found)));
    FreeLibrary(program);
    EXPECT_TRUE(manifest.contains(">true</longPathAware>"));
    EXPECT_TRUE(manifest.contains(R"(level="asInvoker")"));
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
    EXPECT_EQ(start()->run().CurrentOptions.megabytesFree, 250);
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
