#include "rotation/TreeClearing.h"

#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "rotation/EmptiedFolders.h"
#include "rotation/MusicTree.h"
#include "rotation/RunPaths.h"

void clearSubfolders(FileSystemObject& fso, const QString& player,
                     const std::vector<QString>& files, const QString& holding) {
    EmptiedFolders emptied(player);
    try {
        QString last;
        for (const QString& file : files) {
            const QString folder = folderOf(file);
            if (folder == last)
                continue;
            last = folder;
            emptied.noteMovedOutOf(folder);
            fso.MakeSubfolders(holding, folder);
            fso.MoveFile(everyFileIn(joinPath(player, folder)), joinPath(holding, folder));
        }
    } catch (...) {
        emptied.removeEmpty(fso);
        throw;
    }
    emptied.removeEmpty(fso);
}
