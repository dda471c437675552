#pragma once

#include <QString>

// The word that agrees with a count: the first for one, the second for any other number.
QString forCount(qint64 count, const QString& one, const QString& other);

// A count with its noun in the right number: "1 file", "2 files", "0 files".
QString countOf(qint64 count, const QString& singular, const QString& plural);

// The same for files, the noun most messages count.
QString filesCount(qint64 count);

// The same for "is" and "are", the verb most messages agree.
QString isOrAre(qint64 count);
