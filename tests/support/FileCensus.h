#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <set>
#include <utility>

// What a run must conserve: every file directly in the given folders, as (name, content hash),
// hidden files included, a player's record of its songs' origins left out. A folder named twice
// (both player panes on one folder) is read once, and a missing folder holds nothing.
using FileCensus = std::multiset<std::pair<QString, QByteArray>>;
FileCensus censusOf(const QStringList& folders);

// Our temporary files (half-written copies) anywhere in the given folders.
QStringList ownTemporariesIn(const QStringList& folders);
