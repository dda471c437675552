#include "app/Form1.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/AppError.h"
#include "fs/VolumeLookup.h"

#include <QLabel>
#include <QPushButton>
#include <utility>

void Form1::ShowTotal(const FileList* list, QLabel* total) {
    total->setText(QStringLiteral("Total: ") + QString::number(list->ListCount()));
}

void Form1::RefreshTotal(FileList* list, QLabel* total) {
    list->Refresh();
    ShowTotal(list, total);
}

// An unreadable drive here puts the chooser back on the drive that Dir1 still has open, without a
// message: the run relies on Dir1 naming a readable folder that flIp lists.
void Form1::Drive1_Change() {
    if (m_revertingDrive1)
        return;
    try {
        Dir1->setPath(Drive1->Drive());
    } catch (const AppError&) {
        m_revertingDrive1 = true;
        try {
            Drive1->setDrive(volumeRootOf(*m_services.volumes, Dir1->Path()));
        } catch (const AppError&) {
            // Dir1's own volume has gone as well; the chooser keeps showing the unreadable drive.
        }
        m_revertingDrive1 = false;
        return;
    }
    ShowTotal(flIp, txtIpTot);
}

void Form1::Dir1_Change() {
    listFolder(Dir1, flIp);
    ShowTotal(flIp, txtIpTot);
    SetGoButton();
}

// A folder that could be opened but not listed (it went away in between) sends its chooser back
// to the folder the list still shows, so that the two never disagree; the failure still goes on
// to the caller.
void Form1::listFolder(FolderList* dir, FileList* files) {
    try {
        files->setPath(dir->Path());
    } catch (const AppError&) {
        if (!files->Path().isEmpty() && files->Path() != dir->Path())
            dir->setPath(files->Path());
        throw;
    }
}

void Form1::drvOp1_Change() {
    playerDriveChange(1);
}

void Form1::drvOp2_Change() {
    playerDriveChange(2);
}

// The list is re-read even when the folder stays the same (a player unplugged and plugged in
// again opens the folder the pane already had), so that a shown pane never has a stale total. A
// player the pane waited for since start opens at its saved folder.
void Form1::playerDriveChange(std::uint8_t which) {
    const PlayerPane pane = playerPane(which);
    PlayerChoice& choice = m_run.Players[which - 1];
    const QString awaited = std::exchange(choice.awaitedFolder, {});
    choice.awaitedDrive.clear();
    choice.volume = m_services.volumes->identityOf(pane.drive->Drive());
    try {
        pane.dir->setPath(pane.drive->Drive());
        if (!awaited.isEmpty() && !pane.dir->namesOtherDrive(awaited)) {
            try {
                pane.dir->setPath(awaited);
            } catch (const AppError&) {
                // Gone from the player since: the drive's current folder stays open.
            }
        }
        RefreshTotal(pane.files, pane.total);
        setDependentsVisible(pane, true);
    } catch (const std::exception&) {
        setDependentsVisible(pane, false);
    }
}

void Form1::awaitPlayer(std::uint8_t which, const QString& drive, const QString& folder) {
    const PlayerPane pane = playerPane(which);
    pane.drive->showAbsent(drive);
    m_run.Players[which - 1].awaitedDrive = drive;
    m_run.Players[which - 1].awaitedFolder = folder;
    setDependentsVisible(pane, false);
}

QString Form1::playerFolderToSave(std::uint8_t which) const {
    const PlayerChoice& choice = m_run.Players[which - 1];
    return choice.awaitedDrive.isEmpty() ? playerPane(which).dir->Path() : choice.awaitedFolder;
}

void Form1::setDependentsVisible(const PlayerPane& pane, bool visible) {
    for (QWidget* control : {static_cast<QWidget*>(pane.dir), static_cast<QWidget*>(pane.label),
                             static_cast<QWidget*>(pane.tick), static_cast<QWidget*>(pane.files),
                             static_cast<QWidget*>(pane.total)})
        control->setVisible(visible);
}

void Form1::dirOp1_Change() {
    listFolder(dirOp1, flOp1);
    ShowTotal(flOp1, txtOp1Tot);
}

void Form1::dirOp2_Change() {
    listFolder(dirOp2, flOP2);
    ShowTotal(flOP2, txtOp2Tot);
}

void Form1::chk1_Click() {
    SetGoButton();
}

void Form1::chk2_Click() {
    SetGoButton();
}

// Select needs a ticked player folder (shown or hidden) and music in the hard-drive folder; it
// stays disabled while a run is in progress, whoever applies the rule.
void Form1::SetGoButton() {
    bool enabled = !(chk1->Value() == 0 && chk2->Value() == 0);
    // With music in subfolders the songs may all lie below the folder the pane lists; walking
    // the whole library at every change of a pane would cost more than a run that finds none.
    if (flIp->ListCount() == 0 && !m_run.CurrentOptions.musicInSubfolders)
        enabled = false;
    if (m_run.RunInProgress)
        enabled = false;
    cmdGo->setEnabled(enabled);
}

void Form1::atEventBoundary(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        m_services.prompter->ask({QStringLiteral("Error # %1; %2 %3")
                                      .arg(error.number())
                                      .arg(error.source(), error.description()),
                                  QStringLiteral("QUAVEX"), MessageIcon::Critical});
    } catch (const std::exception& error) {
        m_services.prompter->ask({QString::fromLocal8Bit(error.what()), QStringLiteral("QUAVEX"),
                                  MessageIcon::Critical});
    }
}
