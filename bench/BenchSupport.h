#pragma once

// What the benchmark programs share: files to move, a main window on chosen folders, timing, and
// the peer tools measured against.
#include "app/Form1.h"
#include "fs/FileSystemObject.h"
#include "fs/Volume.h"
#include "support/ForwardingFileSystem.h"
#include "support/OwnStateFolder.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

constexpr qint64 KiB = 1024;
constexpr qint64 MiB = KiB * 1024;

// Prints why on stderr, prefixed with the program's name, and ends the program.
[[noreturn]] void fail(const QString& why);

// Files of the given size named stem000000.mp3 upwards, each with its own first bytes.
void makeFiles(const QString& folder, const QString& stem, int count, qint64 size);
// The files of the folder by name, a player's record of its songs' origins left out.
QStringList namesIn(const QString& folder);
QStringList pathsIn(const QString& folder, const QStringList& names);

double timeMs(const std::function<void()>& step);
// Milliseconds since the first call, on one clock for the whole program.
double programMs();
// Runs a tool to its end; ends the program when it fails.
void runTool(const QString& program, const QStringList& arguments);

// When one move began and ended, in ms since the program started.
struct MoveSpan {
    double startMs;
    double endMs;
};

// The real file-system object, timing each single-file move; the moves of a fill settle in
// groups as they do without it, and the last one's span ends when the fill's last group settled.
class TimedMoves : public ForwardingFileSystem {
public:
    explicit TimedMoves(std::vector<MoveSpan>* moves) : m_moves(moves) {}
    void MoveFile(const QString& source, const QString& destination) override;
    void MoveInGroup(const QString& source, const QString& destination) override;
    void SettleMoves() override;
    std::int64_t SettledMoves() const override;

private:
    std::vector<MoveSpan>* m_moves;
};

// A main window whose Select runs from the music folder into the player folder with the real
// file-system object; the drives are the folders named, each as its own volume.
struct BenchWindow {
    BenchWindow(const QStringList& drives, const QString& music, const QString& player,
                const QString& holding, FileSystemFactory factory,
                std::function<void()> onYield = {});
    std::unique_ptr<Form1> form;
};
