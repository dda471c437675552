#pragma once

#include "fs/RehearsalFileSystem.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// A folder of the run as the list names it: "the music folder", with its path.
struct ListedFolder {
    QString label;
    QString path;
};

// What a dry run prints: for each way files would go (from one of the run's folders to another,
// or deleted as the duplicate of a file in the music folder), a line with the count and size,
// then each file by its path in the first folder, with its name in the second where that
// differs. A file moved twice (held from the player, then returned) is
// listed once, from where it was to where it would end. The folders are named by the first of
// the run's folders that holds them, the innermost first; any other by its own path.
QStringList dryRunList(const std::vector<RehearsedMove>& moves,
                       const std::vector<ListedFolder>& folders);
