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
    // One file's move as MoveFile makes it, in two calls, so that a fill can prepare and copy the
    // next file while this one is flushed. BeginMove returns once the file is moved or copied into
    // its destination folder; a failure of its own leaves the file where it was. SettleMoves,
    // called after each BeginMove whether it failed or not, waits for the move begun before it to
    // end and raises that move's failure, then taking back the copy begun since. Otherwise the copy
    // begun since goes on in the background: flushed, published without replacing, its folder
    // flushed, and only then its source deleted. A last SettleMoves ends the last move. While a
    // move is in the background the object takes no other call. Here the whole move is made by
    // BeginMove.
    virtual void BeginMove(const QString& source, const QString& destination) {
        MoveFile(source, destination);
    }
    virtual void SettleMoves() {}
    // Deletes the file `duplicate` when `original` is another file with the same size and bytes;
    // false, deleting nothing, when it is not.
    virtual bool DeleteDuplicate(const QString& duplicate, const QString& original) = 0;
    virtual void CreateFolder(const QString& path) = 0;
    // Fails while the folder still holds anything.
    virtual void DeleteFolder(const QString& path) = 0;
};

// Called by the run driver at the start of each run; tests put failing objects in here.
using FileSystemFactory = std::function<std::unique_ptr<FileSystemObject>()>;
