#pragma once

#include <QString>
#include <vector>

struct FsFolder;
struct Options;
class RotationMemory;

// The music a clearing took from a player folder goes back to the music folder, and counts as out
// in this cycle: it has just been on the player. With music in subfolders, so does the music of
// its subfolders (relative paths), known by those paths.
void markMusicOut(RotationMemory& memory, const FsFolder& folder,
                  const std::vector<QString>& inSubfolders, const Options& options);
