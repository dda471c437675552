#pragma once

#include "fs/VolumeTraits.h"

#include <QString>

// Why a volume with these traits cannot store a file under this name, in plain words, or an empty
// text when it can: FAT's refused characters and reserved names (FatNames.h), and on volumes that
// keep names as UTF-16 a name holding bytes that are not text.
QString nameProblemOn(const VolumeTraits& traits, const QString& name);

// A name that every volume with FAT's rules takes, as close to the given one as can be: each
// refused or control character and each byte that is not text becomes "_", a trailing dot or space
// becomes "_", and "_" follows a reserved device name ("CON.mp3" becomes "CON_.mp3"). A name such
// volumes already take is given back as it is.
QString fatAcceptedName(const QString& name);

// Why a volume with these traits cannot store the file at the path under the file's own name or at
// its size, in a few words ("a reserved name", "larger than 4 GiB"); empty when it can. A file
// whose size cannot be read counts as storable: its move reports the trouble.
QString whyVolumeCannotStore(const VolumeTraits& traits, const QString& path);
