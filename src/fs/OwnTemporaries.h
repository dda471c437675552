#pragma once

#include <QString>

// A move across volumes writes into a temporary file of ours in the destination folder before it
// publishes the file under its final name. Such names start ".~quavex-" and end ".part", so they
// never count as music, folder listings and wildcard moves pass them by, and a later run can
// remove what a killed process left behind.
bool isOwnTemporaryName(const QString& name);

// A fresh temporary name; unique within this process and unlikely to meet another process's.
QString newOwnTemporaryName();

// Removes every file directly in the folder that carries one of our temporary names. Returns how
// many were removed; a folder that cannot be listed and files that cannot be removed are skipped
// silently, since they hold no music and the next run tries again.
int removeOwnTemporaries(const QString& folder);
