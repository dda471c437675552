#pragma once

#include <QString>
#include <memory>

// An advisory lock on a folder for as long as the object lives, taken on the open folder itself:
// it holds across users and copies of the program on this machine, FUSE cards included, where
// the kernel keeps the lock. The system drops it when the process ends, however it ends.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock without waiting: false only when another holder has it. A folder that
    // cannot be opened is not locked and counts as free; its run reports it when it reads it.
    bool take();

private:
    // What keeps the lock while it is held: the open folder on Linux, a named kernel object on
    // Windows.
    struct Hold;
    QString m_folder;
    std::unique_ptr<Hold> m_hold;
};
