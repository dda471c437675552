#pragma once

struct FsFolder;
struct Options;
class RotationMemory;

// The music a clearing took from a player folder goes back to the music folder, and counts as out
// in this cycle: it has just been on the player.
void markMusicOut(RotationMemory& memory, const FsFolder& folder, const Options& options);
