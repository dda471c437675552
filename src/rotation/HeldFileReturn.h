#pragma once

#include <QString>

class FileSystemObject;

// How one held file went back into the music folder.
struct HeldFileReturn {
    enum class Outcome {
        Returned,  // under its own name
        Renamed,   // under the new name given
        Duplicate, // the music folder had the same bytes under that name; the held copy is gone
        Kept,      // it could not be moved at all and stays in the holding folder
    };
    Outcome outcome = Outcome::Kept;
    QString name;
};

// Moves one file of the holding folder into the music folder, never stopping at a clash. A name
// that the music folder already holds with the same bytes is a copy left by an interrupted move,
// and the held file is deleted; with other content, the file goes back under the first free name
// of the form "Name (2).mp3", "Name (3).mp3", ... (free in any letter case on a volume that
// ignores case). A name the music folder's volume refuses is first made one it takes. Only a
// failure of another kind (an I/O error, no room) keeps the file held.
HeldFileReturn returnHeldFile(FileSystemObject& fso, const QString& holdingFolder,
                              const QString& name, const QString& musicFolder);

// "Name (n).ext", or "Name (n)" for a name without an extension.
QString numberedName(const QString& name, int number);
