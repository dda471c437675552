#pragma once

#include <QString>

class SystemCalls;

// Deletes the file `duplicate` when `original` is another file with the same size and the same
// bytes, read side by side in chunks; returns whether it did. A path naming the very same file
// (the same folder twice, a link) is never a duplicate of itself. Fails with an AppError when
// either file cannot be read or the deletion fails; then nothing has been deleted.
bool removeDuplicate(SystemCalls& calls, const QString& duplicate, const QString& original);

// Whether removeDuplicate would delete `duplicate`, deleting nothing; the same failures.
bool isDuplicate(SystemCalls& calls, const QString& duplicate, const QString& original);
