#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class FolderHandle;

// The names in one folder that changed since the journal was last read, kept by the kernel
// (inotify) between two reads. Only used on local file systems whose change notices are complete;
// elsewhere (FUSE, network shares, folders that ignore letter case) it stays inactive and the
// owner reads the whole folder instead.
class FolderJournal {
public:
    FolderJournal() = default;
    FolderJournal(FolderJournal&& other) noexcept;
    FolderJournal& operator=(FolderJournal&& other) noexcept;
    FolderJournal(const FolderJournal&) = delete;
    FolderJournal& operator=(const FolderJournal&) = delete;
    ~FolderJournal();

    // Starts a fresh journal for the open folder; call it before reading the folder, so that no
    // change made during the read is missed. Stays inactive where the journal cannot be trusted.
    void start(const QString& path, const FolderHandle& folder);
    bool isActive() const { return m_fd >= 0; }

    // The names that had any change since the last call, each once, given the folder opened
    // again by its path. Nothing when the journal has lost track (its queue overflowed, the
    // folder was moved, deleted, replaced, mounted over, unmounted or its own permissions
    // changed); the journal is then inactive.
    std::optional<std::vector<QByteArray>> takeChanges(const FolderHandle& folder);

    // Whether change notices on this folder's file system are complete and names are exact.
    static bool isTrustworthy(const FolderHandle& folder);

private:
    void stop();

    int m_fd = -1;
    unsigned long long m_device = 0;
    unsigned long long m_inode = 0;
};
