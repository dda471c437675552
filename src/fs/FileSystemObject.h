#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

struct FsFile {
    QString Name; // name with extension, no folder
};

// A folder as GetFolder saw it: each file directly in it once, subfolders not included.
struct FsFolder {
    QString Path;
    std::vector<FsFile> Files;
};

// The file-system service object a run does all its file work through. Every failure is an
// AppError. One object is used by one thread at a time, which need not be the thread that made it.
class FileSystemObject {
public:
    virtual ~FileSystemObject() = default;

    virtual bool FolderExists(const QString& path) = 0;
    // Fails when the folder is missing or cannot be listed.
    virtual FsFolder GetFolder(const QString& path) = 0;
    // One file to a full destination path, or "folder/*.*" (every file directly in the folder) into
    // an existing folder, file by file, stopping at the first file that cannot be moved. Never
    // replaces an existing file.
    virtual void MoveFile(const QString& source, const QString& destination) = 0;
    // Deletes the file `duplicate` when `original` is another file with the same size and bytes;
    // false, deleting nothing, when it is not.
    virtual bool DeleteDuplicate(const QString& duplicate, const QString& original) = 0;
    virtual void CreateFolder(const QString& path) = 0;
    // Fails while the folder still holds anything.
    virtual void DeleteFolder(const QString& path) = 0;
};

// Called by the run driver at the start of each run; tests put failing objects in here.
using FileSystemFactory = std::function<std::unique_ptr<FileSystemObject>()>;
