#pragma once

#include <QMap>
#include <QString>

class FileSystemObject;

// Which music folder each file in the holding folder came from, as the player's record said when
// a clearing held it (SongOrigins.h). Kept in the user's own state folder beside the record of
// the held files (quavex/held-origins, with the holding folder it is about), so that files held
// by a run that was stopped or killed still go back to their own music folders at the next run.
// Written before the clearing moves the files; a record that cannot be read or written sends
// every held file to the run's music folder, as without one.

// Held file name -> the music folder it came from; empty when this user has no record for the
// holding folder.
QMap<QString, QString> heldOrigins(FileSystemObject& fso, const QString& holdingFolder);

// Records the origins, flushed to the disk; false when they could not be written.
bool recordHeldOrigins(FileSystemObject& fso, const QString& holdingFolder,
                       const QMap<QString, QString>& origins);

// Removes the record, once the holding folder holds none of this user's files.
void forgetHeldOrigins(FileSystemObject& fso);
