#include "fs/AppError.h"
#include "fs/DriveRoot.h"
#include "fs/Module1.h"
#include "fs/NamePattern.h"
#include "fs/PathText.h"
#include "fs/StorableFiles.h"
#include "fs/VolumeTraits.h"
#include "rotation/AlbumDraw.h"
#include "rotation/EmptiedFolders.h"
#include "rotation/EyePace.h"
#include "rotation/FillOrigins.h"
#include "rotation/FolderOutcome.h"
#include "rotation/MusicRotation.h"
#include "rotation/MusicTree.h"
#include "rotation/OffUiThread.h"
#include "rotation/Options.h"
#include "rotation/RoomLeftFree.h"
#include "rotation/RotationMemory.h"
#include "rotation/RunFace.h"
#include "rotation/RunFolders.h"
#include "rotation/RunPaths.h"
#include "rotation/SignedNumber.h"
#include "rotation/StatusBox.h"
#include "rotation/VanishedFolders.h"

#include <cmath>
#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace {

// One slot per music file, in the order the folder gives them; a tried slot becomes empty.
std::vector<QString> candidatesIn(const FsFolder& folder, const NamePattern& music) {
    std::vector<QString> candidates;
    for (const FsFile& file : folder.Files)
        if (music.matches(file.Name))
            candidates.push_back(file.Name);
    return candidates;
}

// Takes out of the candidates the music that the player folder's volume cannot store under its own
// name (refused characters, bytes that are not text, a size beyond its limit) and returns those
// names with the reasons: such a file would fail its move, so it is never tried.
std::vector<NotMovedFile> leaveOutUnstorable(std::vector<QString>& candidates,
                                             const QString& musicFolder,
                                             const QString& playerFolder) {
    const VolumeTraits traits = volumeTraitsOf(playerFolder);
    std::vector<NotMovedFile> leftOut;
    std::erase_if(candidates, [&](const QString& name) {
        // With music in subfolders the name is a path, whose folders the volume must take too.
        const QString folderProblem = folderNameProblemOn(traits, name);
        const QString why = folderProblem.isEmpty()
                                ? whyVolumeCannotStore(traits, joinPath(musicFolder, name))
                                : folderProblem;
        if (why.isEmpty())
            return false;
        leftOut.push_back({name, why,
                           !folderProblem.isEmpty() ||
                               !nameProblemOn(traits, splitAtLastSlash(name).name).isEmpty()});
        return true;
    });
    return leftOut;
}

// A slot between 0 and count - 1 over the whole list, used slots included.
std::size_t draw(RandomSource& random, std::size_t count) {
    const auto slot = static_cast<std::size_t>(random.next() * static_cast<double>(count));
    // A fraction just below 1 can round up to count in the product.
    return slot < count ? slot : count - 1;
}

// Kilobytes to whole megabytes, a half going to the even neighbour, written with its sign position.
QString megabytesText(std::int64_t kilobytes) {
    return signedNumber(static_cast<std::int64_t>(std::nearbyint(kilobytes / 1024.0)));
}

// Why a music file's own failure kept it off the player, in a few words.
QString whyNotMoved(const AppError& error) {
    switch (error.number()) {
    case ErrorNumber::FileAlreadyExists:
        return QStringLiteral("its name is taken on the player");
    case ErrorNumber::FileNotFound:
        return QStringLiteral("it is no longer there");
    default:
        return QStringLiteral("it cannot be read");
    }
}

void noteLeftOut(MusicRotation& form, const NotMovedFile& file) {
    if (std::none_of(form.LeftOutOfDraw.begin(), form.LeftOutOfDraw.end(),
                     [&](const NotMovedFile& other) { return other.name == file.name; }))
        form.LeftOutOfDraw.push_back(file);
}

// Why a move found that the player cannot store a file, in the few words of the left-out line.
QString unstorableReason(const AppError& error) {
    return error.number() == ErrorNumber::FileTooLarge
               ? QStringLiteral("too large for the player")
               : QStringLiteral("a name the player refuses");
}

