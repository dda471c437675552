#pragma once

#include <QString>
#include <QStringList>

// The first names of a list, joined by the separator, and "..." when there are more: how the run's
// lines and warnings name the files they count without growing past the status box.
QString firstNames(const QStringList& names, qsizetype shown,
                   const QString& separator = QStringLiteral(", "));
