#pragma once

#include <QString>

// The text to hand to DiskFreeKB for a folder: on Windows its first three characters ("E:\"),
// elsewhere the folder itself, since the free-space query takes any path on the volume.
QString driveRootOf(const QString& folder);

// The root of the drive the system runs from: "/", or "C:/" (%SystemDrive%) on Windows.
QString systemDriveRoot();

// How a message says that a drive is there for the program: "mounted" on Linux, "connected" on
// Windows, whose users never mount a drive.
QString driveThereWord();
