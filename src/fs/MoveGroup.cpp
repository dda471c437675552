#include "fs/MoveGroup.h"

#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/MoveJournal.h"
#include "fs/PathText.h"
#include "fs/SafeMove.h"
#include "fs/VolumeTraits.h"

#include <QThread>
#include <atomic>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace {

// What one flush reaches: where one reaches the whole device, every folder of that volume;
// elsewhere, the folder alone. A folder's path never begins with a null byte.
QByteArray flushReach(const StagedMove& move, bool wholeDevice) {
    if (!wholeDevice)
        return move.destinationFolderPath();
    return QByteArray(1, '\0') + QByteArray::number(quint64(move.destinationDevice()));
}

// Flushes the folders: 0, or the errno of a failure. Many folders (music in subfolders) are
// flushed several at a time, so that a journalling file system writes them out in a few commits
// rather than one each.
int syncFolders(SystemCalls& calls, const QSet<QByteArray>& folders) {
    constexpr qsizetype ManyFolders = 8;
    constexpr int Flushers = 16;
    const QList<QByteArray> list = folders.values();
    if (list.size() <= ManyFolders) {
        for (const QByteArray& folder : list)
            if (const int error = syncFolderOf(calls, folder); error != 0)
                return error;
        return 0;
    }
    std::atomic<qsizetype> next{0};
    std::atomic<int> failure{0};
    std::vector<std::unique_ptr<QThread>> flushers;
    for (int i = 0; i < Flushers; ++i) {
        flushers.emplace_back(QThread::create([&] {
            for (qsizetype at = next++; at < list.size() && failure == 0; at = next++)
                if (const int error = syncFolderOf(calls, list[at]); error != 0)
                    failure = error;
        }));
        flushers.back()->start();
    }
    for (const auto& flusher : flushers)
        flusher->wait();
    return failure;
}

} // namespace

MoveGroup::MoveGroup(SystemCalls& calls) : m_calls(calls) {}

// Copies still waiting are taken back by their moves: each source stays the only one.
MoveGroup::~MoveGroup() = default;

void MoveGroup::add(std::unique_ptr<StagedMove> move) {
    if (m_moves.empty())
        m_sinceOldest.start();
    m_bytes += move->copySize();
    m_moves.push_back(std::move(move));
    if (m_moves.size() >= MostFiles || m_bytes >= MostBytes || m_sinceOldest.hasExpired(MostAgeMs))
        settle();
}

void MoveGroup::settle() {
    if (m_moves.empty())
        return;
    std::vector<std::unique_ptr<StagedMove>> moves = std::move(m_moves);
    m_moves.clear();
    m_bytes = 0;
    try {
        flushCopies(moves);
        std::vector<RecordedMove> recorded;
        recorded.reserve(moves.size());
        for (const auto& move : moves)
            recorded.push_back(
                {move->sourcePath(), move->destinationPath(), move->temporaryPath()});
        recordMoves(recorded);
        publish(moves);
        // A group whose files went into many folders (music in subfolders) flushes a driver
        // that writes out the whole device for each folder (exfat-fuse) only once.
        QSet<QByteArray> flushedFolders;
        for (const auto& move : moves) {
            const QByteArray reach = flushReach(*move, move->groupFlush() == GroupFlush::AnyFile);
            if (flushedFolders.contains(reach))
                continue;
            if (const int error = move->syncFolder(); error != 0)
                move->fail(error);
            flushedFolders.insert(reach);
        }
    } catch (const AppError& error) {
        m_journalNeeded = true;
        takeBack(moves);
        // The whole group failed, not one file of it: the run stops at it.
        throw AppError(error.number(), error.source(), error.description());
    } catch (...) {
        m_journalNeeded = true;
        takeBack(moves);
        throw;
    }
    deleteSources(moves);
}

std::vector<FailedMove> MoveGroup::takeFailures() {
    return std::exchange(m_failures, {});
}

void MoveGroup::finish() {
    settle();
    if (m_journalNeeded || m_sourceFolders.isEmpty())
        return;
    // The journal may go once the deletions of the sources are on their devices.
    if (syncFolders(m_calls, m_sourceFolders) != 0)
        return;
    m_sourceFolders.clear();
    forgetRecordedMoves();
}

void MoveGroup::flushCopies(std::vector<std::unique_ptr<StagedMove>>& moves) {
    // The copies are all written; on most volumes one flush reaches every one of them there,
    // whatever folders they are in.
    QSet<QByteArray> flushed;
    for (const auto& move : moves) {
        const GroupFlush flush = move->groupFlush();
        const QByteArray reach = flushReach(*move, flush != GroupFlush::EachFile);
        const bool first = !flushed.contains(reach);
        flushed.insert(reach);
        if (flush == GroupFlush::SyncVolume && first)
            move->syncVolume();
        move->closeCopy(flush == GroupFlush::EachFile || (flush == GroupFlush::AnyFile && first));
    }
}

// Both names came from the music folder, where they differ, say, in letter case only: the clash
// shows only now, and it is the later file's own. Its copy goes and its source stays.
void MoveGroup::publish(std::vector<std::unique_ptr<StagedMove>>& moves) {
    for (auto& move : moves) {
        try {
            move->publish();
        } catch (const AppError& error) {
            if (!error.onlyThisFile())
                throw;
            move->takeBack();
            m_failures.push_back({decodeFileName(move->sourcePath()), error});
            move.reset();
        }
    }
    std::erase(moves, nullptr);
}

void MoveGroup::deleteSources(const std::vector<std::unique_ptr<StagedMove>>& moves) {
    std::exception_ptr firstFailure;
    for (const auto& move : moves) {
        try {
            move->deleteSource();
            // Its copy is published and on the device: the file has reached its destination.
            ++m_settled;
            m_sourceFolders.insert(folderOfPath(move->sourcePath()));
        } catch (const AppError& error) {
            // A copy that could not be removed again is published and on the device: the file
            // has reached its destination, and is in both places until the next start.
            if (move->published())
                ++m_settled;
            else
                m_failures.push_back({decodeFileName(move->sourcePath()), error});
            if (!firstFailure)
                firstFailure = std::current_exception();
        }
    }
    if (firstFailure) {
        // A file whose copy could not be removed again is in both places: the next start deletes
        // its source by the journal, once it finds the copy whole.
        m_journalNeeded = true;
        std::rethrow_exception(firstFailure);
    }
}

void MoveGroup::takeBack(std::vector<std::unique_ptr<StagedMove>>& moves) {
    std::exception_ptr inBothPlaces;
    for (const auto& move : moves) {
        if (!move)
            continue;
        try {
            move->takeBack();
        } catch (...) {
            if (!inBothPlaces)
                inBothPlaces = std::current_exception();
        }
    }
    moves.clear();
    // A file left in two places matters more than why the group failed.
    if (inBothPlaces)
        std::rethrow_exception(inBothPlaces);
}
