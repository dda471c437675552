#pragma once

#include <QString>
#include <vector>

class FileSystemObject;

// Clearing with music in subfolders: the files in the player folder's subfolders (relative paths,
// as filesInSubfolders gives them) go into the same folders under the holding folder, one wildcard
// move per folder, each stopping at its first failing file; then the player's folders this
// emptied are removed. A failure ends it and passes to the caller, as in the flat clearing; the
// folders already emptied are removed all the same.
void clearSubfolders(FileSystemObject& fso, const QString& player,
                     const std::vector<QString>& files, const QString& holding);
