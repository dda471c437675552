#include "rotation/HeldTree.h"

#include "fs/AppError.h"
#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "rotation/EmptiedFolders.h"
#include "rotation/HeldFileReturn.h"
#include "rotation/MusicTree.h"
#include "rotation/OwnLibraries.h"

namespace {

// Moves one held file back under the music folder at its folder there; Kept when the folder
// cannot be made.
HeldFileReturn returnTo(FileSystemObject& fso, const QString& holding, const QString& folder,
                        const QString& name, const QString& music) {
    try {
        fso.MakeSubfolders(music, folder);
    } catch (const AppError&) {
        return {HeldFileReturn::Outcome::Kept, name};
    }
    return returnHeldFile(fso, joinPath(holding, folder), name, joinPath(music, folder));
}

} // namespace

QStringList returnHeldTree(FileSystemObject& fso, const QString& holding, const QString& music,
                           const QMap<QString, QString>& origins, HomeFolders& homes,
                           QMap<QString, qsizetype>& byFolder) {
    QStringList newNames;
    EmptiedFolders emptied(holding);
    for (const QString& file : filesInSubfolders(fso, holding)) {
        const QString folder = folderOf(file);
        const QString name = splitAtLastSlash(file).name;
        emptied.noteMovedOutOf(folder);
        QString home = homes.of(origins.value(file));
        HeldFileReturn done = returnTo(fso, holding, folder, name, home);
        if (done.outcome == HeldFileReturn::Outcome::Kept && home != music) {
            home = music;
            done = returnTo(fso, holding, folder, name, music);
        }
        // Kept held, and said so with the others still held.
        if (done.outcome == HeldFileReturn::Outcome::Kept)
            continue;
        ++byFolder[home];
        if (done.outcome == HeldFileReturn::Outcome::Renamed)
            newNames.append(folder + QLatin1Char('/') + done.name);
    }
    emptied.removeEmpty(fso);
    return newNames;
}
