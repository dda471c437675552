#include "app/SettingsStore.h"

#include "app/Form1.h"
#include "app/GuardedStep.h"
#include "app/SettingsBackend.h"
#include "controls/DriveList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/PathText.h"

#include <QDir>
#include <QLocale>
#include <cmath>
#include <limits>

namespace {

const QString Section = QStringLiteral("Settings");
const QString DrvIp = QStringLiteral("drvIp");
const QString DirIp = QStringLiteral("dirIp");
const QString DrvOp1 = QStringLiteral("drvOp1");
const QString DirOp1 = QStringLiteral("dirOp1");
const QString DrvOp2 = QStringLiteral("drvOp2");
const QString DirOp2 = QStringLiteral("dirOp2");
const QString MvWarn = QStringLiteral("MvWarn");
// Beside the seven: the identity of each player folder's volume, under the folder's key.
const QString VolumesSection = QStringLiteral("Volumes");
// Beside them too: whether each player folder was ticked at EXIT, for the command line's runs.
const QString TicksSection = QStringLiteral("Ticks");

// Nothing saved yet is not a folder: the folder chooser stays where the drive left it. A saved
// folder off the saved drive cannot be opened, the root of another volume among them: the pair
// would name one disk in the drive list and another in the folder list.
void openFolder(FolderList& folder, const QString& path) {
    if (path.isEmpty())
        return;
    if (folder.namesOtherDrive(path))
        throw AppError(
            ErrorNumber::PathNotFound, QStringLiteral("Saved settings:"),
            QStringLiteral("Path not found: %1 is not on the saved drive.").arg(shownPath(path)));
    folder.setPath(path);
}

} // namespace

SettingsStore::SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

QString SettingsStore::read(const QString& key, const QString& fallback) const {
    return m_backend.read(settingsApplication(), Section, key).value_or(fallback);
}

void SettingsStore::restoreAll(Form1& form) {
    restorePane(*form.Drive1, *form.Dir1, DrvIp, DirIp, QStringLiteral("C"));
    restorePlayerPane(form, 1, DrvOp1, DirOp1);
    restorePlayerPane(form, 2, DrvOp2, DirOp2);
    runGuarded(
        [&] { form.chkWarn->setValue(tickValueFromText(read(MvWarn, QStringLiteral("1")))); });
}

bool SettingsStore::restorePane(DriveList& drive, FolderList& folder, const QString& driveKey,
                                const QString& folderKey, const QString& defaultDrive) {
    // A saved folder lies on the drive saved with it. When that drive is gone, the folder is
    // skipped too, even if an empty mount point of the same name is still there to open.
    const bool driveRestored = runGuarded([&] { drive.setDrive(read(driveKey, defaultDrive)); });
    if (driveRestored)
        runGuarded([&] { openFolder(folder, read(folderKey, {})); });
    return driveRestored;
}

// A player whose drive is not there is waited for: the pane never falls back to a folder of
// another drive, which a run would then clear.
void SettingsStore::restorePlayerPane(Form1& form, std::uint8_t which, const QString& driveKey,
                                      const QString& folderKey) {
    const PlayerPane pane = form.playerPane(which);
    const QString defaultDrive = QStringLiteral("C:\\");
    if (!restorePane(*pane.drive, *pane.dir, driveKey, folderKey, defaultDrive))
        runGuarded(
            [&] { form.awaitPlayer(which, read(driveKey, defaultDrive), read(folderKey, {})); });
    const QString volume =
        m_backend.read(settingsApplication(), VolumesSection, folderKey).value_or(QString());
    if (!volume.isEmpty())
        form.run().Players[which - 1].volume = volume;
}

std::vector<AppError> SettingsStore::saveAll(const Form1& form) {
    // Paths are stored with the platform's separator, as its users write them ("E:\Music" on
    // Windows); the seven values come first, in their order.
    const SettingsValue stored[] = {
        {Section, DrvIp, QDir::toNativeSeparators(form.Drive1->Drive())},
        {Section, DirIp, QDir::toNativeSeparators(form.Dir1->Path())},
        {Section, DrvOp1, QDir::toNativeSeparators(form.drvOp1->Drive())},
        {Section, DirOp1, QDir::toNativeSeparators(form.playerFolderToSave(1))},
        {Section, DrvOp2, QDir::toNativeSeparators(form.drvOp2->Drive())},
        {Section, DirOp2, QDir::toNativeSeparators(form.playerFolderToSave(2))},
        {Section, MvWarn, QString::number(form.chkWarn->Value())},
        {VolumesSection, DirOp1, form.run().Players[0].volume},
        {VolumesSection, DirOp2, form.run().Players[1].volume},
        {TicksSection, DirOp1, QString::number(form.chk1->Value())},
        {TicksSection, DirOp2, QString::number(form.chk2->Value())},
    };
    return writeEach(m_backend, stored, QStringLiteral("Saved settings:"));
}

SavedFolders readSavedFolders(SettingsBackend& backend) {
    const auto read = [&](const QString& section, const QString& key,
                          const QString& fallback = QString()) {
        try {
            return backend.read(settingsApplication(), section, key).value_or(fallback);
        } catch (const std::exception&) {
            return QString();
        }
    };
    SavedFolders saved;
    saved.music = read(Section, DirIp);
    const QString keys[2][2] = {{DrvOp1, DirOp1}, {DrvOp2, DirOp2}};
    for (int i = 0; i < 2; ++i) {
        SavedFolders::Player& player = saved.players[i];
        player.drive = read(Section, keys[i][0]);
        player.folder = read(Section, keys[i][1]);
        player.volume = read(VolumesSection, keys[i][1]);
        player.ticked = read(TicksSection, keys[i][1]) == QLatin1String("1");
    }
    try {
        saved.doNotWarn = tickValueFromText(read(Section, MvWarn, QStringLiteral("1"))) == 1;
    } catch (const AppError&) {
        // Not a number: the confirmation is asked for, as the window's tick box stays unticked.
    }
    return saved;
}

std::int16_t tickValueFromText(const QString& text) {
    bool isNumber = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &isNumber);
    if (!isNumber || !std::isfinite(number))
        throw AppError(ErrorNumber::TypeMismatch, QStringLiteral("Saved settings:"),
                       QStringLiteral("\"%1\" is not a number.").arg(text));
    // The default rounding mode rounds halves to even.
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        throw AppError(ErrorNumber::Overflow, QStringLiteral("Saved settings:"),
                       QStringLiteral("%1 does not fit in 16 bits.").arg(text));
    return static_cast<std::int16_t>(rounded);
}
