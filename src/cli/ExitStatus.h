#pragma once

// How `quavex --rotate` ends, for the script or scheduler that started it.
enum class ExitStatus : int {
    // The whole run: cleared, filled until full or out of music, held files back.
    WholeRun = 0,
    // The run ended early (Break, a failure) or left a player folder out; the reasons are on
    // stderr.
    EndedEarly = 1,
    // The command line could not be understood; nothing was moved.
    BadUsage = 2,
    // Nothing was done: another run holds the folders, the player is not there, or the run was
    // refused.
    NothingDone = 3,
};
