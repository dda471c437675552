#pragma once

#include <QString>
#include <vector>

class FileSystemObject;
class RotationMemory;
struct FsFolder;
struct Options;
struct SongOrigins;

// The music a clearing took from a player folder goes back to a music folder, and counts as out
// in this cycle of that library: it has just been on the player. The run's memory takes the songs
// that go to the run's music folder; a song that goes home to another (OwnLibraries.h) is marked
// in that library's own memory, written at once. Songs of subfolders are known by their paths.
void markMusicOut(RotationMemory& runMemory, FileSystemObject& fso, const FsFolder& folder,
                  const std::vector<QString>& inSubfolders, const Options& options,
                  const SongOrigins& origins, const QString& runFolder);