// Names a music file whose move failed on its own account after the run's completion line.
void noteFailedFile(MusicRotation& form, const QString& name, const AppError& error) {
    const bool unstorable =
        error.number() == ErrorNumber::BadFileName || error.number() == ErrorNumber::FileTooLarge;
    const auto sameName = [&](const NotMovedFile& file) { return file.name == name; };
    if (unstorable) {
        noteLeftOut(form,
                    {name, unstorableReason(error), error.number() == ErrorNumber::BadFileName});
    } else if (std::none_of(form.NotMoved.begin(), form.NotMoved.end(), sameName)) {
        form.NotMoved.push_back({name, whyNotMoved(error)});
    }
}

// Judges a failed move of the fill: true when only that file failed and the fill goes on; false
// when the fill ends, after saying why.
bool fileFailedAlone(MusicRotation& form, std::uint8_t which, const AppError& error,
                     const QString& name, const QString& musicFolder, const QString& playerFolder,
                     std::int64_t moved, EyePace& pace) {
    if (error.number() == ErrorNumber::DiskFull) {
        pace.catchUp();
        replaceStatus(form, QStringLiteral("Out of space on the MP3 player"));
        setStatusColour(form, QColor(255, 255, 0));
        return false;
    }
    // A song that is not found may be one of many on a music drive that went away.
    const bool musicInPlace = offUiThread([&] { return form.Fso->FolderInPlace(musicFolder); });
    if (error.onlyThisFile() && musicInPlace) {
        noteFailedFile(form, name, error);
        return true;
    }
    pace.catchUp();
    QString gone;
    if (!offUiThread([&] { return form.Fso->FolderInPlace(playerFolder); }))
        gone = playerUnpluggedDuringFill(playerFolder, moved);
    else if (!musicInPlace)
        gone = musicFolderGoneDuringFill(musicFolder, moved);
    if (!gone.isEmpty()) {
        form.FillStopped = gone;
        form.face().ask(
            {gone, QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
        return false;
    }
    form.FillStopped = notFilledLine(which, moved, error.description());
    form.face().ask({QStringLiteral("Error # ") + signedNumber(error.number()) +
                         QStringLiteral("; ") + error.source() + QLatin1Char(' ') +
                         error.description(),
                     QStringLiteral("Error"), MessageIcon::None, MessageButtons::Ok});
    return false;
}

// A pane that cannot be re-read keeps its list until the next refresh; the next move into that
// folder reports the trouble.
template <typename Refresh> void refreshQuietly(Refresh&& refresh) {
    try {
        refresh();
    } catch (const AppError&) {
        // Deliberately quiet; see above.
    }
}

// The reserve the user keeps on the player ends the fill as a full player does; the moves waiting
// settle first, as they do before a move's own failure.
AppError noRoomLeft(FileSystemObject& fso, const QString& destination) {
    fso.SettleMoves();
    return AppError(ErrorNumber::DiskFull, QStringLiteral("Moving a file:"),
                    QStringLiteral("Moving \"%1\" would leave less room free than the options ask.")
                        .arg(shownPath(destination)));
}

// When every song not yet out has been tried, a new cycle begins over the others; false when
// there are none.
bool beginNewCycle(RotationMemory* memory, std::vector<QString>& candidates,
                   std::vector<QString>& outThisCycle) {
    if (!memory || outThisCycle.empty())
        return false;
    memory->beginNewCycle();
    candidates = std::exchange(outThisCycle, {});
    return true;
}

} // namespace

void MusicRotation::FillPlayer(std::uint8_t which) {
    FillStopped.clear();
    replaceStatus(*this, QStringLiteral("Randomly selecting files from the hard drive, and copying "
                                        "them to the MP3 Player..."));
    RandomSource& random = *services().random;
    random.seedFromClock();

    const QString musicFolder = face().musicFolder();
    const NamePattern music(musicPattern(CurrentOptions));
    const bool tree = CurrentOptions.musicInSubfolders;
    const QStringList skipped = runFolders(*this);
    std::vector<QString> candidates =
        tree ? offUiThread([&] { return filesUnder(*Fso, musicFolder, music, skipped); })
             : candidatesIn(offUiThread([&] { return Fso->GetFolder(musicFolder); }), music);
    const QString playerFolder = face().playerFolder(which);
    const std::vector<NotMovedFile> leftOut =
        offUiThread([&] { return leaveOutUnstorable(candidates, musicFolder, playerFolder); });
    for (const NotMovedFile& file : leftOut)
        noteLeftOut(*this, file);
    // The draw goes over the songs not yet out in this cycle; the others wait for the next one.
    std::vector<QString> outThisCycle;
    if (Rotation)
        outThisCycle = offUiThread([&] { return Rotation->setAsideOut(candidates); });
    if (candidates.empty())
        beginNewCycle(Rotation.get(), candidates, outThisCycle);
    std::size_t count = candidates.size();
    std::int64_t moved = 0;
    std::size_t remaining = count;
    // The files whose moves have begun and neither settled nor failed, in the order they began;
    // those that do not fail settle in that order.
    std::deque<QString> waiting;
    const std::int64_t settledBefore = Fso->SettledMoves();

    if (count > 0) {
        // The player's record of where its songs came from says this fill has begun.
        FillOrigins origins(*Fso, playerFolder, musicFolder);
        offUiThread([&] { origins.begin(); });
        std::size_t slot = draw(random, count);
        showStatus(*this);
        QString freeSpace;
        // The drive whose free space the status line gives.
        const QString spaceRoot = driveRootOf(playerFolder);
        const FreeSpaceQuery freeSpaceOf = [&](const QString& root) {
            return Fso->FreeSpaceOf(root);
        };
        RoomLeftFree room(CurrentOptions.megabytesFree, spaceRoot, freeSpaceOf);
        // Whole albums are drawn only from music in subfolders.
        std::optional<AlbumDraw> albums;
        if (tree && CurrentOptions.wholeAlbums)
            albums.emplace(candidates);
        const AlbumDraw::Fits albumFits = [&](const std::vector<std::size_t>& songs) {
            std::vector<QString> paths;
            paths.reserve(songs.size());
            for (const std::size_t song : songs)
                paths.push_back(joinPath(musicFolder, candidates[song]));
            return offUiThread([&] {
                return filesFit(paths, Fso->FreeSpaceOf(spaceRoot), CurrentOptions.megabytesFree);
            });
        };
        // The music folder's subfolders whose songs went to the player; those emptied go after
        // the fill.
        EmptiedFolders emptied(musicFolder);
        // The player's folders made or found in this fill: on a card each look is a round trip
        // through its driver, so each folder is made once.
        std::set<QString> playerFolders;
        bool keepGoing = true;
        // Every step below runs for every attempt; only painting, re-reading the panes, the status
        // text and the free space keep to the eye's pace. The window and the panes are up to date
        // again when this block is left, and the fill's last line follows.
        EyePace pace(
            face().paintedWindow(),
            [&] {
                // The attempt stands or falls with its move, whatever the refresh finds.
                refreshQuietly([&] { face().refreshMusicPane(); });
                refreshQuietly([&] { face().refreshPlayerPane(which); });
            },
            // The player's free space is asked for only when the line is shown: on a card each
            // question is a round trip through its driver, which serves the moves one request at a
            // time.
            [&](const QString& moving) {
                try {
                    freeSpace = megabytesText(DiskFreeKB(spaceRoot, freeSpaceOf));
                } catch (const AppError&) {
                    // The previous figure stays.
                }
                replaceStatus(*this, QStringLiteral("Space remaining: ") + freeSpace +
                                         QStringLiteral("MB\r\nMoving ") + moving);
                repaintWindow(*this);
            });
        // A file counts as moved once its move has settled.
        const auto countSettled = [&] {
            // A file that failed while its group settled stays in the music folder; its failure
            // alone is named after the run, and one that ends the fill is said by it.
            for (const FailedMove& failed : Fso->TakeFailedMoves()) {
                // The song by its path below the music folder, as the candidates name it.
                const QString name = failed.source.mid(musicFolder.size() + 1);
                if (const auto it = std::find(waiting.begin(), waiting.end(), name);
                    it != waiting.end())
                    waiting.erase(it);
                if (failed.error.onlyThisFile())
                    noteFailedFile(*this, name, failed.error);
            }
            const std::int64_t settled = Fso->SettledMoves() - settledBefore;
            if (moved == settled)
                return;
            for (; moved < settled && !waiting.empty(); ++moved) {
                const QString name = waiting.front();
                if (Rotation)
                    Rotation->markOut(name);
                origins.arrived(name);
                emptied.noteMovedOutOf(folderOf(name));
                const auto sameName = [&](const NotMovedFile& file) { return file.name == name; };
                std::erase_if(LeftOutOfDraw, sameName);
                std::erase_if(NotMoved, sameName);
                waiting.pop_front();
            }
            moved = settled;
            face().songsMoved(moved);
            pace.panesChanged();
        };
        // Moves still waiting settle before the fill stops, whatever stops it; a group that
        // fails is said as a failure of the fill.
        const auto removeEmptied = [&] {
            if (tree)
                offUiThread([&] { emptied.removeEmpty(*Fso); });
        };
        const auto settleWaiting = [&] {
            try {
                offUiThread([&] { Fso->SettleMoves(); });
            } catch (const AppError& error) {
                countSettled();
                fileFailedAlone(*this, which, error, waiting.empty() ? QString() : waiting.front(),
                                musicFolder, playerFolder, moved, pace);
                removeEmptied();
                return;
            }
            countSettled();
            removeEmptied();
        };
        while (keepGoing) {
            if (albums) {
                const std::optional<std::size_t> next = albums->next(random, albumFits);
                if (!next)
                    break;
                slot = *next;
            }
            while (candidates[slot].isEmpty())
                slot = draw(random, count);
            const QString source = joinPath(face().musicFolder(), candidates[slot]);
            const QString destinationRoot = face().playerFolder(which);
            const QString destination = joinPath(destinationRoot, candidates[slot]);

            QString sourceFolder, baseName, extension;
            try {
                ParsePath(source, sourceFolder, baseName, &extension, QStringLiteral("/"));
            } catch (const AppError&) {
                // The status line shows what could be split; the attempt goes on to its move.
            }
            pace.statusChanged(baseName + QLatin1Char('.') + extension + QStringLiteral("..."));
            face().yieldEvents();
            if (StopRequested) {
                settleWaiting();
                offUiThread([&] { origins.end(); });
                replaceStatus(*this, QStringLiteral("Processing aborted"));
                return;
            }

            // Counted as begun before the move: the group it joins may settle within the call.
            waiting.push_back(candidates[slot]);
            try {
                // The moves waiting before this one settle first when it fails.
                offUiThread([&] {
                    if (!room.leavesRoomFor(source))
                        throw noRoomLeft(*Fso, destination);
                    const QString folder = folderOf(candidates[slot]);
                    if (tree && !playerFolders.contains(joinPath(destinationRoot, folder))) {
                        Fso->MakeSubfolders(destinationRoot, folder);
                        playerFolders.insert(joinPath(destinationRoot, folder));
                    }
                    Fso->MoveInGroup(source, destination);
                });
            } catch (const AppError& error) {
                // A failure of this file alone comes from its own checks or copy: it never began.
                if (error.onlyThisFile())
                    waiting.pop_back();
                countSettled();
                keepGoing = fileFailedAlone(*this, which, error, candidates[slot], musicFolder,
                                            playerFolder, moved, pace);
            }
            countSettled();
            candidates[slot].clear();
            if (keepGoing && --remaining == 0) {
                keepGoing = beginNewCycle(Rotation.get(), candidates, outThisCycle);
                count = remaining = candidates.size();
                if (keepGoing && albums)
                    albums.emplace(candidates);
                else if (keepGoing)
                    slot = draw(random, count);
            }
        }
        settleWaiting();
        offUiThread([&] { origins.end(); });
    }

    replaceStatus(*this,
                  signedNumber(moved) + QStringLiteral(" files were moved to the MP3 player."));
    repaintWindow(*this);
    face().runStateChanged();
}
