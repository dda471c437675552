#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class FileSystemObject;

// Which songs of one music folder have been out on a player in the current cycle: those a fill
// moved there and those a clearing brought back. A song is known by a 64-bit hash of its name, so
// a library of a million songs costs 8 MB in memory and on disk. It is a hint and never costs a
// song: a record that is missing, damaged or of another version reads as an empty cycle, and one
// that cannot be written is simply not kept.
class RotationMemory {
public:
    // The music folder's record in the user's state folder; an empty cycle when there is none or
    // it cannot be read.
    explicit RotationMemory(QString musicFolder);

    void markOut(const QString& name);
    // Moves the names out in this cycle from the candidates to the returned list; both keep their
    // order.
    std::vector<QString> setAsideOut(std::vector<QString>& candidates);
    // Every song is in again, except those this run has marked.
    void beginNewCycle();
    std::size_t outCount();
    // Writes the record anew through the run's file-system object, atomically; false when it
    // could not. The record is read when the memory is made, before the run writes anything.
    bool save(FileSystemObject& fso);

    const QString& recordPath() const { return m_record; }

private:
    // Folds the marks made since the last fold into the sorted set.
    void fold();

    QString m_musicFolder;
    QString m_record;
    std::vector<std::uint64_t> m_out;   // sorted, without repeats
    std::vector<std::uint64_t> m_marks; // this run's, in the order made
    std::size_t m_folded = 0;
};

// The run's memory for the music folder, or none when the option is off.
std::unique_ptr<RotationMemory> openRotationMemory(bool wanted, const QString& musicFolder);
