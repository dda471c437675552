#pragma once

#include <QString>

class KnownVolumes;
class SystemCalls;

// Moves one regular file to a full destination path so that the file exists under one of its two
// names at every moment, and never under none. Never replaces an existing file; on a case-
// insensitive volume a name differing only in letter case is an existing name, also when it is
// the source itself. On the same volume the file is renamed; across volumes it is copied into a
// temporary file of ours next to the destination, flushed to the device, published under the
// final name and only then deleted at the source, keeping its modification time. Every failure is
// an AppError; after one the source is where it was, and the final name holds nothing of ours,
// except when only the source's deletion failed: then the file exists in both places and the
// error says so. What the move finds out about the destination's volume goes into volumes, for
// the next move there.
void moveFileSafely(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
                    const QString& destination);
