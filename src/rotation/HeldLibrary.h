#pragma once

#include <QString>

// Which music folder the files in the holding folder belong to, kept beside it in
// "<holding folder>.library", so that files held by a run that was stopped go back to their own
// music folder even when the next run is made from another one. Written before a run holds any
// file and removed with the holding folder.

// The recorded music folder; empty when none is recorded (a holding folder of an older version).
QString heldFilesLibrary(const QString& holdingFolder);

// Records the music folder, flushed to the disk. A record that cannot be written is skipped: the
// next run then returns any held files to its own music folder, as without one.
void recordHeldFilesLibrary(const QString& holdingFolder, const QString& musicFolder);

void forgetHeldFilesLibrary(const QString& holdingFolder);
