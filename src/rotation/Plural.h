#pragma once

#include <QString>

// A count with its noun in the right number: "1 file", "2 files", "0 files".
QString countOf(qint64 count, const QString& singular, const QString& plural);

// The same for files, the noun most messages count.
QString filesCount(qint64 count);

// The verb that agrees with a count: "is" for one, "are" for any other number.
QString isOrAre(qint64 count);
