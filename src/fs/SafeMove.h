#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <sys/types.h>

class KnownVolumes;
class SystemCalls;
enum class GroupFlush;

// Moves one regular file to a full destination path so that the file exists under one of its two
// names at every moment, and never under none. Never replaces an existing file; on a case-
// insensitive volume a name differing only in letter case is an existing name, also when it is
// the source itself. On the same volume the file is renamed; across volumes it is copied into a
// temporary file of ours next to the destination, flushed to the device, published under the
// final name and only then deleted at the source, keeping its modification time. Every failure is
// an AppError; after one the source is where it was, and the final name holds nothing of ours.
// A source that cannot be deleted takes its published copy back (once it holds the same bytes);
// only where that fails too is the file in both places, and the error says so. What the move finds
// out about the destination's volume goes into volumes, for the next move there.
void moveFileSafely(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
                    const QString& destination);

// Flushes a folder (its path as bytes) to the device: 0, or the errno of the failure. File systems
// that cannot flush a folder pass.
int syncFolderOf(SystemCalls& calls, const QByteArray& folder);

// The same move in steps, so that moves across volumes can settle in a group (MoveGroup). start()
// checks, and either moves the file at once (a rename on one volume, then it returns true) or
// copies it into a temporary file of ours. finish() flushes that copy, publishes it without
// replacing, flushes its folder and only then deletes the source. A group instead takes the steps
// after start() one at a time for all its moves. A copy dropped unpublished is removed, leaving
// the source as it was. Every step fails with an AppError that names the file.
class StagedMove {
public:
    StagedMove(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
               const QString& destination);
    ~StagedMove();
    StagedMove(const StagedMove&) = delete;
    StagedMove& operator=(const StagedMove&) = delete;

    bool start();
    void finish();

    // The size of the copy start() made.
    qint64 copySize() const;
    // How the copy's volume flushes a group's copies: syncVolume() once, closeCopy(true) once, or
    // closeCopy(true) for each.
    GroupFlush groupFlush() const;
    const QByteArray& sourcePath() const;
    const QByteArray& destinationPath() const;
    const QByteArray& destinationFolderPath() const;
    // The device of the destination folder, as start() found it.
    dev_t destinationDevice() const;
    // The copy's own path until it is published; empty after.
    const QByteArray& temporaryPath() const;

    // The group's steps, in this order.
    void syncVolume();
    void closeCopy(bool flush);
    void publish();
    // 0, or the errno of a failed flush of the destination folder.
    int syncFolder() const;
    // Fails with the error, naming the file.
    [[noreturn]] void fail(int error) const;
    void deleteSource();
    // Whether the copy is under its final name: from publish() on, until it is removed again.
    bool published() const;
    // Removes the copy, unpublished or published, so that the source is the only one again; fails,
    // saying that the file is now in both places, when a published copy cannot be removed.
    void takeBack();

private:
    class Steps;
    std::unique_ptr<Steps> m_move;
};
