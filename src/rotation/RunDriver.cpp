#include "fs/AppError.h"
#include "fs/DriveRoot.h"
#include "fs/FolderLock.h"
#include "fs/PathText.h"
#include "fs/StateFolder.h"
#include "rotation/ClearingReport.h"
#include "rotation/FolderOutcome.h"
#include "rotation/HeldFiles.h"
#include "rotation/HeldLibrary.h"
#include "rotation/HeldOrigins.h"
#include "rotation/LeftOutFiles.h"
#include "rotation/MusicRotation.h"
#include "rotation/OffUiThread.h"
#include "rotation/RotationMemory.h"
#include "rotation/RunFace.h"
#include "rotation/RunLock.h"
#include "rotation/RunPaths.h"
#include "rotation/StatusBox.h"
#include "rotation/VanishedFolders.h"

#include <QDir>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

// From the holding-folder step on, a step that fails is skipped without a message and the run
// goes on with the next one.
template <typename Step> void silently(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
        // Deliberately silent; see above.
    }
}

bool samePath(const QString& a, const QString& b) {
    return a.toUpper() == b.toUpper();
}

class Run {
public:
    explicit Run(MusicRotation& form) : m_form(form) {}

    // Everything between disabling Select and applying the Select rule again.
    void perform() {
        if (!checksPass())
            return;
        setStatusColour(m_form, QColor(255, 255, 255));
        if (!createFileSystem())
            return stoppedBeforeThePlayers(replaceStatus);
        RunLock lock;
        if (const QString problem = lock.take(); !problem.isEmpty()) {
            prompter().ask(
                {problem, QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
            return stoppedBeforeThePlayers(replaceStatus);
        }
        if (!lockPlayerFolders())
            return stoppedBeforeThePlayers(replaceStatus);
        // What a killed run left: its last group of moves completed, then its temporaries gone.
        silently([&] { offUiThread([&] { fso().FinishKilledRun(); }); });
        m_form.LeftOutOfDraw.clear();
        m_form.NotMoved.clear();
        m_form.ReportLines.clear();
        pinFolders();
        const QString statusBefore = statusText(m_form);
        if (prepareHoldingFolder() && recordLibrary()) {
            const QString musicFolder = m_form.face().musicFolder();
            const bool remember = m_form.CurrentOptions.rotationMemory;
            m_form.Rotation =
                offUiThread([&] { return openRotationMemory(remember, musicFolder); });
            m_form.LastRunEnd = RunEnd::Whole;
            rotate();
            if (m_form.Rotation)
                offUiThread([&] { m_form.Rotation->save(fso()); });
            m_form.Rotation.reset();
        } else {
            // After the lines of the files an earlier run left, if any.
            stoppedBeforeThePlayers(statusText(m_form) == statusBefore ? replaceStatus
                                                                       : appendStatus);
        }
        refreshPanesSharingAFolder();
    }

private:
    // A run refused after its start says so in the status box too, which may still show how the
    // previous run ended; the message box has said why.
    void stoppedBeforeThePlayers(void (*write)(MusicRotation&, const QString&)) {
        write(m_form, QStringLiteral("The run stopped before it touched the player folders."));
        setStatusColour(m_form, QColor(255, 255, 0));
    }

    // One run per player folder at a time, across users and copies of the program: a second run
    // on a folder being filled would exchange its songs with another library.
    bool lockPlayerFolders() {
        for (std::uint8_t which : {std::uint8_t{1}, std::uint8_t{2}}) {
            if (!ticked(which))
                continue;
            const QString folder = m_form.face().playerFolder(which);
            if (std::any_of(m_locks.begin(), m_locks.end(),
                            [&](const Lock& lock) { return samePath(lock.folder, folder); }))
                continue;
            auto lock = std::make_unique<FolderLock>(folder);
            if (!offUiThread([&] { return lock->take(); })) {
                prompter().ask(
                    {QStringLiteral("The player folder \"%1\" is being filled by another copy of "
                                    "QUAVEX, perhaps another user's. Wait until its run has "
                                    "ended, then press Select again. Nothing has been moved.")
                         .arg(shownPath(folder)),
                     QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
                return false;
            }
            m_locks.push_back({folder, std::move(lock)});
        }
        return true;
    }

    // From here on a move lands only in the folders found now, never in what their paths name
    // once a drive has gone.
    void pinFolders() {
        const QString folders[] = {m_form.face().musicFolder(), m_form.services().holdingFolder,
                                   m_form.face().playerFolder(1), m_form.face().playerFolder(2)};
        silently([&] {
            offUiThread([&] {
                for (const QString& folder : folders)
                    fso().PinFolder(folder);
            });
        });
    }

    void rotate() {
        if (ticked(1) && playerInPlace(1))
            clear(1);
        if (ticked(2) && playerInPlace(2))
            clear(2);
        if (ticked(1) && playerInPlace(1))
            fill(1);
        if (m_form.StopRequested) {
            endAborted();
            return;
        }
        if (ticked(2) && playerInPlace(2))
            fill(2);
        if (m_form.StopRequested) {
            endAborted();
            return;
        }
        restore();
    }

    // A failure of the fill before its first attempt passes to the run, which goes on.
    void fill(std::uint8_t which) {
        try {
            m_form.FillPlayer(which);
            m_fillStopped[which - 1] = m_form.FillStopped;
        } catch (const AppError& error) {
            m_fillStopped[which - 1] = notFilledLine(which, 0, error.description());
        } catch (const std::exception&) {
            // Deliberately silent, as every step from the holding folder on.
        }
    }

    // After Break the player's previous files stay held for the next run, which says so.
    void endAborted() {
        m_form.LastRunEnd = RunEnd::EndedEarly;
        const QString holding = m_form.services().holdingFolder;
        QStringList lines = closingLines(false);
        if (holdsNoFiles())
            forgetRecord();
        else if (heldFiles() > 0)
            lines.append(heldFilesWaitLine(holding));
        appendRunEnd(m_form, lines);
    }

    // Whether the holding folder is known to hold no file: gone, or listed empty.
    bool holdsNoFiles() {
        const QString holding = m_form.services().holdingFolder;
        bool none = false;
        silently([&] {
            none = !offUiThread([&] { return fso().FolderExists(holding); }) ||
                   heldFileCount(m_form, offUiThread([&] { return fso().GetFolder(holding); }),
                                 subfolders()) == 0;
        });
        return none;
    }

    // Once this user holds no file there, a record left behind would make this user's next run
    // take files another user holds there later as its own.
    void forgetRecord() {
        silently([&] { forgetHeldFilesLibrary(fso(), m_form.services().holdingFolder); });
        forgetHeldOrigins(fso());
    }

    // The lines that follow the run's last line: first what a player folder was not given (not
    // cleared, not filled, left out), each with the reason; then what went otherwise than planned,
    // in the order it came; then the music the fills left in the music folder. The restore adds
    // its own. heldReturned: the files held from the players have gone back to the music folder.
    QStringList closingLines(bool heldReturned) const {
        QStringList lines;
        for (const std::uint8_t which : {std::uint8_t{1}, std::uint8_t{2}}) {
            const Clearing& clearing = m_clearings[which - 1];
            const QString player = m_form.face().playerFolder(which);
            if (clearing.unplugged)
                lines.append(playerUnpluggedDuringClearing(player, clearing.held, heldReturned));
            else if (!clearing.reason.isEmpty())
                lines.append(unclearedClosingLine(player, clearing.held, clearing.left,
                                                  clearing.reason, heldReturned));
            if (!m_fillStopped[which - 1].isEmpty())
                lines.append(m_fillStopped[which - 1]);
            else if (!m_refusals[which - 1].isEmpty() && !clearing.unplugged && !nothingFilled())
                lines.append(leftOutOfRunLine(which, m_refusals[which - 1]));
        }
        lines.append(m_form.ReportLines);
        if (!m_form.LeftOutOfDraw.empty())
            lines.append(leftOutLine(m_form.LeftOutOfDraw));
        if (!m_form.NotMoved.empty())
            lines.append(notMovedLine(m_form.NotMoved));
        return lines;
    }

    // Whether a player folder was not wholly cleared and filled, or music was left out: what the
    // closing lines say beside the lines that only tell where files went.
    bool wentOtherwise() const {
        for (const std::uint8_t which : {std::uint8_t{1}, std::uint8_t{2}}) {
            const Clearing& clearing = m_clearings[which - 1];
            if (clearing.unplugged || !clearing.reason.isEmpty() ||
                !m_fillStopped[which - 1].isEmpty() || !m_refusals[which - 1].isEmpty())
                return true;
        }
        return !m_form.LeftOutOfDraw.empty() || !m_form.NotMoved.empty();
    }

    // Every ticked player folder was left out, so the run filled none.
    bool nothingFilled() const {
        bool refused = false;
        for (const std::uint8_t which : {std::uint8_t{1}, std::uint8_t{2}}) {
            if (!ticked(which))
                continue;
            if (m_refusals[which - 1].isEmpty())
                return false;
            refused = true;
        }
        return refused;
    }

    QString nothingFilledLine() const {
        QStringList reasons;
        for (const QString& reason : m_refusals)
            if (!reason.isEmpty() && !reasons.contains(reason))
                reasons.append(reason);
        return QStringLiteral("No player folder was filled: ") + reasons.join(QStringLiteral("; "));
    }

    bool checksPass() {
        const MessageRequest identical{
            QStringLiteral("The source and destination paths are identical!"),
            QStringLiteral("ERROR"), MessageIcon::Critical, MessageButtons::Ok};
        if (ticked(1) && samePath(m_form.face().musicFolder(), m_form.face().playerFolder(1))) {
            prompter().ask(identical);
            return false;
        }
        if (ticked(2) && samePath(m_form.face().musicFolder(), m_form.face().playerFolder(2))) {
            prompter().ask(identical);
            return false;
        }
        if (m_form.face().doNotWarn())
            return true;
        const MessageAnswer answer = prompter().ask(
            {QStringLiteral("Warning! Files will be REMOVED from the Hard Drive Music Directory "
                            "that you specified. Do you wish to continue?"),
             QStringLiteral("Warning!"), MessageIcon::None, MessageButtons::YesNo,
             MessageAnswer::Yes});
        return answer == MessageAnswer::Yes;
    }

    // Whether the player folder still exists and lies on the drive its chooser names, that drive
    // there: otherwise the player was unplugged (or its drive changed) and what would be cleared
    // or filled is a folder of another volume, such as the bare mount point on the system disk,
    // or the folder was deleted and its fill could only fail. The root of the system drive and
    // the home folder are never a player's. The user is told once per run, in one box; the folder
    // is then left out of the run.
    bool playerInPlace(std::uint8_t which) {
        if (!m_refusals[which - 1].isEmpty())
            return false;
        // Opening the drive forgets what was awaited and takes the volume there now as chosen.
        const PlayerChoice saved = m_form.Players[which - 1];
        const VolumeProvider& volumes = *m_form.services().volumes;
        // A player the pane waited for since start and that is there now opens as it was saved:
        // the program chose its drive, not the user, so it is still known by the saved volume,
        // and only the saved folder is the player's, never the root the pane falls back to.
        if (!saved.awaitedDrive.isEmpty()) {
            const QString root = m_form.face().playerDrive(which);
            if (offUiThread([&] { return volumes.placeOf(root, root); }) == FolderPlace::OnVolume) {
                silently([&] { m_form.face().openPlayerDrive(which, saved.awaitedDrive); });
                m_form.Players[which - 1].volume = saved.volume;
            }
        }
        const QString drive = m_form.face().playerDrive(which);
        QString folder = m_form.face().playerFolder(which);
        if (!saved.awaitedDrive.isEmpty())
            folder = saved.awaitedFolder.isEmpty() ? drive : saved.awaitedFolder;
        const FolderPlace place = offUiThread([&] { return volumes.placeOf(folder, drive); });
        bool exists = true;
        if (place == FolderPlace::OnVolume)
            silently([&] { exists = offUiThread([&] { return fso().FolderExists(folder); }); });
        const QString notAPlayer = notAPlayersFolder(folder);
        if (place == FolderPlace::OnVolume && exists && notAPlayer.isEmpty())
            return sameVolumeAsChosen(which, drive, folder);

        const QString untouched =
            m_cleared[which - 1]
                ? QStringLiteral("Its files were moved to the temporary directory before and go "
                                 "back to the Hard Drive Music Directory; no music was moved to "
                                 "it.")
                : QStringLiteral("Nothing was moved to or from it.");
        const QString shownFolder = shownPath(folder);
        const QString shownDrive = shownPath(drive);
        QString text;
        if (!notAPlayer.isEmpty()) {
            m_refusals[which - 1] = QStringLiteral("the folder is not a player's");
            text = QStringLiteral("The player folder \"%1\" is %2, not a folder of a player: a run "
                                  "would move every file in it to the temporary directory. Choose "
                                  "the player's folder and press Select again.")
                       .arg(shownFolder, notAPlayer);
        } else if (place == FolderPlace::NotMounted) {
            m_refusals[which - 1] = QStringLiteral("the player is not plugged in");
            // A player folder at the drive's root is the player itself.
            text =
                QDir::cleanPath(folder) == QDir::cleanPath(drive)
                    ? QStringLiteral("The player \"%1\" is not plugged in (its drive is not %2).")
                          .arg(shownFolder, driveThereWord())
                    : QStringLiteral("The player \"%1\" is not plugged in (its drive %2 is not "
                                     "%3).")
                          .arg(shownFolder, shownDrive, driveThereWord());
            text += QStringLiteral(" Plug it in and press Select again.");
        } else if (place == FolderPlace::OtherVolume) {
            m_refusals[which - 1] = QStringLiteral("the folder is not on its drive");
            text = QStringLiteral("The player folder \"%1\" is not on its drive %2. Choose its "
                                  "drive again and press Select.")
                       .arg(shownFolder, shownDrive);
        } else if (place == FolderPlace::Unknown) {
            m_refusals[which - 1] = QStringLiteral("the list of mounted drives could not be read");
            text = QStringLiteral("Whether the player folder \"%1\" is on its drive %2 cannot be "
                                  "told now: the system's list of mounted drives could not be "
                                  "read.")
                       .arg(shownFolder, shownDrive);
        } else {
            m_refusals[which - 1] = QStringLiteral("the folder does not exist any more");
            text = QStringLiteral("The player folder \"%1\" does not exist any more: it was "
                                  "deleted or renamed after it was opened. The run leaves it out.")
                       .arg(shownFolder);
        }
        prompter().ask({text + QLatin1Char(' ') + untouched, QStringLiteral("Warning!"),
                        MessageIcon::Warning, MessageButtons::Ok});
        return false;
    }

    // What the folder is when a run must never clear it; empty for any other folder.
    static QString notAPlayersFolder(const QString& folder) {
        const QString path = QDir::cleanPath(folder);
        if (samePath(path, QDir::cleanPath(systemDriveRoot())))
            return QStringLiteral("the root of the system drive");
        if (samePath(path, QDir::cleanPath(QDir::homePath())))
            return QStringLiteral("your home folder");
        return {};
    }

    // Removable drives take the first free letter or mount point: the volume there now may be
    // another than the player chosen, a backup drive with a folder of the same name. The user is
    // asked before anything is cleared from it; a Yes makes it the pane's player.
    bool sameVolumeAsChosen(std::uint8_t which, const QString& drive, const QString& folder) {
        PlayerChoice& choice = m_form.Players[which - 1];
        const VolumeProvider& volumes = *m_form.services().volumes;
        const QString now = offUiThread([&] { return volumes.identityOf(drive); });
        if (choice.volume.isEmpty() || now.isEmpty() || now == choice.volume)
            return true;
        const MessageAnswer answer = prompter().ask(
            {QStringLiteral("The drive %1 holds another volume than the one the player folder "
                            "\"%2\" was chosen on (%3 then, %4 now): perhaps another player or "
                            "a backup drive. Move its files to the temporary directory and fill "
                            "it with music all the same?")
                 .arg(shownPath(drive), shownPath(folder), choice.volume, now),
             QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::YesNo,
             MessageAnswer::No});
        if (answer == MessageAnswer::Yes) {
            choice.volume = now;
            return true;
        }
        m_refusals[which - 1] = QStringLiteral("another volume is on its drive");
        return false;
    }

    // A file-system object that cannot be made ends the run before anything is touched.
    bool createFileSystem() {
        QString reason;
        try {
            std::unique_ptr<FileSystemObject> fso = m_form.services().createFileSystem();
            if (fso) {
                m_form.Fso = std::move(fso);
                return true;
            }
        } catch (const AppError& error) {
            reason = QStringLiteral(" (") + error.description() + QStringLiteral(")");
        } catch (const std::exception&) {
            // Reported below without a reason.
        }
        prompter().ask({QStringLiteral("The file system service could not be started%1. Nothing "
                                       "has been moved.")
                            .arg(reason),
                        QStringLiteral("ERROR"), MessageIcon::Critical, MessageButtons::Ok});
        return false;
    }

    qsizetype filesIn(const QString& folder) {
        qsizetype count = 0;
        silently(
            [&] { count = offUiThread([&] { return fso().GetFolder(folder).Files.size(); }); });
        return count;
    }

    // The files in the holding folder, with music in subfolders those in its subfolders too.
    qsizetype heldFiles() {
        const QString holding = m_form.services().holdingFolder;
        qsizetype count = 0;
        silently([&] {
            count = heldFileCount(m_form, offUiThread([&] { return fso().GetFolder(holding); }),
                                  subfolders());
        });
        return count;
    }

    // A clearing that ends early is said at once (a line and a warning) and again under the
    // completion line, since the fill replaces the status text; the run then goes on.
    void clear(std::uint8_t which) {
        const QString player = m_form.face().playerFolder(which);
        const QString holding = m_form.services().holdingFolder;
        // The holding folder is small; the player folder is listed only when the clearing failed.
        const qsizetype heldBefore = heldFiles();
        const std::optional<QString> reason = clearingFailure(which);
        const qsizetype held = std::max<qsizetype>(0, heldFiles() - heldBefore);
        m_cleared[which - 1] = held > 0;
        if (!reason)
            return;
        Clearing& clearing = m_clearings[which - 1];
        clearing.held = held;
        clearing.reason = *reason;
        if (!offUiThread([&] { return fso().FolderInPlace(player); })) {
            // What the path shows now is another folder: the player's own files are out of reach.
            m_refusals[which - 1] = QStringLiteral("the player was unplugged during the run");
            clearing.unplugged = true;
            const QString text = playerUnpluggedDuringClearing(player, held);
            appendStatus(m_form, text);
            repaintWindow(m_form);
            prompter().ask(
                {text, QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
            return;
        }
        const qsizetype left = filesIn(player);
        clearing.left = left;
        const QString line = unclearedLine(player, held, left);
        appendStatus(m_form, line);
        repaintWindow(m_form);
        prompter().ask({unclearedMessage(player, *reason, held, left, holding),
                        QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
    }

    // Why the clearing ended early; nothing when it ran to its end or stopped at the stop flag.
    std::optional<QString> clearingFailure(std::uint8_t which) {
        try {
            m_form.ClearPlayer(which);
            return std::nullopt;
        } catch (const AppError& error) {
            return error.description();
        } catch (const std::exception& error) {
            return QString::fromLocal8Bit(error.what());
        }
    }

    // After the run, however it ended: a pane that shows a folder the run worked in through
    // another pane is read again.
    void refreshPanesSharingAFolder() {
        RunFace& face = m_form.face();
        struct Pane {
            QString folder;
            std::function<void()> refresh;
            bool worked;
        };
        const Pane panes[] = {
            {face.musicFolder(), [&] { face.refreshMusicPane(); }, true},
            {face.playerFolder(1), [&] { face.refreshPlayerPane(1); }, ticked(1)},
            {face.playerFolder(2), [&] { face.refreshPlayerPane(2); }, ticked(2)},
        };
        for (const Pane& pane : panes) {
            const bool shared =
                std::any_of(std::begin(panes), std::end(panes), [&](const Pane& other) {
                    return &other != &pane && other.worked && samePath(other.folder, pane.folder);
                });
            if (shared)
                silently(pane.refresh);
        }
    }

    // Creates the holding folder, or empties one left by an earlier run into the music folder.
    // False when held files of an earlier run stay there: the players are then not touched.
    bool prepareHoldingFolder() {
        const QString holding = m_form.services().holdingFolder;
        bool exists = false;
        silently([&] { exists = offUiThread([&] { return fso().FolderExists(holding); }); });
        if (exists)
            return lockHoldingFolder() && returnLeftoverFiles(m_form);
        // Without it there is nowhere to keep the player's files: nothing may be moved.
        try {
            offUiThread([&] {
                fso().CreateFolder(joinPath(holding, {}));
                fso().PinFolder(holding);
            });
        } catch (const AppError& error) {
            prompter().ask({QStringLiteral("The temporary directory %1 cannot be used. %2 Nothing "
                                           "has been moved.")
                                .arg(shownPath(holding), error.description()),
                            QStringLiteral("ERROR"), MessageIcon::Critical, MessageButtons::Ok});
            return false;
        }
        return lockHoldingFolder();
    }

    // The holding folder may be shared by the users of a computer ("C:\QUAVEXTemp" on Windows):
    // one run at a time keeps it, so that no run returns another's held files as its own.
    bool lockHoldingFolder() {
        const QString holding = m_form.services().holdingFolder;
        auto lock = std::make_unique<FolderLock>(holding);
        if (offUiThread([&] { return lock->take(); })) {
            m_locks.push_back({holding, std::move(lock)});
            return true;
        }
        prompter().ask({QStringLiteral("The temporary directory %1 is in use by a run of QUAVEX "
                                       "of another user of this computer. Wait until its run has "
                                       "ended, then press Select again. Nothing has been moved.")
                            .arg(shownPath(holding)),
                        QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
        return false;
    }

    // Without the record, held files would not be known as this user's at the next start.
    bool recordLibrary() {
        const QString holding = m_form.services().holdingFolder;
        if (recordHeldFilesLibrary(fso(), holding, m_form.face().musicFolder()))
            return true;
        prompter().ask({QStringLiteral("The record of which music folder the files in the "
                                       "temporary directory %1 belong to could not be written in "
                                       "%2. No player folder has been touched.")
                            .arg(shownPath(holding), shownPath(userStateFolder())),
                        QStringLiteral("ERROR"), MessageIcon::Critical, MessageButtons::Ok});
        return false;
    }

    // Nothing stands between the line that announces the held files' return and the completion
    // line; every line the run adds comes after it. A run that filled no player folder says why
    // instead of completing.
    void restore() {
        const QString holding = m_form.services().holdingFolder;
        HeldFilesReturned returned;
        silently([&] {
            const FsFolder held = offUiThread([&] { return fso().GetFolder(holding); });
            if (heldFileCount(m_form, held, subfolders()) == 0)
                return;
            appendStatus(m_form, QStringLiteral("Moving original files back to base directory..."));
            repaintWindow(m_form);
            returned = returnHeldFiles(m_form, held, m_form.face().musicFolder(), subfolders());
        });
        silently([&] { offUiThread([&] { fso().DeleteFolder(holding); }); });
        StillHeld stillHeld;
        bool listed = false;
        silently([&] {
            stillHeld = whatStaysHeld(m_form);
            listed = true;
        });
        const bool allReturned = listed && stillHeld.files.isEmpty();
        if (allReturned)
            forgetRecord();
        QStringList lines = closingLines(allReturned);
        if (nothingFilled() && !m_cleared[0] && !m_cleared[1])
            m_form.LastRunEnd = RunEnd::NothingDone;
        else if (wentOtherwise() || !stillHeld.lines.isEmpty())
            m_form.LastRunEnd = RunEnd::EndedEarly;
        if (const QString line =
                ownFoldersLine(returned.byFolder, m_form.face().musicFolder(), HeldBy::ThisRun);
            !line.isEmpty())
            lines.append(line);
        if (!returned.renamed.isEmpty())
            lines.append(renamedLine(returned.renamed, HeldBy::ThisRun));
        lines.append(stillHeld.lines);
        if (nothingFilled()) {
            replaceStatus(m_form, nothingFilledLine());
            setStatusColour(m_form, QColor(255, 255, 0));
        } else {
            appendStatus(m_form, QStringLiteral("Program processing complete"));
        }
        appendRunEnd(m_form, lines);
        silently([&] { m_form.face().refreshMusicPane(); });
        repaintWindow(m_form);
        if (!stillHeld.files.isEmpty())
            warnOfFilesStillHeld(m_form, stillHeld.files);
    }

    bool subfolders() const { return m_form.CurrentOptions.musicInSubfolders; }
    Prompter& prompter() { return m_form.face(); }
    FileSystemObject& fso() { return *m_form.Fso; }
    bool ticked(std::uint8_t which) const { return m_form.face().playerTicked(which); }

    struct Lock {
        QString folder;
        std::unique_ptr<FolderLock> lock;
    };

    MusicRotation& m_form;
    // Why each player folder was left out of this run; empty while it is not.
    QString m_refusals[2];
    // Whether this run has moved files of each player folder into the holding folder.
    bool m_cleared[2] = {false, false};
    // A clearing that ended early: how many files it held, how many stayed on the player, why.
    struct Clearing {
        qsizetype held = 0;
        qsizetype left = 0;
        QString reason;
        bool unplugged = false;
    };
    Clearing m_clearings[2];
    // Why each player folder's fill ended early, as said after the run; empty when it did not.
    QString m_fillStopped[2];
    std::vector<Lock> m_locks;
};

} // namespace

void MusicRotation::Go() {
    // One run at a time: the run relies on its one holding folder and one stop flag.
    if (RunInProgress)
        return;
    StopRequested = false;
    LastRunEnd = RunEnd::NothingDone;
    RunInProgress = true;
    face().runStateChanged();
    try {
        Run(*this).perform();
    } catch (...) {
        RunInProgress = false;
        face().runStateChanged();
        throw;
    }
    RunInProgress = false;
    face().runStateChanged();
}
