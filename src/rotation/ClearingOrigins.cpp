#include "rotation/ClearingOrigins.h"

#include "fs/FileSystemObject.h"
#include "rotation/HeldOrigins.h"

#include <QSet>
#include <optional>

namespace {

// The names of the files directly in the folder; nothing when it cannot be listed.
std::optional<QSet<QString>> fileNamesIn(FileSystemObject& fso, const QString& folder) {
    try {
        QSet<QString> names;
        for (const FsFile& file : fso.GetFolder(folder).Files)
            names.insert(file.Name);
        return names;
    } catch (const AppError&) {
        return std::nullopt;
    }
}

} // namespace

SongOrigins holdOrigins(FileSystemObject& fso, const QString& playerFolder, const FsFolder& files,
                        const QString& holdingFolder) {
    SongOrigins record = readSongOrigins(playerFolder).value_or(SongOrigins{});
    // Without the holding folder's names the record of held files is left as it is; the move is
    // bound to fail too.
    const std::optional<QSet<QString>> held = fileNamesIn(fso, holdingFolder);
    if (!held)
        return record;
    const QMap<QString, QString> before = heldOrigins(holdingFolder);
    // A line of a file that is not held (its move failed, or never came) must not go with a
    // file of that name that another clearing holds later.
    QMap<QString, QString> after;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (held->contains(it.key()))
            after.insert(it.key(), it.value());
    for (const FsFile& file : files.Files) {
        const QString origin = record.of(file.Name);
        if (!held->contains(file.Name) && !origin.isEmpty())
            after.insert(file.Name, origin);
    }
    if (after == before)
        return record;
    // Not kept, the files go to the run's music folder, as files without a record do.
    if (after.isEmpty())
        forgetHeldOrigins();
    else
        recordHeldOrigins(holdingFolder, after);
    return record;
}

void dropClearedSongs(FileSystemObject& fso, const QString& playerFolder,
                      const SongOrigins& record) {
    if (record.isEmpty() || !fso.FolderInPlace(playerFolder))
        return;
    const std::optional<QSet<QString>> present = fileNamesIn(fso, playerFolder);
    if (!present)
        return;
    SongOrigins kept;
    if (!present->isEmpty()) {
        kept = record;
        kept.keepOnly(*present);
    }
    if (kept != record)
        writeSongOrigins(playerFolder, kept);
}
