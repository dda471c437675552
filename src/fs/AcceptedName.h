#pragma once

#include <QString>

// A name that a FAT-like file system takes (FatNames.h), as close to the given one as can be:
// each refused or control character becomes "_", a trailing dot or space becomes "_", and "_"
// follows a reserved device name ("CON.mp3" becomes "CON_.mp3"). A name already taken is given
// back as it is.
QString fatAcceptedName(const QString& name);
