#pragma once

#include <QString>

// The text to hand to DiskFreeKB for a folder: on Windows its first three characters ("E:\"),
// elsewhere the folder itself, since the free-space query takes any path on the volume.
QString driveRootOf(const QString& folder);
