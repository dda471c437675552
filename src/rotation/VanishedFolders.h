#pragma once

#include <QString>

// What a run says when a folder it works in goes away mid-run, its drive unplugged: once in a
// warning box at that moment and once more after the run's completion line.

// The player went away during its fill; moved files reached it.
QString playerUnpluggedDuringFill(const QString& playerFolder, qint64 moved);

// The player went away while it was being cleared; held files reached the temporary directory,
// and have gone on to the music folder once heldReturned.
QString playerUnpluggedDuringClearing(const QString& playerFolder, qint64 held,
                                      bool heldReturned = false);

// The music folder went away during a fill; moved files reached the player.
QString musicFolderGoneDuringFill(const QString& musicFolder, qint64 moved);
