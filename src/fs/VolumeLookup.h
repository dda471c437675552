#pragma once

#include "fs/Volume.h"

#include <QString>

// The root of the volume that holds the path: the longest volume root that the path lies under.
// Empty when no volume holds it.
QString volumeRootOf(const VolumeProvider& volumes, const QString& path);
QString volumeRootOf(const std::vector<Volume>& volumes, const QString& path);
