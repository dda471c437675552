#pragma once

#include <QString>
#include <memory>

class KnownVolumes;
class SystemCalls;

// Moves one regular file to a full destination path so that the file exists under one of its two
// names at every moment, and never under none. Never replaces an existing file; on a case-
// insensitive volume a name differing only in letter case is an existing name, also when it is
// the source itself. On the same volume the file is renamed; across volumes it is copied into a
// temporary file of ours next to the destination, flushed to the device, published under the
// final name and only then deleted at the source, keeping its modification time. Every failure is
// an AppError; after one the source is where it was, and the final name holds nothing of ours,
// except when only the source's deletion failed: then the file exists in both places and the
// error says so. What the move finds out about the destination's volume goes into volumes, for
// the next move there.
void moveFileSafely(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
                    const QString& destination);

// The same move in two steps, so that a move of many files can copy the next file while this one
// is flushed. start() checks, and either moves the file at once (a rename on one volume, then it
// returns true) or copies it into a temporary file of ours. finish() flushes that copy, publishes
// it without replacing, flushes its folder and only then deletes the source. A copy dropped
// unfinished is removed, leaving the source as it was. Each step may run on its own thread, one
// at a time.
class StagedMove {
public:
    StagedMove(SystemCalls& calls, KnownVolumes& volumes, const QString& source,
               const QString& destination);
    ~StagedMove();
    StagedMove(const StagedMove&) = delete;
    StagedMove& operator=(const StagedMove&) = delete;

    bool start();
    void finish();

private:
    class Steps;
    std::unique_ptr<Steps> m_move;
};
