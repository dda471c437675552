#pragma once

#include <QByteArray>
#include <QString>

// A path split at its last "/": the folder ("/" for a file at the root, "." when there is no "/")
// and the name after it (empty when the path ends in "/").
struct SplitPath {
    QString folder;
    QString name;
};
SplitPath splitAtLastSlash(const QString& path);

// The folder and the name with exactly one "/" between them.
QString joinPath(const QString& folder, const QString& name);

// The folder of a path given as bytes: all before its last "/", or "/" for a file at the root.
QByteArray folderOfPath(const QByteArray& path);

// A path as a message or a status line shows it: with the platform's separator ("E:\Music" on
// Windows), a drive alone with its root's ("E:\").
QString shownPath(const QString& path);
