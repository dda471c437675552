#include "app/Form1.h"
#include "controls/FolderList.h"
#include "rotation/MusicOut.h"
#include "rotation/MusicTree.h"
#include "rotation/OffUiThread.h"
#include "rotation/RunFolders.h"
#include "rotation/RunPaths.h"
#include "rotation/StatusBox.h"
#include "rotation/TreeClearing.h"

// Empties one player folder into the holding folder. It has no failure handling of its own: a
// failing file operation ends it and passes to the run.
void Form1::ClearPlayer(std::uint8_t which) {
    const PlayerPane pane = playerPane(which);
    const QString playerFolder = pane.dir->Path();
    const FsFolder folder = offUiThread([&] { return Fso->GetFolder(playerFolder); });
    const bool tree = CurrentOptions.musicInSubfolders;
    const std::vector<QString> below =
        tree ? offUiThread([&] { return filesInSubfolders(*Fso, playerFolder, runFolders(*this)); })
             : std::vector<QString>();
    const QString word =
        which == 1 ? QStringLiteral("internal memory") : QStringLiteral("external card");
    // An empty folder is left alone: no message, no yield, and the stop flag is not looked at.
    if (folder.Files.empty() && below.empty())
        return;

    replaceStatus(*this,
                  QStringLiteral("Moving files from MP3 player's ") + word + QStringLiteral("..."));
    repaintWindow(*this);

    services().yieldEvents();
    if (StopRequested)
        return;

    const QString source = everyFileIn(pane.dir->Path());
    if (!folder.Files.empty())
        offUiThread([&] { Fso->MoveFile(source, services().holdingFolder); });
    if (tree)
        offUiThread(
            [&] { clearSubfolders(*Fso, pane.dir->Path(), below, services().holdingFolder); });
    if (Rotation)
        markMusicOut(*Rotation, folder, below, CurrentOptions);
    replaceStatus(*this, QStringLiteral("Files moved to temporary directory..."));
    RefreshTotal(pane.files, pane.total);
    repaintWindow(*this);
}
