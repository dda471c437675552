#pragma once

#include "fs/FreeSpaceQuery.h"

#include <QString>
#include <QtGlobal>

// Splits a path at the last separator into its folder and its file's base name, and the base name
// from the extension after the last "." (with separator "/", a "." before the last "/" is not an
// extension). `extension` may be null: the caller leaves it out and fileName keeps its extension.
// Where the path has no separator, folder and fileName are not written. A path whose last "."
// stands before its last separator (other than "/") fails with InvalidArgument after extension
// was written. `separator` is a single character; any other text fails with InvalidArgument
// before anything is written.
void ParsePath(const QString& path, QString& folder, QString& fileName, QString* extension,
               const QString& separator);

// The free space of the drive whose root the text names, in kilobytes of 1024 bytes, rounded to
// the nearest whole number with halves going to the even neighbour; 0 when the query fails.
// A cluster size that does not fit a signed 32-bit number fails with Overflow.
qint64 DiskFreeKB(const QString& root);
qint64 DiskFreeKB(const QString& root, const FreeSpaceQuery& query);
