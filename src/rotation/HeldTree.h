#pragma once

#include <QMap>
#include <QStringList>

class FileSystemObject;
class HomeFolders;

// The restore with music in subfolders: each file in the holding folder's subfolders goes back to
// the same folder under its own music folder (homes, by its recorded origin), or under the music
// folder when it has none there or that one refuses it; the folder is made where it is missing,
// and the file goes in by the rule of HeldFileReturn.h within it. The holding folder's subfolders
// this emptied are removed. A file whose folder cannot be made stays held. Gives the paths,
// relative to their music folder, of the files that went back under new names, and counts the
// files that went into each music folder in byFolder.
QStringList returnHeldTree(FileSystemObject& fso, const QString& holding, const QString& music,
                           const QMap<QString, QString>& origins, HomeFolders& homes,
                           QMap<QString, qsizetype>& byFolder);
