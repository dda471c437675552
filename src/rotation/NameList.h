#pragma once

#include <QString>
#include <QStringList>

// The first names of a list, joined with ", ", and ", ..." when there are more: how the run's
// lines name the files they count without growing past the status box.
QString firstNames(const QStringList& names, qsizetype shown);
