#pragma once

#include <QStringList>

class FileSystemObject;

// The restore with music in subfolders: each file in the holding folder's subfolders goes back to
// the same folder under the music folder, made where it is missing, by the rule of
// HeldFileReturn.h within that folder; the holding folder's subfolders this emptied are removed.
// A file whose folder cannot be made in the music folder stays held. Gives the paths, relative to
// the music folder, of the files that went back under new names.
QStringList returnHeldTree(FileSystemObject& fso, const QString& holding, const QString& music);
