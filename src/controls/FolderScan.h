#pragma once

#include "fs/AppError.h"

#include <QString>
#include <functional>

// An entry's type as the folder listing tells it; Unknown where the file system does not say.
enum class EntryType : unsigned char { Unknown, File, Folder, Link, Other };

enum class EntryKind { File, Folder, Other, Missing };

// An open folder, for listing it and looking at its entries by name.
class FolderHandle {
public:
    FolderHandle() = default;
    // Opens the folder for listing; on failure the handle is empty and error holds errno.
    FolderHandle(const QString& path, int& error);
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    ~FolderHandle();

    bool isOpen() const;
#ifdef Q_OS_UNIX
    int fd() const {
        return m_fd;
    }
#endif

    // Calls visit with each entry's name (UTF-8) and type, "." and ".." left out. Returns 0, or
    // errno when the folder could not be read to its end.
    int readEntries(const std::function<void(const char* name, EntryType type)>& visit) const;

    // What the named entry is. A symbolic link is Other unless followLinks, then it is what it
    // points to. An entry that cannot be examined counts as Missing.
    EntryKind kindOf(const char* name, EntryType type, bool followLinks) const;

private:
    // What the entry is, asked of the file system.
    EntryKind lookUp(const char* name, bool followLinks) const;

#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    QString m_path;
#endif
};

// The error for a folder that could not be opened or read, by errno: path not found, permission
// denied, device unavailable (a stale or vanished mount) or a plain access error.
AppError folderError(int error, const QString& source, const QString& path);

// The absolute, cleaned form of a folder text; only the root "/" ends in "/".
QString absoluteFolder(const QString& text);
