#pragma once

#include <QString>

// Paths the run builds: a folder and a name with one "/" between them, none added where the folder
// already ends in one (a volume root).
inline QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

// The pattern that names every file directly in the folder.
inline QString everyFileIn(const QString& folder) {
    return joinPath(folder, QStringLiteral("*.*"));
}
