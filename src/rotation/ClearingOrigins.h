#pragma once

#include "rotation/SongOrigins.h"

#include <QString>
#include <vector>

class FileSystemObject;
struct FsFolder;

// What the clearing of a player folder does with the player's record of its songs' origins.

// Before the clearing's move: reads the player folder's record and keeps in the user's state
// folder (HeldOrigins.h) the origin of each of its files that the move is to hold, beside those
// of the files held already, whose names no move of this run can take again. Returns the record.
SongOrigins holdOrigins(FileSystemObject& fso, const QString& playerFolder, const FsFolder& files,
                        const std::vector<QString>& inSubfolders, const QString& holdingFolder);

// After the clearing's move: the record keeps the lines of the files still in the player folder,
// and goes when none is left, so that no line outlives its song.
void dropClearedSongs(FileSystemObject& fso, const QString& playerFolder,
                      const SongOrigins& record);
