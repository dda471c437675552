#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

// The journal of moves that settle in groups (MoveGroup): $XDG_STATE_HOME/quavex/moves, beside the
// journal of temporary files. A group is recorded before its first copy is published, so that a
// crash between the publications and the deletions of the sources, which leaves those files in
// two places, is completed at the next start.

// A move as the journal keeps it: the source's path, the destination's and that of its flushed
// copy not yet published (none where there is no such copy), as bytes.
struct RecordedMove {
    QByteArray source;
    QByteArray destination;
    QByteArray temporary = {};
};

QString moveJournal();

// Appends the moves and flushes the journal to the disk. An AppError when that fails: the group
// must then publish nothing.
void recordMoves(const std::vector<RecordedMove>& moves);

// Empties the journal of the moves recorded since the start completed it, once every recorded
// group has settled and the deletions of its sources are on the disk; what that start kept stays.
void forgetRecordedMoves();

// Completes what a killed run left: where a recorded source is still there and a file of the same
// bytes is under its destination's name, the destination's folder is flushed and the source
// deleted. Where the source is gone and its copy is still under its temporary name (its
// publication did not reach the disk before the source's deletion did), the copy is published;
// where its name is taken meanwhile, the copy stays and so does its line.
// Any other copy never published is not looked at here; it is a temporary file of ours and goes
// with those (removeRecordedTemporaries), which must come after this. The journal then keeps only
// the moves that could not be settled, as where the source's or the destination's folder is not
// there now (a card taken out). Anything that fails is left for the next start, silently: both
// names still hold the music.
void completeInterruptedMoves();

// The file names of the copies the journal still names: a copy whose source is gone may hold the
// only music of its name, so removeRecordedTemporaries leaves it. None when the journal is there
// but cannot be read: then no copy can be told from a stray temporary.
std::optional<QSet<QByteArray>> copiesStillRecorded();
