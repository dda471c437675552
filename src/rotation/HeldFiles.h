#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class Form1;

// What the run does with files in the holding folder beyond the plain restore: files left there
// by an earlier run go back into the music folder before anything else, and files that a restore
// could not move back are reported instead of a plain success.

// Returns what an earlier run left in the holding folder to the music folder. True when the
// holding folder is now empty; otherwise the user has been told where the files are kept and the
// run must not touch any player folder.
bool returnLeftoverFiles(Form1& form);

// After the restore: when files are still held, appends a line saying so and shows a warning with
// their count, the first names and the holding folder.
void reportFilesStillHeld(Form1& form);

// The status line and the warning message for files that stay in the holding folder.
QString stillHeldLine(std::int64_t count, const QString& holdingFolder);
QString stillHeldMessage(const QStringList& names, const QString& holdingFolder);
