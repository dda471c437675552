#pragma once

#include <QString>
#include <cstdint>

// How a failed system call reads in an AppError: its number from the table in AppError.h and a
// reason in plain words that ends a description such as
// "\"Song.mp3\" could not be moved to \"/media/p/Music\": <reason>."
std::int32_t errorNumberForErrno(int error);
QString reasonForErrno(int error);

// The reason for a file that the drive would not create in a folder that exists.
QString createRefusedReason();

// True for the answers that concern one file alone, whatever the call: another program holds it,
// or it is kept online only and could not be downloaded.
bool isOneFileErrno(int error);

// True for the answers of a device that is gone or failing rather than of a file system that
// refuses one request.
bool isVanishedDeviceErrno(int error);

// What the file-system service object was doing when it failed.
enum class FsTask {
    MovingFile,
    ReadingFolder,
    MakingFolder,
    RemovingFolder,
    ComparingFiles,
    RecordingTemporaries
};

// The source text of an error the file-system service object raises: what it was doing, so that
// an error box reads "Error # 70; Moving a file: ..." rather than naming a component.
QString sourceText(FsTask task);
