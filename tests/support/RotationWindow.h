#pragma once

#include "app/Form1.h"
#include "support/FileCensus.h"
#include "support/QtPrinting.h"
#include "support/ScriptedRandom.h"
#include "support/WindowTestServices.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// A main window ready for runs on real temporary folders: a music folder, two player folders and
// the holding folder under one temporary folder (one "drive"), the real file-system object, a
// scripted random source and a yield hook through which a test acts as the user would between
// files. Player folders elsewhere (a small tmpfs, a FAT image) are added as drives of their own.
class RotationWindow {
public:
    RotationWindow();
    ~RotationWindow();

    // Adds a mounted volume (or any folder) as a drive the panes can open.
    void addDrive(const QString& root);
    // Builds the window; call after any change to services (factory, yield hook).
    Form1& open();
    // Points the panes at the folders, ticks the chosen player panes and the "no warning" box.
    void choose(const QString& music, const QString& player1, const QString& player2, bool tick1,
                bool tick2, bool noWarning = true);
    // Presses Select as the user would: only an enabled button can be pressed.
    void pressSelect();

    // Every file the run must keep: music folder, both player folders and the holding folder.
    FileCensus census() const;
    QStringList ownTemporaries() const;
    // The files of the folder by name, a player's record of its songs' origins left out.
    QStringList namesIn(const QString& folder) const;
    QString statusText() const;

    QString music() const { return m_root + QStringLiteral("/disk/Music"); }
    QString player() const { return m_root + QStringLiteral("/player/Music"); }
    QString card() const { return m_root + QStringLiteral("/card/Music"); }
    QString holding() const { return m_holding; }
    // Makes this window keep its held files where another copy of the program keeps its own;
    // call before open().
    void shareHoldingFolder(const QString& folder) { m_holding = folder; }

    WindowTestServices env;
    // The drives the window sees; the folder volumes of env unless a test hands in the system's.
    std::shared_ptr<VolumeProvider> volumes = env.volumes;
    std::shared_ptr<ScriptedRandom> random = std::make_shared<ScriptedRandom>();
    FileSystemFactory createFileSystem;
    // Runs at each yield of the run with the yield's number (from 1); Select must be disabled then.
    std::function<void(int)> onYield;
    int yields = 0;
    bool selectEnabledAtAYield = false;
    std::unique_ptr<Form1> form;

private:
    QTemporaryDir m_tmp;
    QString m_root;
    QString m_holding;
};
