#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>

// One rotation asked for on the command line. Each value left out is taken from what the window
// saved: its folders and the options of its Options dialog.
struct RotateRequest {
    std::optional<QString> music;
    // Given together or alone: a run with either takes only the player folders given.
    std::optional<QString> player;
    std::optional<QString> card;
    std::optional<std::int64_t> megabytesFree;
    std::optional<QStringList> musicTypes;
    bool subfolders = false;
    bool albums = false;
    bool noMemory = false;
    // The answer to the confirmation that the player folders are about to be cleared.
    bool yes = false;
    // Lists what the run would move and moves nothing.
    bool dryRun = false;
    // Waits this long for the player's volume before the run; 0 waits without end.
    std::optional<int> waitSeconds;
};

// What to do with a command line.
// Text for stdout, then exit status 0 (--help, --version).
struct PrintAndExit {
    QString text;
};
// One line for stderr, then exit status 2.
struct BadUsage {
    QString line;
};
using CommandLine = std::variant<RotateRequest, PrintAndExit, BadUsage>;

// Reads the program's arguments, the program's own name first.
CommandLine parseCommandLine(const QStringList& arguments);
