#pragma once

#include "fs/PathText.h"

#include <QString>

// The pattern that names every file directly in the folder.
inline QString everyFileIn(const QString& folder) {
    return joinPath(folder, QStringLiteral("*.*"));
}
