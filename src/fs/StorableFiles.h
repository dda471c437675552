#pragma once

#include "fs/VolumeTraits.h"

#include <QString>

// Why a volume with these traits cannot store a file under this name, in plain words, or an empty
// text when it can: FAT's refused characters and reserved names (FatNames.h), and on volumes that
// keep names as UTF-16 a name holding bytes that are not text.
QString nameProblemOn(const VolumeTraits& traits, const QString& name);

// Whether a volume with these traits can store the file at the path under the file's own name and
// at its size. A file whose size cannot be read counts as storable: its move reports the trouble.
bool volumeCanStore(const VolumeTraits& traits, const QString& path);
