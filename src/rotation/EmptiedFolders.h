#pragma once

#include <QString>
#include <set>

class FileSystemObject;

// The folders below a root that a run moved files out of. Once the moves are done, each of them
// that is empty now is removed, deepest first, and with it each folder above it that held nothing
// else; never the root itself, and never a folder that still holds anything.
class EmptiedFolders {
public:
    explicit EmptiedFolders(QString root) : m_root(std::move(root)) {}

    // The folder of a file moved out, relative to the root; the root itself is never noted.
    void noteMovedOutOf(const QString& relativeFolder);
    // A folder that cannot be removed stays, silently: it holds what the run did not move, or its
    // drive is gone, and either way it is where the user left it.
    void removeEmpty(FileSystemObject& fso);

private:
    QString m_root;
    std::set<QString> m_folders;
};
