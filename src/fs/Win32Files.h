#pragma once

#include <QString>

// How the system-call seam reads Windows' answers; Windows only.

// The errno that stands for a Win32 error in the seam's POSIX contract.
int errnoForWindowsError(unsigned long error);

// What a folder entry is to the program, by its attributes and, for a reparse point, its tag.
// Only name surrogates (symbolic links, junctions) are links; a cloud file or any other reparse
// point is the file or folder it shows. Windows' own hidden system files (desktop.ini, Thumbs.db)
// belong to the folder, not to its music: they are Other, never moved.
enum class WindowsEntry { File, Folder, Link, Other };
WindowsEntry windowsEntryOf(unsigned long attributes, unsigned long reparseTag);

// The path in the form Win32 takes at any length: absolute, with "\" and the "\\?\" prefix
// ("\\?\UNC\" for a network path). Relative paths are made absolute first, since the prefix
// turns off Windows' own resolving of ".", ".." and "/".
QString extendedLengthPath(const QString& path);
