#pragma once

#include <QString>
#include <optional>

class FileSystemObject;

// Which music folder the files in the holding folder belong to, recorded in the user's own state
// folder (quavex/held, with the holding folder it is about), so that files held by a run that was
// stopped go back to their own music folder even when the next run is made from another one. The
// record is also what tells this user's held files from another user's: on Windows every account
// shares "C:\QUAVEXTemp". Written before a run holds any file and removed with the holding folder.

// The recorded music folder; nothing when this user has no record for the holding folder. A
// record "<holding folder>.library" beside it, as earlier versions kept it, counts as this user's.
std::optional<QString> heldFilesLibrary(FileSystemObject& fso, const QString& holdingFolder);

// Records the music folder, flushed to the disk; false when it could not be written.
bool recordHeldFilesLibrary(FileSystemObject& fso, const QString& holdingFolder,
                            const QString& musicFolder);

// Removes this user's record for the holding folder and a record of an earlier version.
void forgetHeldFilesLibrary(FileSystemObject& fso, const QString& holdingFolder);
