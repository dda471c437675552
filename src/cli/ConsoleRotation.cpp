#include "cli/ConsoleRotation.h"

#include "app/HoldingFolder.h"
#include "app/OptionsStore.h"
#include "app/QSettingsBackend.h"
#include "app/SettingsStore.h"
#include "cli/BreakKeys.h"
#include "cli/ConsoleFace.h"
#include "cli/ConsoleText.h"
#include "cli/DryRunList.h"
#include "cli/PlayerWait.h"
#include "cli/RotateArguments.h"
#include "controls/DriveText.h"
#include "fs/AppError.h"
#include "fs/DriveRoot.h"
#include "fs/Module1.h"
#include "fs/PathText.h"
#include "fs/RehearsalFileSystem.h"
#include "fs/SystemFileSystem.h"
#include "fs/SystemVolumes.h"
#include "fs/VolumeLookup.h"
#include "rotation/ClockRandomSource.h"
#include "rotation/LeftOutFiles.h"
#include "rotation/MusicRotation.h"

#include <QDir>

namespace {

Options chosenOptions(SettingsBackend& settings, const RotateRequest& request) {
    Options options = loadOptions(settings);
    if (request.megabytesFree)
        options.megabytesFree = *request.megabytesFree;
    if (request.musicTypes)
        options.musicTypes = *request.musicTypes;
    if (request.subfolders)
        options.musicInSubfolders = true;
    if (request.albums)
        options.wholeAlbums = true;
    if (request.noMemory)
        options.rotationMemory = false;
    return options;
}

ExitStatus badUsage(const QString& line) {
    writeLine(stderr, QStringLiteral("quavex: ") + line);
    return ExitStatus::BadUsage;
}

// The folders of the run: those given on the command line, else those the window saved, each
// player folder with the drive and volume identity it was chosen on where the window knows it.
// The identity of a folder the window never chose is read now, unless the run waits for it.
ConsoleFace::Folders chosenFolders(const RotateRequest& request, const SavedFolders& saved,
                                   const VolumeProvider& volumes, QString (&identities)[2]) {
    ConsoleFace::Folders folders;
    folders.music = request.music ? QDir(*request.music).absolutePath()
                                  : QDir::fromNativeSeparators(saved.music);
    folders.doNotWarn = saved.doNotWarn;
    const std::optional<QString>* given[2] = {&request.player, &request.card};
    const bool playersGiven = request.player || request.card;
    for (int i = 0; i < 2; ++i) {
        ConsoleFace::Player& player = folders.players[i];
        const SavedFolders::Player* known = &saved.players[i];
        if (playersGiven) {
            if (!*given[i])
                continue;
            player.folder = QDir(**given[i]).absolutePath();
            known = nullptr;
            for (const SavedFolders::Player& each : saved.players)
                if (QDir::fromNativeSeparators(each.folder) == player.folder)
                    known = &each;
        } else {
            player.folder = QDir::fromNativeSeparators(known->folder);
        }
        if (known) {
            player.drive = driveNamedBy(volumes, known->drive)
                               .value_or(QDir::fromNativeSeparators(known->drive));
            identities[i] = known->volume;
        } else if (!request.waitSeconds) {
            player.drive = volumeRootOf(volumes, player.folder);
            identities[i] = volumes.identityOf(player.drive);
        }
        player.ticked = !player.folder.isEmpty() && (playersGiven || saved.players[i].ticked);
    }
    return folders;
}

// Waits for the volume of each player folder of the run; the exit status when the run is not to
// start.
std::optional<ExitStatus> waitForPlayers(const ConsoleFace::Folders& folders,
                                         const QString (&identities)[2],
                                         const VolumeProvider& volumes, int seconds) {
    std::vector<AwaitedVolume> awaited;
    for (int i = 0; i < 2; ++i) {
        if (!folders.players[i].ticked)
            continue;
        if (identities[i].isEmpty())
            return badUsage(QStringLiteral("the volume of the player folder %1 is not known, so "
                                           "it cannot be waited for: choose the folder in the "
                                           "window with the player there and press EXIT")
                                .arg(QDir::toNativeSeparators(folders.players[i].folder)));
        awaited.push_back({folders.players[i].drive, identities[i]});
    }
    switch (waitForVolumes(volumes, awaited, seconds)) {
    case WaitOutcome::Arrived:
        return std::nullopt;
    case WaitOutcome::TimedOut:
        writeLine(stderr, QStringLiteral("quavex: the player did not come within %1 seconds; "
                                         "nothing has been moved")
                              .arg(seconds));
        break;
    case WaitOutcome::Stopped:
        writeLine(stderr, QStringLiteral("quavex: stopped while waiting for the player; nothing "
                                         "has been moved"));
        break;
    }
    return ExitStatus::NothingDone;
}

// What the dry run would have moved each way, the room it would have left on each player folder's
// drive, and the music its draw left out.
void printDryRun(RehearsalFileSystem& rehearsal, const MusicRotation& rotation,
                 const ConsoleFace::Folders& folders) {
    const QString playerLabels[] = {QStringLiteral("the player's internal memory"),
                                    QStringLiteral("the player's card")};
    std::vector<ListedFolder> listed = {
        {QStringLiteral("the music folder"), folders.music},
        {QStringLiteral("the temporary directory"), rotation.services().holdingFolder}};
    for (int i = 0; i < 2; ++i)
        if (folders.players[i].ticked)
            listed.push_back({playerLabels[i], folders.players[i].folder});
    QStringList lines = {QStringLiteral("Dry run: nothing has been moved.")};
    lines.append(dryRunList(rehearsal.moves(), listed));
    const FreeSpaceQuery rehearsed = [&](const QString& root) {
        return rehearsal.FreeSpaceOf(root);
    };
    for (int i = 0; i < 2; ++i) {
        if (!folders.players[i].ticked)
            continue;
        try {
            const qint64 kilobytes = DiskFreeKB(driveRootOf(folders.players[i].folder), rehearsed);
            lines.append(QStringLiteral("Room left on %1 %2: %3 MB")
                             .arg(playerLabels[i], shownPath(folders.players[i].folder))
                             .arg(kilobytes / 1024));
        } catch (const AppError&) {
            // A drive whose space cannot be read is left out of the list; the run has said why.
        }
    }
    if (!rotation.LeftOutOfDraw.empty())
        lines.append(leftOutLine(rotation.LeftOutOfDraw));
    if (!rotation.NotMoved.empty())
        lines.append(notMovedLine(rotation.NotMoved));
    for (const QString& line : lines)
        writeLine(stdout, line);
}

} // namespace

