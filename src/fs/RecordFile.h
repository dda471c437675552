#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A small file of the program's own kept in a folder of the user's, such as a player folder:
// read whole, and written anew so that it holds either its old bytes or its new ones, never part
// of either. Paths use "/" and may hold bytes that are not text (FileNameCodec.h).

// The file's bytes, none when it is missing; nothing when it is there and cannot be read to its
// end (a folder of that name, a read error).
std::optional<QByteArray> readRecordFile(const QString& path);

// Writes the bytes into a recorded temporary of ours in the folder (OwnTemporaries.h), flushes
// it, renames it over the file `name` and flushes the folder. False when any step failed: up to
// the rename the file keeps what it held and the temporary goes (or, should removing it fail too,
// is left to the next start, which removes recorded temporaries); after it, only the flush of the
// folder failed.
bool replaceRecordFile(const QString& folder, const QString& name, const QByteArray& bytes);

// Removes the file; false when it is still there.
bool removeRecordFile(const QString& path);
