#include "rotation/ClearingOrigins.h"

#include "fs/FileSystemObject.h"
#include "rotation/HeldOrigins.h"
#include "rotation/MusicTree.h"

#include <QSet>
#include <optional>

namespace {

// The names of the files directly in the folder, and with inSubfolders the paths of those in its
// folders; nothing when it cannot be listed.
std::optional<QSet<QString>> fileNamesIn(FileSystemObject& fso, const QString& folder,
                                         bool inSubfolders = false) {
    try {
        QSet<QString> names;
        for (const FsFile& file : fso.GetFolder(folder).Files)
            names.insert(file.Name);
        if (inSubfolders)
            for (const QString& file : filesInSubfolders(fso, folder))
                names.insert(file);
        return names;
    } catch (const AppError&) {
        return std::nullopt;
    }
}

} // namespace

SongOrigins holdOrigins(FileSystemObject& fso, const QString& playerFolder, const FsFolder& files,
                        const std::vector<QString>& inSubfolders, const QString& holdingFolder) {
    SongOrigins record = readSongOrigins(fso, playerFolder).value_or(SongOrigins{});
    // Without the holding folder's names the record of held files is left as it is; the move is
    // bound to fail too.
    const std::optional<QSet<QString>> held = fileNamesIn(fso, holdingFolder, true);
    if (!held)
        return record;
    const QMap<QString, QString> before = heldOrigins(fso, holdingFolder);
    // A line of a file that is not held (its move failed, or never came) must not go with a
    // file of that name that another clearing holds later.
    QMap<QString, QString> after;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (held->contains(it.key()))
            after.insert(it.key(), it.value());
    QStringList names;
    for (const FsFile& file : files.Files)
        names.append(file.Name);
    names.append(QStringList(inSubfolders.begin(), inSubfolders.end()));
    for (const QString& name : names) {
        const QString origin = record.of(name);
        if (!held->contains(name) && !origin.isEmpty())
            after.insert(name, origin);
    }
    if (after == before)
        return record;
    // Not kept, the files go to the run's music folder, as files without a record do.
    if (after.isEmpty())
        forgetHeldOrigins(fso);
    else
        recordHeldOrigins(fso, holdingFolder, after);
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
        writeSongOrigins(fso, playerFolder, kept);
}
