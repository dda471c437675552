#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small helpers for tests on real folders: whole files in and out, and a folder's names.
void writeTestFile(const QString& path, const QByteArray& content);
QByteArray readTestFile(const QString& path);
// Every name directly in the folder, sorted, hidden ones included.
QStringList namesInFolder(const QString& folder);
// Bytes that differ from file to file and position to position, so that a misplaced chunk shows.
QByteArray patternBytes(qint64 size, int seed);
