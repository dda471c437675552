#pragma once

#include "fs/AppError.h"

#include <QString>
#include <cstdint>
#include <vector>

class DriveList;
class FolderList;
class Form1;
class SettingsBackend;

// The seven values the program keeps between uses: the drive and folder of each pane and the
// warning tick box, under the application "QUAVEX" and the section "Settings".
class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend);

    // Drive1, Dir1, drvOp1, dirOp1, drvOp2, dirOp2, then chkWarn. Each step is guarded on its
    // own: one that fails is skipped, its control keeps what it showed, and the next one runs.
    void restoreAll(Form1& form);
    // Writes the seven values in the same order, then the identities of the player folders'
    // volumes (section "Volumes"); a value that cannot be written does not stop the others.
    // Returns the failures.
    std::vector<AppError> saveAll(const Form1& form);

private:
    // The drive first, then the folder, each step guarded on its own; false when the drive
    // could not be restored.
    bool restorePane(DriveList& drive, FolderList& folder, const QString& driveKey,
                     const QString& folderKey, const QString& defaultDrive);
    void restorePlayerPane(Form1& form, std::uint8_t which, const QString& driveKey,
                           const QString& folderKey);
    QString read(const QString& key, const QString& fallback) const;

    SettingsBackend& m_backend;
};

// What `quavex --rotate` takes from the saved settings where its command line says nothing: the
// folders and warning option EXIT saved, the volume each player folder was chosen on, and which
// player folders were ticked.
struct SavedFolders {
    QString music;
    struct Player {
        QString drive;
        QString folder;
        QString volume;
        bool ticked = false;
    } players[2];
    // The warning option: ticked means no confirmation before the music is moved.
    bool doNotWarn = false;
};
SavedFolders readSavedFolders(SettingsBackend& backend);

// The "MvWarn" text as a number: the nearest integer, a value exactly halfway going to the even
// one. Throws AppError when the text is not a number or the result does not fit in 16 bits.
std::int16_t tickValueFromText(const QString& text);
