#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// What the user chose in the Options dialog. Each default is the program's plain behaviour, but
// for the rotation memory, which is on: it keeps every draw uniform, over the songs not yet out.
struct Options {
    // Draw from the songs that have not been out on a player in the current cycle.
    bool rotationMemory = true;
    // Room the fill leaves free on each player folder's drive.
    std::int64_t megabytesFree = 0;
    // The music files' extensions, lower case, in the order of allMusicTypes().
    QStringList musicTypes = {QStringLiteral("mp3"), QStringLiteral("wma")};
    // The music in every folder under the music folder, each song going to the player at its
    // path below it; off, only the music directly in the music folder.
    bool musicInSubfolders = false;
    // With music in subfolders: each draw takes a whole folder of songs.
    bool wholeAlbums = false;
};

// Every extension the dialog offers, in its order.
const QStringList& allMusicTypes();

// The file lists' pattern for the chosen extensions ("*.mp3;*.wma").
QString musicPattern(const Options& options);
