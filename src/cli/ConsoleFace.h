#pragma once

#include "cli/ProgressLine.h"
#include "rotation/RunFace.h"

#include <QString>
#include <cstdint>
#include <cstdio>

class MusicRotation;

// The run's face on a terminal or in a script: status texts become lines on stdout (on a
// terminal, the fill's progress is one line redrawn in place), message boxes lines on stderr
// with their titles, and the confirmation the answer given on the command line or typed at the
// terminal. Break is Ctrl+C.
class ConsoleFace : public RunFace {
public:
    struct Player {
        QString folder;
        QString drive;
        bool ticked = false;
    };
    struct Folders {
        QString music;
        Player players[2];
        bool doNotWarn = false;
    };
    // yes answers the warning that music will be moved; other questions are asked on the
    // terminal, and without one answered No. A quiet face shows no status, for a run whose
    // statuses would mislead (a dry run, which lists what it would have done instead).
    ConsoleFace(Folders folders, bool yes, bool quiet = false);
    ~ConsoleFace() override;

    // The run whose stop flag a Ctrl+C sets.
    void attach(MusicRotation& rotation) { m_rotation = &rotation; }

    MessageAnswer ask(const MessageRequest& request) override;
    void replaceStatus(const QString& text) override;
    void appendStatus(const QString& message) override;
    void showStatus() override {}
    void appendRunEnd(const QStringList& lines) override;
    QString statusText() const override { return m_status; }
    void setStatusColour(const QColor&) override {}
    void repaint() override {}
    QObject* paintedWindow() override { return nullptr; }
    QString musicFolder() const override { return m_folders.music; }
    QString playerFolder(std::uint8_t which) const override;
    bool playerTicked(std::uint8_t which) const override;
    QString playerDrive(std::uint8_t which) const override;
    void openPlayerDrive(std::uint8_t which, const QString& drive) override;
    bool doNotWarn() const override { return m_folders.doNotWarn; }
    void refreshMusicPane() override {}
    void refreshPlayerPane(std::uint8_t) override {}
    void runStateChanged() override {}
    void yieldEvents() override;
    void songsMoved(std::int64_t count) override;

private:
    // Prints each line of a status text; the fill's progress is drawn over the last one on a
    // terminal.
    void printStatus(const QString& text);
    void drawProgressLine();
    void endProgressLine();

    Folders m_folders;
    bool m_yes;
    bool m_quiet;
    bool m_terminal;
    ProgressLine m_progress;
    bool m_progressShown = false;
    QString m_status;
    MusicRotation* m_rotation = nullptr;
};
