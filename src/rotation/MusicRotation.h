#pragma once

#include "fs/FileSystemObject.h"
#include "fs/Volume.h"
#include "rotation/LeftOutFiles.h"
#include "rotation/Options.h"
#include "rotation/RandomSource.h"
#include "rotation/RotationMemory.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class RunFace;

// What the run reaches outside itself beside its face.
struct RunServices {
    std::shared_ptr<VolumeProvider> volumes;
    FileSystemFactory createFileSystem;
    std::shared_ptr<RandomSource> random;
    QString holdingFolder;
};

// What is known of a player folder beyond its path (index: which - 1).
struct PlayerChoice {
    // The identity of the volume its drive was chosen on (VolumeProvider::identityOf): a run
    // asks before it clears a folder from another volume under the same drive. Empty when it
    // cannot be told.
    QString volume;
    // A saved player whose drive was not there at start: its drive and folder as saved. The
    // pane says it is not plugged in, a run leaves it out, and neither falls back to a folder of
    // another drive. Empty once its drive or another is chosen.
    QString awaitedDrive;
    QString awaitedFolder;
};

// How a run ended, for a face that reports it (a console's exit status): the whole run (the
// player full, or the music run out); ended early (Break, a failure, a player folder not cleared
// or not filled, files left out or still held); or nothing done (refused before the players, or
// every player folder left out).
enum class RunEnd { Whole, EndedEarly, NothingDone };

// The music rotation: the run started by Select (or a console) and stopped by Break, with what
// it keeps between its steps and between runs. It shows and asks everything through its face.
class MusicRotation {
public:
    MusicRotation(RunFace& face, RunServices services)
        : m_face(face), m_services(std::move(services)) {}

    RunFace& face() const { return m_face; }
    const RunServices& services() const { return m_services; }

    // One whole run, from the start to the end however it ends.
    void Go();
    void ClearPlayer(std::uint8_t which);
    void FillPlayer(std::uint8_t which);

    // Set by the face at a yield (Break); cleared at the start of each run.
    bool StopRequested = false;
    // True from the first to the last step of a run; keeps Select disabled and refuses EXIT.
    bool RunInProgress = false;
    std::unique_ptr<FileSystemObject> Fso;
    // The music files this run's fills left out of their draw because the player cannot store
    // them, each with the reason in a few words, and that no fill has moved since.
    std::vector<NotMovedFile> LeftOutOfDraw;
    // The music files a fill tried but could not move for a reason of their own (a name taken on
    // the player, a song that cannot be read), and that no fill has moved since.
    std::vector<NotMovedFile> NotMoved;
    // What went otherwise than planned, said once more after the run's completion line, since
    // later steps replace the status text.
    QStringList ReportLines;
    // The options the user chose.
    Options CurrentOptions;
    // The run's memory of the songs out in this cycle; none when the option is off.
    std::unique_ptr<RotationMemory> Rotation;
    // Why the last fill ended before the player was full or the music ran out, in a sentence;
    // empty when it did not (Break included, which the run says itself).
    QString FillStopped;
    PlayerChoice Players[2];
    RunEnd LastRunEnd = RunEnd::NothingDone;

private:
    RunFace& m_face;
    RunServices m_services;
};
