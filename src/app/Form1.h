#pragma once

#include "app/Form1Services.h"
#include "app/WindowFace.h"
#include "rotation/MusicRotation.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>

class DriveList;
class FolderList;
class FileList;
class TickBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class frmAbout;
class QCloseEvent;

// The controls of one player pane, by the number the run passes around: 1 internal memory,
// 2 external card.
struct PlayerPane {
    DriveList* drive;
    FolderList* dir;
    QLabel* label;
    TickBox* tick;
    FileList* files;
    QLabel* total;
};

// The main window. It owns its controls, which the window's parts address by name, as members,
// and the run, which reaches them through the window's face. Its methods are defined in files
// kept by role.
class Form1 : public QWidget {
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    const Form1Services& services() const { return m_services; }
    MusicRotation& run() { return m_run; }
    const MusicRotation& run() const { return m_run; }
    WindowFace& face() { return m_face; }

    // Hard-drive pane
    QLabel* Label2 = nullptr;
    DriveList* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    FileList* flIp = nullptr;
    QLabel* txtIpTot = nullptr;
    // Internal-memory pane
    QLabel* Label3 = nullptr;
    DriveList* drvOp1 = nullptr;
    FolderList* dirOp1 = nullptr;
    QLabel* lblOp1 = nullptr;
    TickBox* chk1 = nullptr;
    FileList* flOp1 = nullptr;
    QLabel* txtOp1Tot = nullptr;
    // External-card pane
    QLabel* Label5 = nullptr;
    DriveList* drvOp2 = nullptr;
    FolderList* dirOp2 = nullptr;
    QLabel* lblOp2 = nullptr;
    TickBox* chk2 = nullptr;
    FileList* flOP2 = nullptr;
    QLabel* txtOp2Tot = nullptr;
    // Status box, warning option and buttons
    QPlainTextEdit* txtStatus = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdExit = nullptr;
    TickBox* chkWarn = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdBreak = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdAbout = nullptr;

    // Panes, totals and the Select rule
    void Drive1_Change();
    void Dir1_Change();
    void drvOp1_Change();
    void dirOp1_Change();
    void drvOp2_Change();
    void dirOp2_Change();
    void chk1_Click();
    void chk2_Click();
    void SetGoButton();
    // The total of a pane: its label reads "Total: " and the list's count.
    static void ShowTotal(const FileList* list, QLabel* total);
    // Re-reads the list, then shows its total.
    static void RefreshTotal(FileList* list, QLabel* total);

    // Start-up and commands
    void Form_Load();
    void cmdHelp_Click();
    void cmdExit_Click();
    void cmdAbout_Click();

    // Select and Break
    void cmdGo_Click();
    void cmdBreak_Click();

    PlayerPane playerPane(std::uint8_t which) const;

    // Makes a player pane wait for its saved drive, which is not there now.
    void awaitPlayer(std::uint8_t which, const QString& drive, const QString& folder);
    // The player folder as it is saved at EXIT: the awaited one while the pane waits for it.
    QString playerFolderToSave(std::uint8_t which) const;

    // Runs an action started by the user; an unexpected failure is shown in a message box and the
    // program goes on.
    void atEventBoundary(const std::function<void()>& action);

protected:
    // The close box: refused while a run is in progress, otherwise closes without saving.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void openStartingFolders();
    void playerDriveChange(std::uint8_t which);
    static void listFolder(FolderList* dir, FileList* files);
    static void setDependentsVisible(const PlayerPane& pane, bool visible);

    Form1Services m_services;
    WindowFace m_face{*this};
    MusicRotation m_run;
    // Set while Drive1 is put back to the drive Dir1 has open, so that doing so opens nothing.
    bool m_revertingDrive1 = false;
    // The open About box, if any; a window of its own, so it keeps the program alive.
    QPointer<frmAbout> m_about;
};
