#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small helpers for tests on real folders: files made and read whole, and a folder's names. Each
// throws when the file system refuses, so a test never goes on with a folder it did not set up.

inline constexpr qint64 KiB = 1024;
inline constexpr qint64 MiB = 1024 * KiB;

// An empty file, made without truncating one already there; quick enough for folders of many
// thousands of files.
void touch(const QString& path);
// A file of the given size whose content is unique to its name.
void writeFile(const QString& path, qint64 size = 64);
// Files of that kind with the given names in the folder.
void writeFiles(const QString& folder, const QStringList& names);
void writeTestFile(const QString& path, const QByteArray& content);
// The file's bytes, or "<missing>" when it cannot be opened.
QByteArray readTestFile(const QString& path);
bool isReadableFile(const QString& path);
// Every name directly in the folder (with filesOnly, of regular files and links to them), sorted,
// hidden ones included; names hold their bytes as FileNameCodec.h does.
QStringList namesInFolder(const QString& folder, bool filesOnly = false);
// Removes the folder and everything in it, names that are not text included (QDir cannot name
// them); for the destructors of temporary folders.
void removeTree(const QString& folder);
// Bytes that differ from file to file and position to position, so that a misplaced chunk shows.
QByteArray patternBytes(qint64 size, int seed);
