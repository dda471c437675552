#pragma once

#include "fs/AppError.h"
#include "fs/FreeSpaceQuery.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct FsFile {
    QString Name; // name with extension, no folder
};

// A folder as GetFolder saw it: each file directly in it once, subfolders not included.
struct FsFolder {
    QString Path;
    std::vector<FsFile> Files;
    // The names of what else is directly in it (subfolders, links), which no move takes along.
    std::vector<QString> Others;
};

// A move begun by MoveInGroup that did not settle while its group did, and why: its name was taken
// when its copy was to be published (that file's own failure), or its source could not be deleted
// and its copy was removed again. Its source is where it was, the only one.
struct FailedMove {
    QString source;
    AppError error;
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
    // The moves of a fill or a clearing, which settle in groups. A move of one file as MoveFile
    // makes it, except that a move across volumes, once its copy is made, may wait to settle
    // together with others: the copies are flushed together, published, their folders flushed
    // once, and only then the sources deleted. The file counts as moved once SettledMoves counts
    // it. Waiting moves settle when their group is full (64 files or 64 MiB) or its oldest copy
    // half a second old, at SettleMoves, and before any other call of this object. When this
    // file's own checks or copy fail, the waiting moves settle first and their failure comes
    // first. A group that cannot settle is taken back whole (every source where it was) and
    // fails with the error of its first failing file. A file whose name is taken when its copy is
    // published fails alone: the others settle, and TakeFailedMoves names it. A source that cannot
    // be deleted fails the group's settling after the other files have settled.
    virtual void MoveInGroup(const QString& source, const QString& destination) = 0;
    virtual void SettleMoves() = 0;
    // How many moves begun by MoveInGroup have settled, in the order they were begun, those that
    // failed (TakeFailedMoves) left out.
    virtual std::int64_t SettledMoves() const = 0;
    // The moves begun by MoveInGroup that failed while their group settled, since the last call.
    virtual std::vector<FailedMove> TakeFailedMoves() = 0;
    // Deletes the file `duplicate` when `original` is another file with the same size and bytes;
    // false, deleting nothing, when it is not.
    virtual bool DeleteDuplicate(const QString& duplicate, const QString& original) = 0;
    virtual void CreateFolder(const QString& path) = 0;
    // The folders directly in the folder that lie on its own volume, sorted by name: no link or
    // junction to a folder, no mount point of another volume.
    virtual std::vector<QString> GetSubfolders(const QString& path) = 0;
    // Makes the folders of `relative` ("Artist/Album") under `root` that are missing, outermost
    // first, each only while `root` is still the folder pinned there. Unlike the other calls it
    // leaves the moves waiting as they are: a fill into many folders would otherwise settle its
    // group at each new one. A file where a folder should be fails as that file's own trouble.
    virtual void MakeSubfolders(const QString& root, const QString& relative) = 0;
    // Holds the run to the folder as it is now: a later move into it fails with DeviceUnavailable
    // rather than land in another folder under the same path (the bare mount point of a drive
    // unplugged since). A folder that cannot be looked at now is not pinned.
    virtual void PinFolder(const QString& path) = 0;
    // Whether the path still names a folder, and the one pinned there if it was pinned.
    virtual bool FolderInPlace(const QString& path) = 0;
    // Fails while the folder still holds anything.
    virtual void DeleteFolder(const QString& path) = 0;

    // The program's own small records, in a player folder or in the user's state folder
    // (RecordFile.h): read whole, the bytes empty when the record is missing and nothing when it
    // cannot be read; written anew into an existing folder so that the record holds its old bytes
    // or its new ones; removed. Writing and removing answer false when they failed.
    virtual std::optional<QByteArray> ReadRecord(const QString& path) = 0;
    virtual bool WriteRecord(const QString& path, const QByteArray& bytes) = 0;
    virtual bool RemoveRecord(const QString& path) = 0;
    // The free space of the drive whose root the text names (DriveRoot.h). Like MakeSubfolders it
    // leaves the moves waiting as they are: a fill shows the space left as it goes.
    virtual FreeSpace FreeSpaceOf(const QString& root) = 0;
    // Completes what a run that was killed left: its last group of moves from the journal, then
    // its recorded temporaries removed. Fails with what kept either from being done.
    virtual void FinishKilledRun() = 0;
};

// Called by the run driver at the start of each run; tests put failing objects in here.
using FileSystemFactory = std::function<std::unique_ptr<FileSystemObject>()>;
