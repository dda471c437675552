#pragma once

#include <QString>
#include <cstdint>

// The lines after a run's completion line for a player folder that was not filled or was left
// out, each with the reason; they come first, since they say what the run did not do.

// "internal memory" for player folder 1, "external card" for 2.
QString playerFolderName(std::uint8_t which);
// A fill that ended on a failure; moved files reached the folder before it.
QString notFilledLine(std::uint8_t which, qint64 moved, const QString& reason);
// A folder the run left out before its clearing or its fill.
QString leftOutOfRunLine(std::uint8_t which, const QString& reason);
// Files of the player's wait in the holding folder for the next run.
QString heldFilesWaitLine(const QString& holdingFolder);
