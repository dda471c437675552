#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class FileSystemObject;
class NamePattern;
struct VolumeTraits;

// Music in subfolders: a file below a folder is known by its path relative to that folder, with
// "/" between the parts ("Artist/Album/01 Song.mp3"), and keeps that path wherever it goes: onto
// the player, into the holding folder and back into the music folder. Folders are walked without
// following links and without leaving their volume.

// The files below the folder whose names match, the folder's own first, then each subfolder's in
// turn, both in name order. The skipped folders are never walked into: the run's other folders
// (music, holding and player folders), where one lies below this one, are not its music.
std::vector<QString> filesUnder(FileSystemObject& fso, const QString& folder,
                                const NamePattern& names, const QStringList& skipped);

// The files in the subfolders of the folder, whatever their names; not those directly in it.
std::vector<QString> filesInSubfolders(FileSystemObject& fso, const QString& folder,
                                       const QStringList& skipped = {});

// The folder part of a relative path, empty for a file directly in its folder.
QString folderOf(const QString& relative);

// Why a volume with these traits cannot hold the folders of the relative path, or an empty text.
QString folderNameProblemOn(const VolumeTraits& traits, const QString& relative);
