#pragma once

#include "fs/Volume.h"

#include <QString>
#include <optional>

// A drive letter text, "C", "C:" or "C:\" with any letter: it names the home volume.
bool isDriveLetterText(const QString& text);

// The path without trailing "/"; only the root "/" keeps one.
QString withoutTrailingSlash(const QString& path);

// The root of the volume the text names, or nothing when the text names no mounted volume. On
// Linux a root path (trailing "/" ignored) or a drive letter text; on Windows a drive's root in
// any letter case, else any text whose first letter is a drive's.
std::optional<QString> driveNamedBy(const VolumeProvider& volumes, const QString& text);

// The root of the drive when the text names a drive and no folder below its root: what a folder
// list opens at the drive's current folder. On Linux as driveNamedBy; on Windows a drive's root
// in any letter case, or a drive letter text ("C", "C:", "C:\").
std::optional<QString> driveAloneNamedBy(const VolumeProvider& volumes, const QString& text);

// The root a drive text would name were its drive there: on Linux the root path (a drive letter
// text names the home volume's), on Windows the letter's root ("E:/"). Empty when the text names
// no drive at all.
QString rootOfAbsentDrive(const VolumeProvider& volumes, const QString& text);

// The root as the top row of its folder list shows it: the path itself on Linux, "c:\" on
// Windows.
QString driveRootText(const QString& root);

// The path with its drive spelt as the drive lists spell their roots: on Windows the letter in
// capitals ("C:/Music" for "c:/Music", as older settings hold it); unchanged on Linux.
QString withDriveSpelling(const QString& path);