ExitStatus rotateFromCommandLine(const RotateRequest& request) {
    catchBreakKeys();
    QSettingsBackend settings;
    auto volumes = std::make_shared<SystemVolumeProvider>();
    QString identities[2];
    const ConsoleFace::Folders folders =
        chosenFolders(request, readSavedFolders(settings), *volumes, identities);
    if (folders.music.isEmpty())
        return badUsage(QStringLiteral("no music folder: give --music, or choose one in the "
                                       "window and press EXIT"));
    if (!folders.players[0].ticked && !folders.players[1].ticked)
        return badUsage(QStringLiteral("no player folder: give --player or --card, or tick one "
                                       "in the window and press EXIT"));
    if (request.waitSeconds)
        if (const std::optional<ExitStatus> notStarted =
                waitForPlayers(folders, identities, *volumes, *request.waitSeconds))
            return *notStarted;

    // A dry run moves nothing, so it asks for no confirmation; its list replaces the statuses.
    ConsoleFace::Folders shown = folders;
    shown.doNotWarn = folders.doNotWarn || request.dryRun;
    ConsoleFace face(shown, request.yes, request.dryRun);
    RehearsalFileSystem* rehearsal = nullptr;
    FileSystemFactory files = createSystemFileSystem;
    if (request.dryRun)
        files = [&rehearsal] {
            auto made = std::make_unique<RehearsalFileSystem>(createSystemFileSystem());
            rehearsal = made.get();
            return made;
        };
    MusicRotation rotation(
        face, {volumes, files, std::make_shared<ClockRandomSource>(), defaultHoldingFolder()});
    rotation.CurrentOptions = chosenOptions(settings, request);
    for (int i = 0; i < 2; ++i)
        rotation.Players[i].volume = identities[i];
    face.attach(rotation);
    try {
        rotation.Go();
    } catch (const std::exception& error) {
        writeLine(stderr, QStringLiteral("quavex: ") + QString::fromLocal8Bit(error.what()));
        return ExitStatus::EndedEarly;
    }
    if (rehearsal)
        printDryRun(*rehearsal, rotation, folders);
    switch (rotation.LastRunEnd) {
    case RunEnd::Whole:
        return ExitStatus::WholeRun;
    case RunEnd::EndedEarly:
        return ExitStatus::EndedEarly;
    case RunEnd::NothingDone:
        break;
    }
    return ExitStatus::NothingDone;
}
