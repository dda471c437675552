#pragma once

#include "fs/Volume.h"

#include <QString>
#include <optional>

// A drive letter text, "C", "C:" or "C:\" with any letter: it names the home volume.
bool isDriveLetterText(const QString& text);

// The path without trailing "/"; only the root "/" keeps one.
QString withoutTrailingSlash(const QString& path);

// The root of the volume the text names, or nothing when the text names no mounted volume. On
// Linux a root path (trailing "/" ignored) or a drive letter text; on Windows any text whose
// first letter is a drive's.
std::optional<QString> driveNamedBy(const VolumeProvider& volumes, const QString& text);
