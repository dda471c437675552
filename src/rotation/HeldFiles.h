#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class MusicRotation;

// What the run does with files in the holding folder (the window calls it the temporary
// directory): they go back into the music folder one by one, a clash never stopping the others
// (HeldFileReturn.h); files left there by an earlier run go back before anything else, and files
// that could not be moved back are reported instead of a plain success.

struct FsFolder;

// Who left the files in the holding folder: this run, or one that was stopped or killed.
enum class HeldBy { ThisRun, AnEarlierRun };

// What went back from the holding folder: the new names of the files that went back under new
// names, and how many files went into each folder.
struct HeldFilesReturned {
    QStringList renamed;
    QMap<QString, qsizetype> byFolder;
};

// Moves every file of the holding folder as listed into the music folder, or into its own music
// folder when one is recorded for it (HeldOrigins.h, OwnLibraries.h); a file its own folder
// refuses goes into the music folder. With tree, the files of its subfolders go into the same
// folders under the music folder (HeldTree.h).
HeldFilesReturned returnHeldFiles(MusicRotation& form, const FsFolder& held, const QString& music,
                                  bool tree);

// How many files the holding folder holds, as listed, and with tree those in its subfolders too.
qsizetype heldFileCount(MusicRotation& form, const FsFolder& held, bool tree);

// Returns what an earlier run left in the holding folder to the music folder of the run that held
// them (HeldLibrary.h), or to the run's music folder when none is recorded; a line after the run's
// completion says so when that is another folder, and names the files that went back under new
// names. True when the holding folder is now empty; otherwise the user has been told where the
// files are kept (also when their own music folder is not there now) and the run must not touch
// any player folder.
bool returnLeftoverFiles(MusicRotation& form);

// What stays in the holding folder after the restore: the files by name, and the lines that say
// so (one for anything but files, one for the files).
struct StillHeld {
    QStringList files;
    QStringList lines;
};
StillHeld whatStaysHeld(MusicRotation& form);

// The warning with the count of files still held, their first names and the holding folder.
void warnOfFilesStillHeld(MusicRotation& form, const QStringList& files);

// The line for files that went back under new names, and the status line and the warning message
// for files that stay in the holding folder.
QString renamedLine(const QStringList& newNames, HeldBy heldBy);
// The line for the files that went back to their own music folders, those of byFolder other than
// `current`; empty when there are none.
QString ownFoldersLine(const QMap<QString, qsizetype>& byFolder, const QString& current,
                       HeldBy heldBy);
QString stillHeldLine(qsizetype count, const QString& holdingFolder);
QString stillHeldMessage(const QStringList& names, const QString& holdingFolder);
