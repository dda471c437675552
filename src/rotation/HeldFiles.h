#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class Form1;

// What the run does with files in the holding folder: they go back into the music folder one by
// one, a clash never stopping the others (HeldFileReturn.h); files left there by an earlier run go
// back before anything else, and files that could not be moved back are reported instead of a
// plain success.

struct FsFolder;

// Moves every file of the holding folder as listed into the music folder; when any went back
// under a new name, appends one line saying how many and which.
void returnHeldFiles(Form1& form, const FsFolder& held, const QString& music);

// Returns what an earlier run left in the holding folder to the music folder of the run that held
// them (HeldLibrary.h), or to the one Dir1 shows when none is recorded; a line after the run's
// completion says so when that is another folder. True when the holding folder is now empty;
// otherwise the user has been told where the files are kept (also when their own music folder is
// not there now) and the run must not touch any player folder.
bool returnLeftoverFiles(Form1& form);

// After the restore: when anything but files is in the holding folder, appends a line naming it;
// when files are still held, appends a line saying so and shows a warning with their count, the
// first names and the holding folder.
void reportFilesStillHeld(Form1& form);

// The line for files that went back under new names, and the status line and the warning message
// for files that stay in the holding folder.
QString renamedLine(const QStringList& newNames);
QString stillHeldLine(std::int64_t count, const QString& holdingFolder);
QString stillHeldMessage(const QStringList& names, const QString& holdingFolder);
