#include "rotation/HeldTree.h"

#include "fs/AppError.h"
#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "rotation/EmptiedFolders.h"
#include "rotation/HeldFileReturn.h"
#include "rotation/MusicTree.h"

QStringList returnHeldTree(FileSystemObject& fso, const QString& holding, const QString& music) {
    QStringList newNames;
    EmptiedFolders emptied(holding);
    for (const QString& file : filesInSubfolders(fso, holding)) {
        const QString folder = folderOf(file);
        emptied.noteMovedOutOf(folder);
        try {
            fso.MakeSubfolders(music, folder);
        } catch (const AppError&) {
            // Kept held, and said so with the others still held.
            continue;
        }
        const HeldFileReturn done = returnHeldFile(
            fso, joinPath(holding, folder), splitAtLastSlash(file).name, joinPath(music, folder));
        if (done.outcome == HeldFileReturn::Outcome::Renamed)
            newNames.append(folder + QLatin1Char('/') + done.name);
    }
    emptied.removeEmpty(fso);
    return newNames;
}
