#pragma once

#include <QStringList>

class MusicRotation;

// The folders a run works in, as its face shows them now: the music folder, the holding folder
// and the ticked player folders.
QStringList runFolders(MusicRotation& run);
