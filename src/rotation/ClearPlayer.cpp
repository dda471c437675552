#include "app/Form1.h"
#include "controls/FolderList.h"
#include "rotation/ClearingOrigins.h"
#include "rotation/MusicOut.h"
#include "rotation/OffUiThread.h"
#include "rotation/RunPaths.h"
#include "rotation/StatusBox.h"

// Empties one player folder into the holding folder. It has no failure handling of its own: a
// failing file operation ends it and passes to the run.
void Form1::ClearPlayer(std::uint8_t which) {
    const PlayerPane pane = playerPane(which);
    const QString playerFolder = pane.dir->Path();
    const FsFolder folder = offUiThread([&] { return Fso->GetFolder(playerFolder); });
    const QString word =
        which == 1 ? QStringLiteral("internal memory") : QStringLiteral("external card");
    // An empty folder is left alone: no message, no yield, and the stop flag is not looked at.
    if (folder.Files.empty())
        return;

    replaceStatus(*this,
                  QStringLiteral("Moving files from MP3 player's ") + word + QStringLiteral("..."));
    repaintWindow(*this);

    services().yieldEvents();
    if (StopRequested)
        return;

    const QString source = everyFileIn(pane.dir->Path());
    const QString holding = services().holdingFolder;
    const SongOrigins origins =
        offUiThread([&] { return holdOrigins(*Fso, playerFolder, folder, holding); });
    offUiThread([&] { Fso->MoveFile(source, holding); });
    offUiThread([&] { dropClearedSongs(*Fso, playerFolder, origins); });
    if (Rotation) {
        const QString musicFolder = Dir1->Path();
        offUiThread(
            [&] { markMusicOut(*Rotation, *Fso, folder, CurrentOptions, origins, musicFolder); });
    }
    replaceStatus(*this, QStringLiteral("Files moved to temporary directory..."));
    RefreshTotal(pane.files, pane.total);
    repaintWindow(*this);
}
