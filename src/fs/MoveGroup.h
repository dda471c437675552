#pragma once

#include "fs/FileSystemObject.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QSet>
#include <cstdint>
#include <memory>
#include <vector>

class StagedMove;
class SystemCalls;

// Moves across volumes whose copies are made and then settle together, so that a device flush
// serves many files: the copies are flushed (one syncfs per volume, or one fsync per file where
// only that reaches the device), the group is recorded in the journal of moves (MoveJournal),
// each copy is published under its final name without replacing, each destination folder is
// flushed once, and only then are the sources deleted. A source is still deleted only after its
// own copy is flushed, published and its folder flushed.
//
// A group that cannot be settled is taken back whole: copies removed, published ones too, every
// source where it was; the failure is the first one, naming its file (or, where a published copy
// cannot be removed, that file, which is then in both places). A copy whose name is taken when it
// is to be published (in another letter case, or by a folder) fails alone: its copy is removed,
// its source stays, and the others go on. When a source cannot be deleted, its published copy is
// removed again once it is found to hold the same bytes, the other sources are deleted all the
// same, and the first such failure follows. Each file that stayed where it was while its group
// settled is kept for takeFailures(); one whose copy could not be removed again counts as settled.
class MoveGroup {
public:
    // A group settles once it holds this many files, this many bytes of copies, or its oldest copy
    // is this old.
    static constexpr int MostFiles = 64;
    static constexpr std::int64_t MostBytes = 64LL << 20;
    static constexpr int MostAgeMs = 500;

    explicit MoveGroup(SystemCalls& calls);
    ~MoveGroup();
    MoveGroup(const MoveGroup&) = delete;
    MoveGroup& operator=(const MoveGroup&) = delete;

    // Takes a move whose copy start() has made; settles the group when it is full or old enough.
    void add(std::unique_ptr<StagedMove> move);
    // Settles every waiting move; nothing happens when none waits.
    void settle();
    // Settles every waiting move, and once every group since the last finish has settled whole,
    // flushes the folders of their sources and empties the journal of moves.
    void finish();
    bool empty() const { return m_moves.empty(); }
    // How many moves have settled in the life of the group, in the order they were added: their
    // copies are published and flushed, whether or not their sources could be deleted.
    std::int64_t settled() const { return m_settled; }
    // The moves that failed alone while their groups settled, since the last call.
    std::vector<FailedMove> takeFailures();

private:
    void flushCopies(std::vector<std::unique_ptr<StagedMove>>& moves);
    void publish(std::vector<std::unique_ptr<StagedMove>>& moves);
    void deleteSources(const std::vector<std::unique_ptr<StagedMove>>& moves);
    void takeBack(std::vector<std::unique_ptr<StagedMove>>& moves);

    SystemCalls& m_calls;
    std::vector<std::unique_ptr<StagedMove>> m_moves;
    std::int64_t m_bytes = 0;
    QElapsedTimer m_sinceOldest;
    std::int64_t m_settled = 0;
    std::vector<FailedMove> m_failures;
    // The folders of the sources deleted since the journal was last emptied.
    QSet<QByteArray> m_sourceFolders;
    // A group failed since then: the journal stays for the next start.
    bool m_journalNeeded = false;
};
