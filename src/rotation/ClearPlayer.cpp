#include "rotation/ClearingOrigins.h"
#include "rotation/MusicOut.h"
#include "rotation/MusicRotation.h"
#include "rotation/MusicTree.h"
#include "rotation/OffUiThread.h"
#include "rotation/RunFace.h"
#include "rotation/RunFolders.h"
#include "rotation/RunPaths.h"
#include "rotation/StatusBox.h"
#include "rotation/TreeClearing.h"

// Empties one player folder into the holding folder. It has no failure handling of its own: a
// failing file operation ends it and passes to the run.
void MusicRotation::ClearPlayer(std::uint8_t which) {
    const QString playerFolder = face().playerFolder(which);
    const FsFolder folder = offUiThread([&] { return Fso->GetFolder(playerFolder); });
    const bool tree = CurrentOptions.musicInSubfolders;
    const QStringList skipped = runFolders(*this);
    const std::vector<QString> below =
        tree ? offUiThread([&] { return filesInSubfolders(*Fso, playerFolder, skipped); })
             : std::vector<QString>();
    const QString word =
        which == 1 ? QStringLiteral("internal memory") : QStringLiteral("external card");
    // An empty folder is left alone: no message, no yield, and the stop flag is not looked at.
    if (folder.Files.empty() && below.empty())
        return;

    replaceStatus(*this,
                  QStringLiteral("Moving files from MP3 player's ") + word + QStringLiteral("..."));
    repaintWindow(*this);

    face().yieldEvents();
    if (StopRequested)
        return;

    const QString playerNow = face().playerFolder(which);
    const QString source = everyFileIn(playerNow);
    const QString holding = services().holdingFolder;
    const SongOrigins origins =
        offUiThread([&] { return holdOrigins(*Fso, playerFolder, folder, below, holding); });
    if (!folder.Files.empty())
        offUiThread([&] { Fso->MoveFile(source, holding); });
    if (tree)
        offUiThread([&] { clearSubfolders(*Fso, playerNow, below, holding); });
    offUiThread([&] { dropClearedSongs(*Fso, playerFolder, origins); });
    if (Rotation) {
        const QString musicFolder = face().musicFolder();
        offUiThread([&] {
            markMusicOut(*Rotation, *Fso, folder, below, CurrentOptions, origins, musicFolder);
        });
    }
    replaceStatus(*this, QStringLiteral("Files moved to temporary directory..."));
    face().refreshPlayerPane(which);
    repaintWindow(*this);
}
