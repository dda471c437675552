#pragma once

#include "fs/AppError.h"

#include <QString>
#include <functional>

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

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    // Calls visit with each entry's name and directory-entry type (DT_*), "." and ".." left
    // out. Returns 0, or errno when the folder could not be read to its end.
    int readEntries(const std::function<void(const char* name, unsigned char type)>& visit) const;

private:
    int m_fd = -1;
};

enum class EntryKind { File, Folder, Other, Missing };

// What the named entry of the folder is. A symbolic link is Other unless followLinks, then it
// is what it points to. An entry that cannot be examined counts as Missing.
EntryKind entryKind(int folderFd, const char* name, unsigned char type, bool followLinks);

// The error for a folder that could not be opened or read, by errno: path not found, permission
// denied, device unavailable (a stale or vanished mount) or a plain access error.
AppError folderError(int error, const QString& source, const QString& path);

// The absolute, cleaned form of a folder text; only the root "/" ends in "/".
QString absoluteFolder(const QString& text);
